#include "registration/converter_writers.h"

#include <windows.h>

#include "common/array_count.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "frame/table_writer.h"
#include "registration/component_entry.h"

namespace {

const char kCursorIconEntry[] = "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1,0,22";

// Picture engine entries of a picture source, per format number.
const char kPictureEngine[] = "pic 0 sxpicve.dll";
const char kFaxEngine[] = "fax 0 sxpicve.dll";
const char kPresentationEngine[] = "prsgfx 0 sxpicve.dll";

const ValueRow kScreenShowRows[] = {{"%d", "pic 125 sxssfun.dll 6"}};
const ValueRow kRasterRows[] = {{"%d.4", kPictureEngine}};
const ValueRow kRasterAndFaxRows[] = {{"%d.4", kPictureEngine}, {"%d.19", kFaxEngine}};
const ValueRow kPresentationRows[] = {{"%d", kPresentationEngine}};
const ValueRow kCursorRows[] = {{"%d", kPictureEngine}, {"133", kPictureEngine}};
const ValueRow kFaxRows[] = {{"%d", kFaxEngine}};
const ValueRow kPlainPictureRows[] = {{"%d", kPictureEngine}};

const FormatRows kPictureFormats[] = {
    {6, RowsOf(kScreenShowRows), false},
    {8, RowsOf(kRasterRows), false},
    {22, RowsOf(kRasterRows), false},
    {59, RowsOf(kRasterRows), false},
    {66, RowsOf(kRasterRows), false},
    {85, RowsOf(kRasterRows), false},
    {195, RowsOf(kRasterRows), false},
    {271, RowsOf(kRasterRows), false},
    {71, RowsOf(kRasterAndFaxRows), false},
    {98, RowsOf(kPresentationRows), false},
    {127, RowsOf(kPresentationRows), false},
    {140, RowsOf(kPresentationRows), false},
    {212, RowsOf(kPresentationRows), false},
    {272, RowsOf(kPresentationRows), false},
    {128, RowsOf(kCursorRows), true},
    {182, RowsOf(kFaxRows), false},
};
const FormatRows kOtherPictureFormat = {0, RowsOf(kPlainPictureRows), false};

const ValueRow kPictureEngineNameRows[] = {{"sxpicve.dll", "sxPICVIEW"}};
const ValueRow kGraphicsEngineRows[] = {{"%d.5", "pic 125 rxifcnvt.dll 4"}};

// Formats that get no graphics converter even with the graphics flag set.
const int kGraphicsExclusions[] = {4,  6,   22,  25,  33,  39,  56,  70,  71,
                                   118, 127, 140, 212, 213, 247, 270, 272};

bool IsGraphicsExclusion(int formatNumber)
{
    for (int excluded : kGraphicsExclusions) {
        if (excluded == formatNumber)
            return true;
    }
    return false;
}

const FormatRows& PictureFormatOf(int formatNumber)
{
    const FormatRows* format =
        FindFormatRows(kPictureFormats, CountOf(kPictureFormats), formatNumber);
    return format != nullptr ? *format : kOtherPictureFormat;
}

enum class StoredEntry { Absent, Read, Unreadable };

// Reads the converter entry stored under name. Stored entries are whole
// component entries of up to 511 characters, more than the registry
// helper's 255, so they are read here into the caller's 512 bytes; a value
// that is longer or is no text stays where it is, unread.
StoredEntry ReadStoredEntry(const char* key, const char* name, char (&text)[kComponentEntryCapacity])
{
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return StoredEntry::Absent;
    DWORD type = REG_NONE;
    DWORD count = sizeof text;
    ReadOutcome outcome = QueryRegistryValue(opened, name, &type, text, &count);
    RegCloseKey(opened);
    if (outcome == ReadOutcome::Missing)
        return StoredEntry::Absent;
    if (outcome != ReadOutcome::Whole || type != REG_SZ || count > sizeof text)
        return StoredEntry::Unreadable;
    // An entry stored without its terminating zero gets one, as
    // ReadRegString gives one, when it still fits.
    if (count == 0 || text[count - 1] != '\0') {
        if (count == sizeof text)
            return StoredEntry::Unreadable;
        text[count] = '\0';
    }
    return StoredEntry::Read;
}

// Marks formatNumber as a conversion target in key: the stored entry keeps
// its text and source flag and gets target flag 1; without one, the setup
// entry is stored with flags 0 and 1.
int RegisterConverterTarget(const char* key, char* setupText, const ComponentEntry& setupEntry)
{
    char name[16];
    FormatText(name, sizeof name, "%d", setupEntry.formatNumber);
    char storedText[kComponentEntryCapacity];
    switch (ReadStoredEntry(key, name, storedText)) {
    case StoredEntry::Read: {
        ComponentEntry stored;
        if (!ParseComponentEntry(storedText, &stored))
            return 0;  // not an entry this setup can merge into: left as it is
        return RegisterConverterEntry(key, storedText, stored.formatNumber, stored.sourceFlag, 1,
                                      stored.sourceFlag, stored.targetFlag);
    }
    case StoredEntry::Absent:
        return RegisterConverterEntry(key, setupText, setupEntry.formatNumber, 0, 1,
                                      setupEntry.sourceFlag, setupEntry.targetFlag);
    case StoredEntry::Unreadable:
        break;
    }
    return 0;
}

}  // namespace

int RegisterConverterEntry(const char* key, char* text, int formatNumber, int wantedSource,
                           int wantedTarget, int textSource, int textTarget)
{
    if (wantedSource != textSource || wantedTarget != textTarget)
        SetEntryFlags(text, wantedSource, wantedTarget);
    char name[16];
    FormatText(name, sizeof name, "%d", formatNumber);
    int result = WriteRegString(key, name, text);
    if (formatNumber == 128)
        WriteRegString(key, "133", kCursorIconEntry);
    return result;
}

// The converter writers store the entry's text itself: one longer than 511
// characters, seen only in part, is refused rather than stored cut.
static bool ParseStorableEntry(const char* entryText, ComponentEntry* entry)
{
    return !IsLongerThanAnEntry(entryText) && ParseComponentEntry(entryText, entry);
}

int WritePictureSourceEntries(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseStorableEntry(entryText, &entry))
        return 0;
    int result = 1;
    if (entry.imageFlag != 0) {
        if (entry.formatNumber != 6)
            RegisterConverterEntry(kImageConverterKey, entryText, entry.formatNumber, 1, 0,
                                   entry.sourceFlag, entry.targetFlag);
        WriteFormatRows(kVapiKey, RowsOf(kPictureEngineNameRows), 0, false);
        const FormatRows& format = PictureFormatOf(entry.formatNumber);
        result = WriteFormatRows(kVapiKey, format.rows, entry.formatNumber, format.stopAtFailure);
    }
    if (entry.graphicsFlag != 0 && !IsGraphicsExclusion(entry.formatNumber)) {
        RegisterConverterEntry(kGraphicsConverterKey, entryText, entry.formatNumber, 1, 0,
                               entry.sourceFlag, entry.targetFlag);
        result = WriteFormatRows(kVapiKey, RowsOf(kGraphicsEngineRows), entry.formatNumber, false);
    }
    return result;
}

int WritePictureTargetEntries(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseStorableEntry(entryText, &entry))
        return 0;
    int result = 1;
    if (entry.imageFlag != 0)
        result = RegisterConverterTarget(kImageConverterKey, entryText, entry);
    if (entry.graphicsFlag != 0)
        result = RegisterConverterTarget(kGraphicsConverterKey, entryText, entry);
    return result;
}

int WriteWordProcessingSourceEntry(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseStorableEntry(entryText, &entry))
        return 0;
    return RegisterConverterEntry(kWordProcessingConverterKey, entryText, entry.formatNumber, 1, 0,
                                  entry.sourceFlag, entry.targetFlag);
}

int WriteWordProcessingTargetEntry(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseStorableEntry(entryText, &entry))
        return 0;
    return RegisterConverterTarget(kWordProcessingConverterKey, entryText, entry);
}
