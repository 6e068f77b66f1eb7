// Calling one export of install.dll as the script engine does: each argument
// made into a 32-bit value (a string, a writable buffer, a cell the export
// writes through), the call, then its result and what it wrote.
//
// Every buffer(N) and out cell is followed by guard bytes: a call that writes
// past the N bytes it was given is named with its line, its argument and the
// number of bytes it overran.
#pragma once

#include <windows.h>

#include <string>

#include "script.h"

// Exit status of a run whose call overran a buffer; a crash inside a call
// ends the host with kCrashStatus.
const int kOverrunStatus = 5;
const int kCrashStatus = 4;

// Reports a crash inside a call with its script and line, and ends the host.
void ReportCrashesOfCalls();

// Runs the statement; false when the call wrote past one of its buffers or
// cells (said on standard error).
bool RunExport(HMODULE install, const std::string& script, const ScriptStatement& statement);
