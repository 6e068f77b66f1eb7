// What a read of a registry value or a profile string came to. A value is
// only ever handed on whole: one that could be had only in part is
// NotWhole, never cut.
#pragma once

enum class ReadOutcome {
    Missing,   // not there (a profile string that is empty reads so too)
    Whole,     // read whole into the caller's buffer, zero-terminated
    NotWhole,  // there, but longer than the buffer or not readable
};
