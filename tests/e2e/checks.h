#pragma once
// Checks shared by the end-to-end scenarios and the demo. Each check says
// one line, "ok: ..." or "FAIL: ...", and failures are counted.
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace checks {

extern int failures;
void Check(bool ok, const std::string& what);

// A scenario whose set-up cannot be had here is not run: it says why, and
// that counts neither for nor against Kestrix.
void Skip(const std::string& why);
extern std::string skipped;  // why, if the scenario was not run
// Why a scenario whose window could not be brought to the front is not run.
extern const char kNotInFront[];

// Prints one line of what a scenario saw, as the checks do.
void Say(const std::string& line);

std::string Hex(unsigned long long value);
std::string Describe(const harness::KeyEvent& event);
std::string Joined(const std::vector<BYTE>& keys);
std::wstring ToolPath();

// Reads the notice of a running tool, checks all of it, optionally saves a
// screenshot, presses OK and returns the tool's exit code. The tool has ended
// when this returns, one way or another.
long CheckNoticeAndPressOk(harness::Process& tool, HWND expectedOwner,
                           const std::wstring& screenshot = L"");

}  // namespace checks
