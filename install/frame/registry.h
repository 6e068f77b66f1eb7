// REG_SZ helpers for keys below HKEY_LOCAL_MACHINE.
#pragma once

#include <windows.h>

#include <stddef.h>

// Creates or opens the key and stores text with its terminating zero.
// Returns 1 once the key is open (the set itself is not checked), 0 when the
// key could not be created or opened.
int WriteRegString(const char* subKey, const char* valueName, const char* text);

// Reads a value whose data fits bufferSize bytes and 255 characters, and
// returns it zero-terminated. Returns 0, leaving buffer untouched, when the
// key or value is missing or the value does not fit.
int ReadRegString(const char* subKey, const char* valueName, char* buffer, size_t bufferSize);

// As ReadRegString, for a key the caller has opened with KEY_QUERY_VALUE
// under any root.
int ReadKeyString(HKEY key, const char* valueName, char* buffer, size_t bufferSize);

// Deletes the value; a missing key or value is passed over silently.
void DeleteRegValue(const char* subKey, const char* valueName);
