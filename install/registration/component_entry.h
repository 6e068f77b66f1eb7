// Component entries of the setup INI file, one document format each:
//   "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1,0,22"
// display name, extension, second extension, category, format number,
// source flag, target flag, (unread), image flag, graphics flag, and on.
//
// Plain text work only: the same source is built into install.dll and
// natively for the sanitizer and fuzz tests.
#pragma once

#include <stddef.h>

// An entry is read with 512 bytes: at most 511 characters are seen, and a
// longer text is parsed on its first 511. Only its text is never stored or
// rewritten cut.
const size_t kComponentEntryCapacity = 512;

// Field 2 is shorter than the entry it stands in.
const size_t kExtensionCapacity = 511;

struct ComponentEntry {
    char extension[kExtensionCapacity];  // field 2 without its leading white space
    int category;                        // field 4
    int formatNumber;                    // field 5
    int sourceFlag;                      // field 6
    int targetFlag;                      // field 7
    int imageFlag;                       // field 9
    int graphicsFlag;                    // field 10
};

// Reads the first ten fields. Fields are split at commas, a run of commas
// counting as one separator, so empty fields are skipped. Numbers read as a
// C decimal conversion reads them (leading white space, a sign, digits up to
// the first non-digit; no digits read as 0), wrapping modulo 2^32.
// Only the first 511 characters of a longer text are read. Returns false,
// leaving *entry untouched, when those have fewer than ten non-empty fields.
bool ParseComponentEntry(const char* text, ComponentEntry* entry);

// True when text is longer than the 511 characters an entry holds: parsed on
// its first 511, but not to be stored.
bool IsLongerThanAnEntry(const char* text);

// Rewrites the sixth and seventh fields in place to "1" or "0" (1 when the
// flag is 1, else 0), every other byte kept, the fields found by the same
// rule as ParseComponentEntry. The text never grows: each of those fields
// holds at least one character. A text of more than 511 characters or with
// fewer than seven fields is left as it is.
void SetEntryFlags(char* text, int sourceFlag, int targetFlag);

// True for the 26 format numbers whose components IncludeSet reports as
// listed.
bool IsListedFormat(int formatNumber);
