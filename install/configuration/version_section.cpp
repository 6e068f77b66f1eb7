#include "configuration/version_section.h"

#include "common/profile_access.h"

bool ReadVersionEntry(const char* iniPath, const char* name, char (&entry)[256])
{
    entry[0] = '\0';
    if (iniPath[0] == '\0')
        return false;
    ReadOutcome outcome = ReadProfileText("GENERAL", name, iniPath, entry, sizeof entry);
    if (outcome == ReadOutcome::NotWhole)
        entry[0] = '\0';
    return outcome == ReadOutcome::Whole;
}
