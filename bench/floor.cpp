// The floor for the benchmark: the platform calls kestrix.exe makes when
// TeraPad is in front and no modifier is held, in the same order, made
// directly and with nothing else: the cost of the calls themselves, of the C
// runtime's start-up and of creating a process, without the tool's own code.
#include <windows.h>

#include <cstring>

#include "app/dll_search.h"

namespace {
char className[256];
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadSystemDllsOnlyFromSystem32();
    HWND front = GetForegroundWindow();
    GetClassNameA(front, className, 255);
    if (std::strcmp(className, "TTeraPadMainForm") != 0) return 0;
    GetAsyncKeyState(VK_SHIFT);
    GetAsyncKeyState(VK_CONTROL);
    GetAsyncKeyState(VK_MENU);
    keybd_event(VK_MENU, static_cast<BYTE>(MapVirtualKeyA(VK_MENU, 0)), 0, 0);
    keybd_event(VK_MENU, static_cast<BYTE>(MapVirtualKeyA(VK_MENU, 0)), KEYEVENTF_KEYUP, 0);
    keybd_event('F', 0, 0, 0);
    keybd_event('F', 0, KEYEVENTF_KEYUP, 0);
    keybd_event('A', 0, 0, 0);
    keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
    return 0;
}
