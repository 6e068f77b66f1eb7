// IncludeSet: what the setup script learns about one component entry.
#pragma once

#include <stddef.h>

// The record the script lays out in its own memory and passes by address.
// A boundary format: 32-bit little-endian integers, zero-terminated texts,
// the same offsets on every target.
struct IncludeSetRecord {
    int setupType;     // in: 0 no selection test, 1 typical, other compact
    int entryIndex;    // in: the index in "Info%d"
    int listedFormat;  // out: 1 when the format number is a listed one
    int category30;    // out: 1 when the category is 30
    char iniFile[256];     // in: path of the setup INI file
    char section[256];     // in: class section name
    char extension[511];   // out: the entry's extension; the script may declare
                           // the field longer, 511 bytes always suffice
};

static_assert(sizeof(int) == 4, "the record's integers are 32-bit");
static_assert(offsetof(IncludeSetRecord, setupType) == 0, "record layout");
static_assert(offsetof(IncludeSetRecord, entryIndex) == 4, "record layout");
static_assert(offsetof(IncludeSetRecord, listedFormat) == 8, "record layout");
static_assert(offsetof(IncludeSetRecord, category30) == 12, "record layout");
static_assert(offsetof(IncludeSetRecord, iniFile) == 16, "record layout");
static_assert(offsetof(IncludeSetRecord, section) == 272, "record layout");
static_assert(offsetof(IncludeSetRecord, extension) == 528, "record layout");
