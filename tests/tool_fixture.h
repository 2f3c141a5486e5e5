#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/fake_desktop.h"
#include "tool/tool.h"

using Calls = std::vector<std::string>;

inline Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A modifier tap: a scan-code look-up right before each of its two events.
inline Calls ModifierTap(platform::VirtualKey key, std::uint8_t scan) {
    return {fake::ScanLookupCall(key, 0, scan), fake::KeyEventCall(key, scan, 0, 0),
            fake::ScanLookupCall(key, 0, scan), fake::KeyEventCall(key, scan, 2, 0)};
}

inline Calls LetterTap(platform::VirtualKey key) {
    return {fake::KeyEventCall(key, 0, 0, 0), fake::KeyEventCall(key, 0, 2, 0)};
}

// Alt (scan 0x38 on the fake), F, A.
inline Calls MenuKeys() {
    return Join({ModifierTap(0x12, 0x38), LetterTap(0x46), LetterTap(0x41)});
}

// Each test starts like a fresh process: empty desktop log, zero-filled buffer.
class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
        std::memset(kestrix::ClassNameBuffer, 0, sizeof kestrix::ClassNameBuffer);
    }

    void ExpectCalls(const Calls& expected) const {
        EXPECT_EQ(fake::Lines(expected), fake::Lines(desktop.calls));
    }

    fake::Desktop& desktop = fake::Current();
};
