// The entries of section "GENERAL" in the version INI file the script names.
#pragma once

// Looks name up in section "GENERAL" of iniPath (an empty path names no
// file). True when the entry holds at least one character and at most 254:
// a longer entry is refused rather than stored cut, and entry is left empty.
bool ReadVersionEntry(const char* iniPath, const char* name, char (&entry)[256]);
