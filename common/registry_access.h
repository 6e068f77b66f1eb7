// The registry as every DLL of the setup reaches it. Each call hands its
// arguments on unchanged: the root, access, options and class stay the
// caller's, as each place fixes them.
#pragma once

#include <windows.h>

#include "common/read_outcome.h"

// The class the setup gives the keys it creates: none, an empty text.
// Writable only because RegCreateKeyExA takes it so; it is never written.
extern char g_emptyKeyClass[];

// RegCreateKeyExA(root, subKey, 0, keyClass, options, access, no security
// attributes, key, disposition); disposition may be null. True when the key
// was created or opened.
bool CreateRegistryKey(HKEY root, const char* subKey, char* keyClass, DWORD options,
                       REGSAM access, HKEY* key, DWORD* disposition);

// Sets a REG_SZ value of text and its terminating zero; an empty name is the
// key's default value. Returns RegSetValueExA's status.
LONG SetRegistryString(HKEY key, const char* valueName, const char* text);

// RegQueryValueExA of valueName into data (*size bytes in, the data's byte
// count out); type may be null. Missing when there is no such value, Whole
// when the data fit, NotWhole when it did not or could not be read. The
// bytes are handed over as stored: no terminating zero is looked for.
ReadOutcome QueryRegistryValue(HKEY key, const char* valueName, DWORD* type, void* data,
                               DWORD* size);

// Reads a text value whole into buffer (capacity bytes). Data stored without
// its own terminating zero gets one after its last byte, which must still
// fit: a value that fills the buffer without one is NotWhole. *size is the
// byte count as stored.
ReadOutcome ReadRegistryText(HKEY key, const char* valueName, char* buffer, DWORD capacity,
                             DWORD* size);

// Opens root\subKey with access and deletes valueName; a missing key or
// value is passed over silently. Returns RegDeleteValueA's status, or the
// failed open's.
LONG DeleteRegistryValue(HKEY root, const char* subKey, REGSAM access, const char* valueName);
