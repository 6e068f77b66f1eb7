#include "common/registry_access.h"

ReadOutcome ReadRegistryText(HKEY key, const char* valueName, char* buffer, DWORD capacity,
                             DWORD* size)
{
    *size = capacity;
    ReadOutcome outcome = QueryRegistryValue(key, valueName, nullptr, buffer, size);
    if (outcome != ReadOutcome::Whole)
        return outcome;
    if (*size > capacity)
        return ReadOutcome::NotWhole;
    if (*size == 0 || buffer[*size - 1] != '\0') {
        if (*size == capacity)
            return ReadOutcome::NotWhole;
        buffer[*size] = '\0';
    }
    return ReadOutcome::Whole;
}
