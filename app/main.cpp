#include <windows.h>

#include "app/dll_search.h"
#include "tool/tool.h"

// GUI subsystem, so starting the tool from an editor flashes no console.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The themed notice loads DLLs that are not known DLLs; never take them
    // from the folder the exe was downloaded to.
    LoadSystemDllsOnlyFromSystem32();
    kestrix::RunTool();
    return 0;
}
