#include "version_section.h"

#include <windows.h>

bool ReadVersionEntry(const char* iniPath, const char* name, char (&entry)[256])
{
    entry[0] = '\0';
    if (iniPath[0] == '\0')
        return false;
    DWORD copied = GetPrivateProfileStringA("GENERAL", name, "", entry, sizeof entry, iniPath);
    if (copied >= sizeof entry - 1) {  // filled to the brim: the entry may have been cut
        entry[0] = '\0';
        return false;
    }
    return copied > 0;
}
