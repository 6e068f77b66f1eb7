// The setup INI file: class sections of "Info%d" component entries with
// "Info%dTypical" and "Info%dCompact" selection keys.
#pragma once

#include <stddef.h>

// Room for the entry texts read from the setup INI file. An entry holds at
// most 511 characters; the buffer is larger so that a longer one is seen
// as too long (and refused where it is parsed) instead of being cut.
const size_t kEntryReadCapacity = 1024;

// Reads "Info%d" of index into entry; returns false when the key is absent
// or its value empty.
bool ReadComponentEntryText(const char* iniFile, const char* section, int index,
                            char (&entry)[kEntryReadCapacity]);

// The selection test: reads "Info%dCompact" when compact, else
// "Info%dTypical", and answers true (left out) exactly when it is "U" or "u".
bool IsLeftOutOfSetup(const char* iniFile, const char* section, int index, bool compact);

// The sections whose entries are parsed: "VWPINFO", "SWPINFO", "TWPINFO",
// "SPICINFO", "TPICINFO", "SPREADSHEETINFO", "INTERUTILINFO" (exactly, letter
// case included).
bool IsParsedSection(const char* section);
