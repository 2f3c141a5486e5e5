// Built as uxtheme.dll and planted beside kestrix.exe: if it is ever loaded,
// it leaves a marker file beside itself.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(self, path, MAX_PATH);
        std::wstring marker = path;
        marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"planted-dll-was-loaded";
        CloseHandle(
            CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
