#pragma once
#include <windows.h>

// Windows 7 without KB2533623 lacks SetDefaultDllDirectories; importing it
// would stop the loader from starting the program at all, so it is looked up.
// Where it is missing, DLLs are searched for as Windows always did.
inline void LoadSystemDllsOnlyFromSystem32() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const auto restrictSearch =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (restrictSearch) restrictSearch(kSearchSystem32);
}
