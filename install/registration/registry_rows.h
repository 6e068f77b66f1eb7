// Fixed registry rows: each key's values are an array of name/data rows in
// write order, written by one function.
#pragma once

#include <stddef.h>

// Keys below HKEY_LOCAL_MACHINE that the registration writes.
extern const char kVapiKey[];
extern const char kGeneralKey[];

struct RegistryRow {
    const char* name;  // may hold one "%d", replaced by the format number
    const char* data;
};

template <size_t N>
constexpr size_t CountOf(const RegistryRow (&)[N])
{
    return N;
}

// Writes the rows in order through WriteRegString under subKey, each name
// formatted with formatNumber. With stopAtFailure the first write whose key
// cannot be created ends the walk. Returns the result of the last write made
// (1, or 0 when its key could not be created); 1 when there are no rows.
int WriteRegistryRows(const char* subKey, const RegistryRow* rows, size_t count, int formatNumber,
                      bool stopAtFailure);
