#include <windows.h>

#include "tool/tool.h"

// GUI subsystem, so starting the tool from an editor flashes no console.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kestrix::RunTool();
    return 0;
}
