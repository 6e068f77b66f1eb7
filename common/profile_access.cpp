#include "common/profile_access.h"

ReadOutcome ReadProfileText(const char* section, const char* key, const char* file, char* buffer,
                            DWORD capacity)
{
    DWORD length = GetPrivateProfileStringA(section, key, "", buffer, capacity, file);
    if (length == 0)
        return ReadOutcome::Missing;
    // Filled to the brim: the text may have been cut.
    return length >= capacity - 1 ? ReadOutcome::NotWhole : ReadOutcome::Whole;
}
