#include "platform/desktop.h"

#include <windows.h>

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Notice texts are short; anything that does not fit is shown through the ANSI path.
constexpr int kMaxWideText = 256;
constexpr UINT kShiftJisCodePage = 932;

bool WideFromShiftJis(const char* bytes, wchar_t (&wide)[kMaxWideText]) {
    return MultiByteToWideChar(kShiftJisCodePage, MB_ERR_INVALID_CHARS, bytes, -1, wide,
                               kMaxWideText) != 0;
}

}  // namespace

WindowHandle GetForegroundWindow() {
    return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
}

int GetClassNameA(WindowHandle window, char* buffer, int limit) {
    return ::GetClassNameA(ToHwnd(window), buffer, limit);
}

int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned style) {
    // The ANSI box decodes with the system's code page and garbles Japanese on
    // non-Japanese Windows; decoding as 932 ourselves reads right everywhere.
    wchar_t wideText[kMaxWideText];
    wchar_t wideCaption[kMaxWideText];
    if (WideFromShiftJis(text, wideText) && WideFromShiftJis(caption, wideCaption)) {
        return ::MessageBoxW(ToHwnd(owner), wideText, wideCaption, style);
    }
    return ::MessageBoxA(ToHwnd(owner), text, caption, style);
}

std::int16_t GetAsyncKeyState(VirtualKey key) { return ::GetAsyncKeyState(key); }

unsigned MapVirtualKeyA(unsigned code, unsigned mapType) { return ::MapVirtualKeyA(code, mapType); }

void keybd_event(VirtualKey key, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extraInfo) {
    ::keybd_event(key, scan, flags, extraInfo);
}

}  // namespace platform
