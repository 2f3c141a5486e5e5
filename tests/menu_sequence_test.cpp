#include <cstdio>
#include <string>

#include "tests/tool_fixture.h"

namespace {

constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
constexpr std::int16_t StateOf(bool held) { return held ? kDown : std::int16_t{0}; }

// Rows 1-3 of the sequence: sample each modifier, tap it only if held.
Calls Modifier(platform::VirtualKey key, std::uint8_t scan, std::int16_t state, bool held) {
    Calls calls = {fake::KeyStateCall(key, state)};
    if (held) calls = Join({calls, ModifierTap(key, scan)});
    return calls;
}

class HeldModifiersTest : public ToolTest, public ::testing::WithParamInterface<int> {};

TEST_P(HeldModifiersTest, TapsHeldModifiersInOrderThenTypesAltFA) {
    const bool shift = GetParam() & 1, control = GetParam() & 2, alt = GetParam() & 4;
    desktop.foreground = fake::Handle(0x5a10);
    desktop.className = "TTeraPadMainForm";
    if (shift) desktop.keyStates[0x10] = kDown;
    if (control) desktop.keyStates[0x11] = kDown;
    if (alt) desktop.keyStates[0x12] = kDown;

    kestrix::RunTool();

    desktop.calls.erase(desktop.calls.begin(), desktop.calls.begin() + 2);  // the class check
    ExpectCalls(Join({Modifier(0x10, 0x2A, StateOf(shift), shift),
                      Modifier(0x11, 0x1D, StateOf(control), control),
                      Modifier(0x12, 0x38, StateOf(alt), alt), MenuKeys()}));
}

INSTANTIATE_TEST_SUITE_P(AllCombinations, HeldModifiersTest, ::testing::Range(0, 8),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const int held = info.param;
                             std::string name = held ? "" : "None";
                             if (held & 1) name += "Shift";
                             if (held & 2) name += "Control";
                             if (held & 4) name += "Alt";
                             return name;
                         });

TEST_F(ToolTest, AllThreeHeldSendsTwelveEventsInTableOrder) {
    desktop.keyStates = {{0x10, kDown}, {0x11, kDown}, {0x12, kDown}};

    kestrix::ReleaseHeldModifiers();
    kestrix::SendMenuSequence();

    ExpectCalls({
        "GetAsyncKeyState(0x10) -> 0x8000",  "MapVirtualKeyA(0x10, 0) -> 0x2a",
        "keybd_event(0x10, 0x2a, 0x0, 0x0)", "MapVirtualKeyA(0x10, 0) -> 0x2a",
        "keybd_event(0x10, 0x2a, 0x2, 0x0)", "GetAsyncKeyState(0x11) -> 0x8000",
        "MapVirtualKeyA(0x11, 0) -> 0x1d",   "keybd_event(0x11, 0x1d, 0x0, 0x0)",
        "MapVirtualKeyA(0x11, 0) -> 0x1d",   "keybd_event(0x11, 0x1d, 0x2, 0x0)",
        "GetAsyncKeyState(0x12) -> 0x8000",  "MapVirtualKeyA(0x12, 0) -> 0x38",
        "keybd_event(0x12, 0x38, 0x0, 0x0)", "MapVirtualKeyA(0x12, 0) -> 0x38",
        "keybd_event(0x12, 0x38, 0x2, 0x0)", "MapVirtualKeyA(0x12, 0) -> 0x38",
        "keybd_event(0x12, 0x38, 0x0, 0x0)", "MapVirtualKeyA(0x12, 0) -> 0x38",
        "keybd_event(0x12, 0x38, 0x2, 0x0)", "keybd_event(0x46, 0x0, 0x0, 0x0)",
        "keybd_event(0x46, 0x0, 0x2, 0x0)",  "keybd_event(0x41, 0x0, 0x0, 0x0)",
        "keybd_event(0x41, 0x0, 0x2, 0x0)",
    });
}

struct KeyState {
    std::int16_t state;
    bool held;
};

class HeldTest : public ToolTest, public ::testing::WithParamInterface<KeyState> {};

TEST_P(HeldTest, OnlyTheHighByteCounts) {
    desktop.keyStates[0x10] = GetParam().state;

    kestrix::ReleaseHeldModifiers();

    ExpectCalls(Join({Modifier(0x10, 0x2A, GetParam().state, GetParam().held),
                      Modifier(0x11, 0x1D, 0, false), Modifier(0x12, 0x38, 0, false)}));
}

INSTANTIATE_TEST_SUITE_P(States, HeldTest,
                         ::testing::Values(KeyState{kDown, true}, KeyState{0x0100, true},
                                           KeyState{static_cast<std::int16_t>(0x8001), true},
                                           KeyState{0x0001, false}, KeyState{0x00FF, false}),
                         [](const ::testing::TestParamInfo<KeyState>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "State%04x",
                                           static_cast<std::uint16_t>(info.param.state));
                             return std::string(name);
                         });

TEST_F(ToolTest, OnlyTheLowByteOfALookedUpScanCodeIsSent) {
    desktop.scanCodes[0x12] = 0xE038;

    kestrix::SendMenuSequence();

    ExpectCalls(Join({{fake::ScanLookupCall(0x12, 0, 0xE038), fake::KeyEventCall(0x12, 0x38, 0, 0),
                       fake::ScanLookupCall(0x12, 0, 0xE038), fake::KeyEventCall(0x12, 0x38, 2, 0)},
                      LetterTap(0x46),
                      LetterTap(0x41)}));
}

}  // namespace
