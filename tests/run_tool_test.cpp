#include <string>

#include "tests/tool_fixture.h"

namespace {

const auto kEditor = fake::Handle(0x5a10);

const Calls kNoModifiersSampled = {fake::KeyStateCall(0x10, 0), fake::KeyStateCall(0x11, 0),
                                   fake::KeyStateCall(0x12, 0)};

Calls ReadClassOf(platform::WindowHandle window) {
    return {fake::ForegroundCall(window),
            fake::ClassNameCall(window, kestrix::ClassNameBuffer, 255)};
}

// "TeraPadの[ツール]から実行して下さい。" in code page 932, spelled out
// independently of the tool's own constant.
const std::string kNoticeBytes = {'T',    'e',    'r',    'a',    'P',    'a',    'd',    '\x82',
                                  '\xcc', '[',    '\x83', '\x63', '\x81', '\x5b', '\x83', '\x8b',
                                  ']',    '\x82', '\xa9', '\x82', '\xe7', '\x8e', '\xc0', '\x8d',
                                  '\x73', '\x82', '\xb5', '\x82', '\xc4', '\x89', '\xba', '\x82',
                                  '\xb3', '\x82', '\xa2', '\x81', '\x42'};

Calls NoticeFor(platform::WindowHandle owner) {
    return {fake::MessageBoxCall(owner, kNoticeBytes, "Kestrix", 0x30)};
}

TEST_F(ToolTest, TeraPadInFrontGetsTheMenuKeysAndNoNotice) {
    desktop.foreground = kEditor;
    desktop.className = "TTeraPadMainForm";

    kestrix::RunTool();

    ExpectCalls(Join({ReadClassOf(kEditor), kNoModifiersSampled, MenuKeys()}));
}

struct OtherWindow {
    const char* name;
    platform::WindowHandle foreground;
    std::string className;
};

class NoticeTest : public ToolTest, public ::testing::WithParamInterface<OtherWindow> {};

TEST_P(NoticeTest, ShowsTheNoticeOwnedByTheWindowInFrontAndSendsNoKeys) {
    desktop.foreground = GetParam().foreground;
    desktop.className = GetParam().className;

    kestrix::RunTool();

    ExpectCalls(Join({ReadClassOf(GetParam().foreground), NoticeFor(GetParam().foreground)}));
}

INSTANTIATE_TEST_SUITE_P(
    Mismatches, NoticeTest,
    ::testing::Values(OtherWindow{"LowerCaseFirstLetter", kEditor, "tTeraPadMainForm"},
                      OtherWindow{"UpperCase", kEditor, "TTERAPADMAINFORM"},
                      OtherWindow{"TrailingCharacters", kEditor, "TTeraPadMainForm2"},
                      OtherWindow{"TrailingSpace", kEditor, "TTeraPadMainForm "},
                      OtherWindow{"NoLeadingT", kEditor, "TeraPadMainForm"},
                      OtherWindow{"EmptyClass", kEditor, ""},
                      OtherWindow{"FileManager", fake::Handle(0x20), "CabinetWClass"},
                      // Cut to 254 characters by the read; still not the target.
                      OtherWindow{"LongNameStartingWithTarget", kEditor,
                                  "TTeraPadMainForm" + std::string(239, 'x')},
                      // A null window's read fails and leaves the buffer empty; no owner.
                      OtherWindow{"NoWindowInFront", nullptr, "TTeraPadMainForm"}),
    [](const ::testing::TestParamInfo<OtherWindow>& info) { return std::string(info.param.name); });

TEST_F(ToolTest, ABufferWithNoNulIsComparedWhole) {
    // A read that fails and leaves a full buffer with no terminator must not be
    // scanned past its end, nor match on its first 16 characters.
    std::memset(kestrix::ClassNameBuffer, 'x', sizeof kestrix::ClassNameBuffer);
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): no terminator is the point
    std::memcpy(kestrix::ClassNameBuffer, "TTeraPadMainForm", 16);

    kestrix::RunTool();

    ExpectCalls(Join({ReadClassOf(nullptr), NoticeFor(nullptr)}));
}

TEST(NoticeText, IsTheThirtySevenShiftJisBytesAndANul) {
    ASSERT_EQ(sizeof kestrix::NoticeText, 38u);
    EXPECT_EQ(std::string(kestrix::NoticeText, 37), kNoticeBytes);
    EXPECT_EQ(kestrix::NoticeText[37], '\0');
}

}  // namespace
