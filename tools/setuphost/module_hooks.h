// What the host sees of the DLLs from inside: install.dll's imports, and
// those of every module it loads, are routed through the host, which answers
// message boxes, notes the INI files written, counts the registry and profile
// calls (--measure) and saves user hives the way Windows would.
#pragma once

#include <windows.h>

#include <string>

class MachineSnapshot;

// Patches the module's import table.
void WatchModule(HMODULE module);

// Every INI file the DLLs write from now on is added to snapshot as it was
// before the first write.
void NoteIniFilesInto(MachineSnapshot* snapshot);

// "RegCreateKeyExA=N ..." for the calls made so far.
std::string DescribeCallCounts();
