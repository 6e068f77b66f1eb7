#include "registry.h"

#include <windows.h>

#include "text.h"

int WriteRegString(const char* subKey, const char* valueName, const char* text)
{
    HKEY key;
    DWORD disposition;
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return 0;
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(TextLength(text) + 1));
    RegCloseKey(key);
    return 1;
}

int ReadKeyString(HKEY key, const char* valueName, char* buffer, size_t bufferSize)
{
    // The value is read into a working buffer of 256 bytes, no larger than
    // the caller's, and handed over only when it is whole: a value that does
    // not fit is refused rather than returned cut.
    char working[256];
    DWORD capacity = static_cast<DWORD>(bufferSize < sizeof working ? bufferSize : sizeof working);
    DWORD count = capacity;
    LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(working), &count);
    if (status != ERROR_SUCCESS || count > capacity)
        return 0;

    // Data stored without its own terminating zero ends after the byte count;
    // it needs one byte more, which must still fit.
    if (count == 0 || working[count - 1] != '\0') {
        if (count == capacity)
            return 0;
        working[count] = '\0';
    }
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
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}
