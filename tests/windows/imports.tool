# What every kestrix.exe imports for its own code: the six desktop calls, the
# wide notice, and the start-up's look-up of the DLL-search restriction.
# SetDefaultDllDirectories itself is never imported: Windows 7 without
# KB2533623 lacks it, and the loader would refuse to start the tool.
kernel32.dll GetModuleHandleW
kernel32.dll GetProcAddress
kernel32.dll MultiByteToWideChar
user32.dll GetAsyncKeyState
user32.dll GetClassNameA
user32.dll GetForegroundWindow
user32.dll MapVirtualKeyA
user32.dll MessageBoxA
user32.dll MessageBoxW
user32.dll keybd_event
