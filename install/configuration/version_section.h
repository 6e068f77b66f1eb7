// The section "GENERAL" of the version INI file the script names, read once
// for all the entries the configuration writer needs.
#pragma once

#include <stddef.h>

// The section's lines, or, when the section did not fit, the file to look
// each entry up in.
struct VersionSection {
    const char* iniPath;
    bool whole;  // the section fitted: entries are looked up in lines
    char lines[2048];
};

// Reads the section of iniPath; an empty path names no file.
void ReadVersionSection(VersionSection* section, const char* iniPath);

// The entry as the profile reader gives it (GetPrivateProfileStringA). True
// when it holds at least one character and at most 254: a longer entry is
// refused rather than stored cut, and entry is left empty.
bool ReadVersionEntry(const VersionSection& section, const char* name, char (&entry)[256]);
