#include "frame/registry.h"

#include "common/registry_access.h"
#include "common/text.h"

bool CreateWritableKey(HKEY root, const char* subKey, HKEY* key)
{
    DWORD disposition;
    return CreateRegistryKey(root, subKey, "", REG_OPTION_NON_VOLATILE, KEY_WRITE, key,
                             &disposition);
}

bool CreateWritableKeyUnasked(HKEY root, const char* subKey, HKEY* key)
{
    return CreateRegistryKey(root, subKey, "", REG_OPTION_NON_VOLATILE, KEY_WRITE, key, nullptr);
}

void SetStringValue(HKEY key, const char* valueName, const char* text)
{
    SetRegistryString(key, valueName, text);
}

int WriteRegString(const char* subKey, const char* valueName, const char* text)
{
    HKEY key;
    if (!CreateWritableKey(HKEY_LOCAL_MACHINE, subKey, &key))
        return 0;
    SetStringValue(key, valueName, text);
    RegCloseKey(key);
    return 1;
}

int ReadKeyString(HKEY key, const char* valueName, char* buffer, size_t bufferSize)
{
    // The value is read into a working buffer of 256 bytes, no larger than
    // the caller's, and handed over only when it is whole.
    char working[256];
    DWORD capacity = static_cast<DWORD>(bufferSize < sizeof working ? bufferSize : sizeof working);
    DWORD count;
    if (ReadRegistryText(key, valueName, working, capacity, &count) != ReadOutcome::Whole)
        return 0;
    return CopyText(buffer, bufferSize, working) ? 1 : 0;
}

int ReadRegString(const char* subKey, const char* valueName, char* buffer, size_t bufferSize)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    int read = ReadKeyString(key, valueName, buffer, bufferSize);
    RegCloseKey(key);
    return read;
}

void DeleteRegValue(const char* subKey, const char* valueName)
{
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, subKey, KEY_WRITE, valueName);
}
