#include "converter_writers.h"

#include <windows.h>

#include "component_entry.h"
#include "registry.h"
#include "registry_rows.h"
#include "text.h"

const char kImageConverterKey[] = "SOFTWARE\\Quorvane\\Sorbix\\IMGCnv";
const char kGraphicsConverterKey[] = "SOFTWARE\\Quorvane\\Sorbix\\GFXCnv";
const char kWordProcessingConverterKey[] = "SOFTWARE\\Quorvane\\Sorbix\\WPCnv";

namespace {

const char kCursorIconEntry[] = "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1,0,22";

// Picture engine entries of a picture source, per format number.
const char kPictureEngine[] = "pic 0 sxpicve.dll";
const char kFaxEngine[] = "fax 0 sxpicve.dll";
const char kPresentationEngine[] = "prsgfx 0 sxpicve.dll";

const RegistryRow kScreenShowRows[] = {{"%d", "pic 125 sxssfun.dll 6"}};
const RegistryRow kRasterRows[] = {{"%d.4", kPictureEngine}};
const RegistryRow kRasterAndFaxRows[] = {{"%d.4", kPictureEngine}, {"%d.19", kFaxEngine}};
const RegistryRow kPresentationRows[] = {{"%d", kPresentationEngine}};
const RegistryRow kCursorRows[] = {{"%d", kPictureEngine}, {"133", kPictureEngine}};
const RegistryRow kFaxRows[] = {{"%d", kFaxEngine}};
const RegistryRow kPlainPictureRows[] = {{"%d", kPictureEngine}};

struct PictureFormat {
    int formatNumber;
    const RegistryRow* rows;
    size_t count;
    bool stopAtFailure;  // a later row only after the one before it was written
};

const PictureFormat kPictureFormats[] = {
    {6, kScreenShowRows, CountOf(kScreenShowRows), false},
    {8, kRasterRows, CountOf(kRasterRows), false},
    {22, kRasterRows, CountOf(kRasterRows), false},
    {59, kRasterRows, CountOf(kRasterRows), false},
    {66, kRasterRows, CountOf(kRasterRows), false},
    {85, kRasterRows, CountOf(kRasterRows), false},
    {195, kRasterRows, CountOf(kRasterRows), false},
    {271, kRasterRows, CountOf(kRasterRows), false},
    {71, kRasterAndFaxRows, CountOf(kRasterAndFaxRows), false},
    {98, kPresentationRows, CountOf(kPresentationRows), false},
    {127, kPresentationRows, CountOf(kPresentationRows), false},
    {140, kPresentationRows, CountOf(kPresentationRows), false},
    {212, kPresentationRows, CountOf(kPresentationRows), false},
    {272, kPresentationRows, CountOf(kPresentationRows), false},
    {128, kCursorRows, CountOf(kCursorRows), true},
    {182, kFaxRows, CountOf(kFaxRows), false},
};
const PictureFormat kOtherPictureFormat = {0, kPlainPictureRows, CountOf(kPlainPictureRows),
                                           false};

const RegistryRow kPictureEngineNameRows[] = {{"sxpicve.dll", "sxPICVIEW"}};
const RegistryRow kGraphicsEngineRows[] = {{"%d.5", "pic 125 rxifcnvt.dll 4"}};

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

const PictureFormat& PictureFormatOf(int formatNumber)
{
    for (const PictureFormat& format : kPictureFormats) {
        if (format.formatNumber == formatNumber)
            return format;
    }
    return kOtherPictureFormat;
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
    LONG status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(text),
                                   &count);
    RegCloseKey(opened);
    if (status == ERROR_FILE_NOT_FOUND)
        return StoredEntry::Absent;
    if (status != ERROR_SUCCESS || type != REG_SZ || count == 0 || count > sizeof text ||
        text[count - 1] != '\0')
        return StoredEntry::Unreadable;
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

int WritePictureSourceEntries(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseComponentEntry(entryText, &entry))
        return 0;
    int result = 1;
    if (entry.imageFlag != 0) {
        if (entry.formatNumber != 6)
            RegisterConverterEntry(kImageConverterKey, entryText, entry.formatNumber, 1, 0,
                                   entry.sourceFlag, entry.targetFlag);
        WriteRegistryRows(kVapiKey, kPictureEngineNameRows, CountOf(kPictureEngineNameRows), 0,
                          false);
        const PictureFormat& format = PictureFormatOf(entry.formatNumber);
        result = WriteRegistryRows(kVapiKey, format.rows, format.count, entry.formatNumber,
                                   format.stopAtFailure);
    }
    if (entry.graphicsFlag != 0 && !IsGraphicsExclusion(entry.formatNumber)) {
        RegisterConverterEntry(kGraphicsConverterKey, entryText, entry.formatNumber, 1, 0,
                               entry.sourceFlag, entry.targetFlag);
        result = WriteRegistryRows(kVapiKey, kGraphicsEngineRows, CountOf(kGraphicsEngineRows),
                                   entry.formatNumber, false);
    }
    return result;
}

int WritePictureTargetEntries(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseComponentEntry(entryText, &entry))
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
    if (!ParseComponentEntry(entryText, &entry))
        return 0;
    return RegisterConverterEntry(kWordProcessingConverterKey, entryText, entry.formatNumber, 1, 0,
                                  entry.sourceFlag, entry.targetFlag);
}

int WriteWordProcessingTargetEntry(const char*, char* entryText)
{
    ComponentEntry entry;
    if (!ParseComponentEntry(entryText, &entry))
        return 0;
    return RegisterConverterTarget(kWordProcessingConverterKey, entryText, entry);
}
