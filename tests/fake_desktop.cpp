#include "tests/fake_desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tool/tool.h"

namespace fake {
namespace {

Desktop desktop;

std::string Hex(std::uintmax_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%jx", value);
    return text;
}

std::string HandleText(platform::WindowHandle window) {
    return window ? Hex(reinterpret_cast<std::uintptr_t>(window)) : "null";
}

// Non-ASCII bytes are escaped, so code page 932 text shows byte for byte.
std::string Quoted(const std::string& bytes) {
    std::string out = "\"";
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        }
    }
    return out + "\"";
}

}  // namespace

Desktop& Current() { return desktop; }
void Reset() { desktop = Desktop{}; }

platform::WindowHandle Handle(std::uintptr_t value) {
    return reinterpret_cast<platform::WindowHandle>(value);
}

std::string ForegroundCall(platform::WindowHandle result) {
    return "GetForegroundWindow() -> " + HandleText(result);
}

std::string ClassNameCall(platform::WindowHandle window, const char* buffer, int limit) {
    const std::string target =
        buffer == kestrix::ClassNameBuffer ? "ClassNameBuffer" : "other buffer";
    return "GetClassNameA(" + HandleText(window) + ", " + target + ", " + std::to_string(limit) +
           ")";
}

std::string MessageBoxCall(platform::WindowHandle owner, const std::string& text,
                           const std::string& caption, unsigned style) {
    return "MessageBoxA(" + HandleText(owner) + ", " + Quoted(text) + ", " + Quoted(caption) +
           ", " + Hex(style) + ")";
}

std::string KeyStateCall(platform::VirtualKey key, std::int16_t result) {
    return "GetAsyncKeyState(" + Hex(key) + ") -> " + Hex(static_cast<std::uint16_t>(result));
}

std::string ScanLookupCall(unsigned code, unsigned mapType, unsigned result) {
    return "MapVirtualKeyA(" + Hex(code) + ", " + std::to_string(mapType) + ") -> " + Hex(result);
}

std::string KeyEventCall(platform::VirtualKey key, std::uint8_t scan, std::uint32_t flags,
                         std::uintptr_t extraInfo) {
    return "keybd_event(" + Hex(key) + ", " + Hex(scan) + ", " + Hex(flags) + ", " +
           Hex(extraInfo) + ")";
}

std::string Lines(const std::vector<std::string>& calls) {
    std::string out;
    for (const std::string& call : calls) out += call + "\n";
    return out;
}

}  // namespace fake

namespace platform {

WindowHandle GetForegroundWindow() {
    fake::desktop.calls.push_back(fake::ForegroundCall(fake::desktop.foreground));
    return fake::desktop.foreground;
}

int GetClassNameA(WindowHandle window, char* buffer, int limit) {
    fake::desktop.calls.push_back(fake::ClassNameCall(window, buffer, limit));
    // Like user32: a null window fails and writes nothing; a long name is cut
    // to limit - 1 characters plus NUL.
    if (!window || limit <= 0) return 0;
    const std::size_t count =
        std::min(fake::desktop.className.size(), static_cast<std::size_t>(limit - 1));
    std::memcpy(buffer, fake::desktop.className.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned style) {
    fake::desktop.calls.push_back(fake::MessageBoxCall(owner, text, caption, style));
    return 1;  // IDOK
}

std::int16_t GetAsyncKeyState(VirtualKey key) {
    const auto found = fake::desktop.keyStates.find(key);
    const std::int16_t state =
        found == fake::desktop.keyStates.end() ? std::int16_t{0} : found->second;
    fake::desktop.calls.push_back(fake::KeyStateCall(key, state));
    return state;
}

unsigned MapVirtualKeyA(unsigned code, unsigned mapType) {
    const auto found = fake::desktop.scanCodes.find(code);
    const unsigned scan = found == fake::desktop.scanCodes.end() ? 0 : found->second;
    fake::desktop.calls.push_back(fake::ScanLookupCall(code, mapType, scan));
    return scan;
}

void keybd_event(VirtualKey key, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extraInfo) {
    fake::desktop.calls.push_back(fake::KeyEventCall(key, scan, flags, extraInfo));
}

}  // namespace platform
