#pragma once
// The end-to-end scenarios, each run by its kind and argument, as the lines
// of scenarios.txt name them.
#include <string>

// Runs one scenario, whose outcome the checks record; false if KIND is unknown.
bool RunScenario(const std::wstring& kind, const std::wstring& argument);

void VersionStrings(const std::wstring& version);
void PlantedDll();
int Demo(const std::wstring& outDir);
