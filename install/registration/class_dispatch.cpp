#include "registration/class_dispatch.h"

#include <windows.h>

#include "common/text.h"
#include "install/install_exports.h"
#include "registration/component_entry.h"
#include "registration/converter_writers.h"
#include "registration/engine_writers.h"
#include "registration/setup_ini.h"
#include "registration/shell_registration.h"

namespace {

int DocumentWriter(const char* section, char* entryText)
{
    return WriteDocumentEngineEntries(section, entryText);
}

int FixedSetWriter(const char* section, char* entryText)
{
    return WriteFixedSetEntries(section, entryText);
}

int MultimediaWriter(const char* section, char* entryText)
{
    return WriteMultimediaEntries(section, entryText);
}

struct ClassWriter {
    const char* section;
    int (*write)(const char* section, char* entryText);
};

const ClassWriter kClassWriters[] = {
    {"VWPINFO", DocumentWriter},
    {"SPREADSHEETINFO", DocumentWriter},
    {"INTERUTILINFO", DocumentWriter},
    {"INTERN", FixedSetWriter},
    {"MULTIMEDINFO", MultimediaWriter},
    {"SPICINFO", WritePictureSourceEntries},
    {"TPICINFO", WritePictureTargetEntries},
    {"SWPINFO", WriteWordProcessingSourceEntry},
    {"TWPINFO", WriteWordProcessingTargetEntry},
};

ClassEntryResult FromWriter(int result)
{
    return result != 0 ? ClassEntryResult::Registered : ClassEntryResult::Failed;
}

}  // namespace

ClassEntryResult RegisterClassEntry(const char* section, char* entryText, bool withShell,
                                    int shellMode, const char* moduleDirectory)
{
    for (const ClassWriter& writer : kClassWriters) {
        if (TextEquals(section, writer.section))
            return FromWriter(writer.write(section, entryText));
    }
    if (withShell && TextEquals(section, "VIEWENGINEINFO"))
        return FromWriter(RegisterShellExtension(section, entryText, shellMode, moduleDirectory));
    return ClassEntryResult::NotHandled;
}

// Arguments 1 and 5 are the script's own and are not read.
extern "C" int WINAPI SetVapiDLL(DWORD, int setupType, const char* section, int* selected, DWORD,
                                 int entryIndex, const char* iniFile, int shellMode,
                                 const char* moduleDirectory)
{
    *selected = 1;
    char entryText[kEntryReadCapacity];
    if (!ReadComponentEntryText(iniFile, section, entryIndex, entryText))
        return 0;
    // An entry of a parsed section that the parser refuses is no entry, as
    // IncludeSet reports it.
    ComponentEntry entry;
    if (IsParsedSection(section) && !ParseComponentEntry(entryText, &entry))
        return 0;

    if ((setupType == 1 || setupType == 2) &&
        IsLeftOutOfSetup(iniFile, section, entryIndex, setupType == 2))
        *selected = 0;
    if (*selected == 0)
        return 1;

    return RegisterClassEntry(section, entryText, true, shellMode, moduleDirectory) ==
                   ClassEntryResult::Failed
               ? -1
               : 1;
}

// Arguments 3 to 6 are the script's own and are not read.
extern "C" int WINAPI SetOEMVapi(const char* section, char* entryText, const char*, DWORD, DWORD,
                                 const char*)
{
    if (TextEquals(section, "TOOLBAR"))
        return -1;
    return RegisterClassEntry(section, entryText, false, 0, "") == ClassEntryResult::Failed ? -1 : 1;
}
