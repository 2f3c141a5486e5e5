#pragma once
// One start of Kestrix: check that TeraPad's main window is in front, then
// either type its menu keys or tell the user where to start the tool from.
#include <cstddef>

#include "platform/desktop.h"

namespace kestrix {

inline constexpr char TargetClassName[] = "TTeraPadMainForm";

// "TeraPadの[ツール]から実行して下さい。" as 37 code page 932 bytes. Escaped so
// that no editor or compiler source charset can re-encode them.
inline constexpr char NoticeText[] =
    "TeraPad"
    "\x82\xcc"
    "["
    "\x83\x63\x81\x5b\x83\x8b"
    "]"
    "\x82\xa9\x82\xe7\x8e\xc0\x8d\x73\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";
inline constexpr char NoticeCaption[] = "Kestrix";
inline constexpr unsigned NoticeStyle = 0x30;  // MB_OK | MB_ICONEXCLAMATION

inline constexpr std::size_t ClassNameBufferSize = 256;
// One short of the buffer; the whole buffer is still scanned for the NUL.
inline constexpr int ClassNameLimit = 255;
// Zero-filled at process start, so a failed class-name read leaves it empty.
extern char ClassNameBuffer[ClassNameBufferSize];

inline constexpr platform::VirtualKey VkShift = 0x10;
inline constexpr platform::VirtualKey VkControl = 0x11;
inline constexpr platform::VirtualKey VkAlt = 0x12;  // VK_MENU
inline constexpr platform::VirtualKey VkF = 0x46;
inline constexpr platform::VirtualKey VkA = 0x41;

// How a tapped key's events get their scan code.
enum class ScanCode { LookedUp, Zero };

void RunTool();
// Taps each of Shift, Control and Alt that is held, in that order.
void ReleaseHeldModifiers();
// Alt, F, A: opens the menu bar, the F menu, then its A entry.
void SendMenuSequence();
void TapKey(platform::VirtualKey key, ScanCode scan);

}  // namespace kestrix
