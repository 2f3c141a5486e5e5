#pragma once
// A scripted desktop that records every platform call, in order, as one
// readable line each, so tests can compare whole runs in one assertion.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace fake {

struct Desktop {
    platform::WindowHandle foreground = nullptr;
    // What the foreground window's class read writes; nothing for a null window.
    std::string className;
    std::map<platform::VirtualKey, std::int16_t> keyStates;  // missing: not held
    std::map<unsigned, unsigned> scanCodes{{0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38}};
    std::vector<std::string> calls;
};

// The desktop that the linked-in platform functions read and record into.
Desktop& Current();
void Reset();

platform::WindowHandle Handle(std::uintptr_t value);

// The recorded form of each call, shared by the fake and the tests' expectations.
std::string ForegroundCall(platform::WindowHandle result);
std::string ClassNameCall(platform::WindowHandle window, const char* buffer, int limit);
std::string MessageBoxCall(platform::WindowHandle owner, const std::string& text,
                           const std::string& caption, unsigned style);
std::string KeyStateCall(platform::VirtualKey key, std::int16_t result);
std::string ScanLookupCall(unsigned code, unsigned mapType, unsigned result);
std::string KeyEventCall(platform::VirtualKey key, std::uint8_t scan, std::uint32_t flags,
                         std::uintptr_t extraInfo);

// One call per line: gtest prints a line diff when two of these differ.
std::string Lines(const std::vector<std::string>& calls);

}  // namespace fake
