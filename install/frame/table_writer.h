// Fixed tables: each key's values are an array of rows in write order,
// walked by one writer.
#pragma once

#include <windows.h>

#include <stddef.h>

// One value: name and REG_SZ data. In the rows of the class registration the
// name may hold one "%d", replaced by the entry's format number.
struct ValueRow {
    const char* name;
    const char* data;
};

// The rows of one array.
struct RowSpan {
    const ValueRow* rows;
    size_t count;
};

template <size_t Count>
constexpr RowSpan RowsOf(const ValueRow (&rows)[Count])
{
    return RowSpan{rows, Count};
}

// A key below HKEY_LOCAL_MACHINE and its rows.
struct KeyTable {
    const char* subKey;
    RowSpan rows;
};

// The rows written for one format number.
struct FormatRows {
    int formatNumber;
    RowSpan rows;
    bool stopAtFailure;  // a later row only after the one before it was written
};

// The entry of formatNumber in list; null when it has none.
const FormatRows* FindFormatRows(const FormatRows* list, size_t count, int formatNumber);

// Stores one row's value in an open key.
typedef void (*RowSetter)(HKEY key, const char* valueName, const char* data);

// Sets every row in the open key through set, in order.
void SetRows(HKEY key, RowSpan rows, RowSetter set);

// Writes each table in turn, its key created or opened once and closed
// before the next is opened. Returns 1 when all keys were written, 0 at the
// first key that cannot be created or opened; the keys after it are not
// touched.
int WriteKeyTables(const KeyTable* tables, size_t tableCount);

// Writes the rows in order through WriteRegString under subKey (each row
// its own key creation), each name formatted with formatNumber. With
// stopAtFailure the first write whose key cannot be created ends the walk.
// Returns the result of the last write made (1, or 0 when its key could not
// be created); 1 when there are no rows.
int WriteFormatRows(const char* subKey, RowSpan rows, int formatNumber, bool stopAtFailure);
