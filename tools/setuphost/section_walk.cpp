#include "section_walk.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "install/install_exports.h"
#include "profile_files.h"

namespace {

const int kTypicalSetup = 1;
const int kCompactSetup = 2;
const int kShellMode = 2;
const int kLastIndex = 999;  // a walk never runs away

template <typename Procedure>
Procedure ExportAt(HMODULE install, unsigned ordinal)
{
    return reinterpret_cast<Procedure>(
        reinterpret_cast<void (*)()>(GetProcAddress(install, MAKEINTRESOURCEA(ordinal))));
}

bool CopyField(char* field, size_t size, const std::string& text)
{
    if (text.size() >= size)
        return false;
    memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

// Why IncludeSet answered -1 for the entry at index.
std::string WhyTheWalkEnds(const std::string& iniFile, const std::string& section, int index)
{
    std::string path = ProfilePath(iniFile);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return "the setup INI file " + path + " does not exist; the walk ends";
    std::vector<char> names(65536);
    DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()),
                                                  path.c_str());
    bool found = false;
    for (const char* name = names.data(); name < names.data() + length && *name != '\0';
         name += strlen(name) + 1)
        found = found || _stricmp(name, section.c_str()) == 0;
    if (!found)
        return "the setup INI file has no section [" + section + "]; the walk ends";
    char value[2];
    std::string key = "Info" + std::to_string(index);
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, path.c_str());
    if (value[0] == '\0')
        return "no entry, the walk ends";
    return "an entry install.dll refused (more than 511 characters, or fewer than ten fields); "
           "the walk ends";
}

}  // namespace

void RunSectionWalk(HMODULE install, const ScriptStatement& statement)
{
    const std::string& iniFile = statement.arguments[0].text;
    const std::string& section = statement.arguments[1].text;
    const std::string& moduleDirectory = statement.arguments[2].text;
    bool compact = statement.arguments.size() > 3 && statement.arguments[3].text == "compact";
    int setupType = compact ? kCompactSetup : kTypicalSetup;
    printf("> walk [%s] of %s, %s setup\n", section.c_str(), iniFile.c_str(), compact ? "compact" : "typical");

    IncludeSetProc includeSet = ExportAt<IncludeSetProc>(install, kOrdinalIncludeSet);
    SetVapiDLLProc setVapi = ExportAt<SetVapiDLLProc>(install, kOrdinalSetVapiDLL);
    if (includeSet == nullptr || setVapi == nullptr) {
        printf("  install.dll lacks IncludeSet (%u) or SetVapiDLL (%u)\n", kOrdinalIncludeSet,
               kOrdinalSetVapiDLL);
        return;
    }

    int index = 1;
    for (; index <= kLastIndex; ++index) {
        IncludeSetRecord record;
        memset(&record, 0, sizeof record);
        record.setupType = setupType;
        record.entryIndex = index;
        record.listedFormat = -1;  // a parsed entry sets 0 or 1
        record.category30 = -1;
        if (!CopyField(record.iniFile, sizeof record.iniFile, iniFile) ||
            !CopyField(record.section, sizeof record.section, section)) {
            printf("  the file or section name does not fit the record\n");
            return;
        }
        int included = includeSet(0, &record);
        if (included == -1)
            break;

        int selected = -1;
        int registered = setVapi(0, setupType, section.c_str(), &selected, 0, index,
                                 iniFile.c_str(), kShellMode, moduleDirectory.c_str());
        std::string extension =
            record.listedFormat == -1 ? std::string("-") : "\"" + std::string(record.extension) + "\"";
        std::string facts;
        if (record.listedFormat != -1)
            facts = "  listed " + std::to_string(record.listedFormat) + ", category 30 " +
                    std::to_string(record.category30);
        printf("  Info%-3d %-8s %-13s IncludeSet %2d  SetVapiDLL %2d (selected %d)%s\n", index,
               extension.c_str(), included == 1 ? "selected" : "not selected", included, registered,
               selected, facts.c_str());
    }
    printf("  Info%d: %s\n", index, WhyTheWalkEnds(iniFile, section, index).c_str());
    fflush(stdout);
}
