#include <cstdint>

#include "tool/tool.h"

namespace kestrix {
namespace {

constexpr std::uint32_t KeyDown = 0;
constexpr std::uint32_t KeyUp = 0x0002;       // KEYEVENTF_KEYUP
constexpr unsigned VirtualKeyToScanCode = 0;  // MAPVK_VK_TO_VSC

void SendKeyEvent(platform::VirtualKey key, ScanCode scan, std::uint32_t flags) {
    // Looked up per event so that programs which read the scan code, not only
    // the virtual key, see a real modifier.
    const std::uint8_t code =
        scan == ScanCode::LookedUp
            ? static_cast<std::uint8_t>(platform::MapVirtualKeyA(key, VirtualKeyToScanCode) & 0xFF)
            : 0;
    platform::keybd_event(key, code, flags, 0);
}

bool IsHeld(platform::VirtualKey key) {
    // Any bit of the high byte counts; bit 0 only says "pressed since last asked".
    const auto state = static_cast<std::uint16_t>(platform::GetAsyncKeyState(key));
    return (state >> 8) != 0;
}

void TapIfHeld(platform::VirtualKey key) {
    if (IsHeld(key)) TapKey(key, ScanCode::LookedUp);
}

}  // namespace

void TapKey(platform::VirtualKey key, ScanCode scan) {
    SendKeyEvent(key, scan, KeyDown);
    SendKeyEvent(key, scan, KeyUp);
}

void ReleaseHeldModifiers() {
    // Sampled one at a time, each right before its own tap.
    TapIfHeld(VkShift);
    TapIfHeld(VkControl);
    TapIfHeld(VkAlt);
}

void SendMenuSequence() {
    TapKey(VkAlt, ScanCode::LookedUp);
    TapKey(VkF, ScanCode::Zero);
    TapKey(VkA, ScanCode::Zero);
}

}  // namespace kestrix
