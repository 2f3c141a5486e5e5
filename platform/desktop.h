#pragma once
// The six desktop operations the tool needs. Each build links exactly one
// implementation: user32 in the executable, a recording fake in the tests.
#include <cstdint>

namespace platform {

struct Window;                 // never defined: handles are only passed on
using WindowHandle = Window*;  // null when no window is in front
using VirtualKey = std::uint8_t;

WindowHandle GetForegroundWindow();
int GetClassNameA(WindowHandle window, char* buffer, int limit);
// `text` and `caption` are code page 932 bytes, whatever the system's ANSI page.
int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned style);
std::int16_t GetAsyncKeyState(VirtualKey key);
unsigned MapVirtualKeyA(unsigned code, unsigned mapType);
void keybd_event(VirtualKey key, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extraInfo);

}  // namespace platform
