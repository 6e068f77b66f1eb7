// The registry as every DLL of the setup reaches it. Each call hands its
// arguments on unchanged: the root, access, options and class stay the
// caller's, as each place fixes them.
#pragma once

#include <windows.h>

#include "common/read_outcome.h"
#include "common/text.h"

// Defined here, so that each DLL carries only the calls it makes.

// RegCreateKeyExA(root, subKey, 0, keyClass, options, access, no security
// attributes, key, disposition); disposition may be null. True when the key
// was created or opened. The setup's keys get the empty class "".
inline bool CreateRegistryKey(HKEY root, const char* subKey, const char* keyClass, DWORD options,
                              REGSAM access, HKEY* key, DWORD* disposition)
{
    // The class is only read, though the call takes it as writable text.
    return RegCreateKeyExA(root, subKey, 0, const_cast<char*>(keyClass), options, access, nullptr,
                           key, disposition) == ERROR_SUCCESS;
}

// Sets a REG_SZ value of text and its terminating zero; an empty name is the
// key's default value. Returns RegSetValueExA's status.
inline LONG SetRegistryString(HKEY key, const char* valueName, const char* text)
{
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(TextLength(text) + 1));
}

// Sets a value of any type to size bytes of data, as they are.
inline LONG SetRegistryValue(HKEY key, const char* valueName, DWORD type, const void* data,
                             DWORD size)
{
    return RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
}

// RegQueryValueExA of valueName into data (*size bytes in, the data's byte
// count out); type may be null. Missing when there is no such value, Whole
// when the data fit, NotWhole when it did not or could not be read. The
// bytes are handed over as stored: no terminating zero is looked for.
inline ReadOutcome QueryRegistryValue(HKEY key, const char* valueName, DWORD* type, void* data,
                                      DWORD* size)
{
    LONG status =
        RegQueryValueExA(key, valueName, nullptr, type, static_cast<BYTE*>(data), size);
    if (status == ERROR_SUCCESS)
        return ReadOutcome::Whole;
    return status == ERROR_FILE_NOT_FOUND ? ReadOutcome::Missing : ReadOutcome::NotWhole;
}

// Reads a text value whole into buffer (capacity bytes). Data stored without
// its own terminating zero gets one after its last byte, which must still
// fit: a value that fills the buffer without one is NotWhole. *size is the
// byte count as stored.
inline ReadOutcome ReadRegistryText(HKEY key, const char* valueName, char* buffer,
                                    DWORD capacity, DWORD* size)
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

// Opens root\subKey with access and deletes valueName; a missing key or
// value is passed over silently. Returns RegDeleteValueA's status, or the
// failed open's.
inline LONG DeleteRegistryValue(HKEY root, const char* subKey, REGSAM access,
                                const char* valueName)
{
    HKEY key;
    LONG status = RegOpenKeyExA(root, subKey, 0, access, &key);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return status;
}
