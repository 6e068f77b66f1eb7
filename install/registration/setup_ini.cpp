#include "registration/setup_ini.h"

#include <windows.h>

#include "common/profile_access.h"
#include "common/text.h"
#include "install/install_exports.h"
#include "registration/component_entry.h"

namespace {

// Reads key "Info%d<suffix>" of index into value; an absent key reads as "".
// The value is used as read: the buffers are larger than any value that
// counts, so one that fills them is refused or unmatched where it is used.
void ReadIndexedKey(const char* iniFile, const char* section, int index, const char* suffix,
                    char* value, size_t capacity)
{
    value[0] = '\0';
    char key[64];
    if (!FormatText(key, sizeof key, "Info%d%s", index, suffix))
        return;
    ReadProfileText(section, key, iniFile, value, static_cast<DWORD>(capacity));
}

// A text field of the script's record, used only when its terminating zero
// lies inside the field.
bool IsTerminatedWithin(const char* field, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (field[i] == '\0')
            return true;
    }
    return false;
}

}  // namespace

bool ReadComponentEntryText(const char* iniFile, const char* section, int index,
                            char (&entry)[kEntryReadCapacity])
{
    ReadIndexedKey(iniFile, section, index, "", entry, sizeof entry);
    return entry[0] != '\0';
}

bool IsLeftOutOfSetup(const char* iniFile, const char* section, int index, bool compact)
{
    char value[10];
    ReadIndexedKey(iniFile, section, index, compact ? "Compact" : "Typical", value, sizeof value);
    return TextEqualsNoCase(value, "U");
}

bool IsParsedSection(const char* section)
{
    static const char* const kParsedSections[] = {
        "VWPINFO", "SWPINFO", "TWPINFO", "SPICINFO", "TPICINFO", "SPREADSHEETINFO", "INTERUTILINFO",
    };
    for (const char* parsed : kParsedSections) {
        if (TextEquals(section, parsed))
            return true;
    }
    return false;
}

// The first argument is the script's own and is not read.
extern "C" int WINAPI IncludeSet(DWORD, IncludeSetRecord* record)
{
    // Texts not terminated inside their fields name no file or section.
    if (!IsTerminatedWithin(record->iniFile, sizeof record->iniFile) ||
        !IsTerminatedWithin(record->section, sizeof record->section))
        return -1;

    char entryText[kEntryReadCapacity];
    if (!ReadComponentEntryText(record->iniFile, record->section, record->entryIndex, entryText))
        return -1;

    // In a parsed section an entry the parser refuses (too long, or fewer
    // than ten fields) counts as missing, whatever the setup type.
    bool parsed = IsParsedSection(record->section);
    ComponentEntry entry;
    if (parsed && !ParseComponentEntry(entryText, &entry))
        return -1;

    if (record->setupType == 0)
        return 1;
    int result = IsLeftOutOfSetup(record->iniFile, record->section, record->entryIndex,
                                  record->setupType != 1)
                     ? 0
                     : 1;
    if (!parsed)
        return result;

    CopyText(record->extension, sizeof record->extension, entry.extension);
    record->listedFormat = IsListedFormat(entry.formatNumber) ? 1 : 0;
    record->category30 = entry.category == 30 ? 1 : 0;
    return result;
}
