#include "common/registry_access.h"

#include "common/text.h"

char g_emptyKeyClass[] = "";

bool CreateRegistryKey(HKEY root, const char* subKey, char* keyClass, DWORD options,
                       REGSAM access, HKEY* key, DWORD* disposition)
{
    return RegCreateKeyExA(root, subKey, 0, keyClass, options, access, nullptr, key,
                           disposition) == ERROR_SUCCESS;
}

LONG SetRegistryString(HKEY key, const char* valueName, const char* text)
{
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(TextLength(text) + 1));
}

ReadOutcome QueryRegistryValue(HKEY key, const char* valueName, DWORD* type, void* data,
                               DWORD* size)
{
    LONG status =
        RegQueryValueExA(key, valueName, nullptr, type, static_cast<BYTE*>(data), size);
    if (status == ERROR_SUCCESS)
        return ReadOutcome::Whole;
    return status == ERROR_FILE_NOT_FOUND ? ReadOutcome::Missing : ReadOutcome::NotWhole;
}

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

LONG DeleteRegistryValue(HKEY root, const char* subKey, REGSAM access, const char* valueName)
{
    HKEY key;
    LONG status = RegOpenKeyExA(root, subKey, 0, access, &key);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return status;
}
