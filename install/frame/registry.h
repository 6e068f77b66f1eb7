// install.dll's registry writes and reads: keys below HKEY_LOCAL_MACHINE
// unless a root is given, created with the empty class, non-volatile, for
// KEY_WRITE; values REG_SZ with their terminating zero.
#pragma once

#include <windows.h>

#include <stddef.h>

// Creates or opens root\subKey for writing. False when the key cannot be had.
bool CreateWritableKey(HKEY root, const char* subKey, HKEY* key);

// As CreateWritableKey, without asking whether the key was created or
// opened: the shell registration's keys.
bool CreateWritableKeyUnasked(HKEY root, const char* subKey, HKEY* key);

// Sets a REG_SZ value of text; an empty name is the key's default value. A
// failed set does not stop the writer: its result is not looked at.
void SetStringValue(HKEY key, const char* valueName, const char* text);

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
