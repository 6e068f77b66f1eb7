// The one writer of the viewer's fixed configuration: keys created or opened
// for writing, string values stored with their terminating zero, one key
// open at a time.
#pragma once

#include <windows.h>

#include <stddef.h>

// One value of a fixed table: name and REG_SZ data.
struct ValueRow {
    const char* name;
    const char* data;
};

// A key below HKEY_LOCAL_MACHINE and its rows, in write order.
struct KeyTable {
    const char* subKey;
    const ValueRow* rows;
    size_t rowCount;
};

template <size_t Count>
constexpr KeyTable MakeKeyTable(const char* subKey, const ValueRow (&rows)[Count])
{
    return KeyTable{subKey, rows, Count};
}

// Creates or opens root\subKey with KEY_WRITE. False when it cannot be had.
bool CreateConfigurationKey(HKEY root, const char* subKey, HKEY* key);

// Sets a REG_SZ value of text and its terminating zero. An empty name is
// the key's default value. A failed set does not stop the writer: its result
// is not looked at.
void SetStringValue(HKEY key, const char* valueName, const char* text);

// Writes each table in turn, closing its key before the next is opened.
// Returns 1 when all keys were written, 0 at the first key that cannot be
// created or opened; the keys after it are not touched.
int WriteKeyTables(const KeyTable* tables, size_t tableCount);
