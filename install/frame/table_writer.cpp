#include "frame/table_writer.h"

#include "common/text.h"
#include "frame/registry.h"

void SetRows(HKEY key, RowSpan rows, RowSetter set)
{
    for (size_t r = 0; r < rows.count; ++r)
        set(key, rows.rows[r].name, rows.rows[r].data);
}

int WriteKeyTables(const KeyTable* tables, size_t tableCount)
{
    for (size_t t = 0; t < tableCount; ++t) {
        HKEY key;
        if (!CreateWritableKey(HKEY_LOCAL_MACHINE, tables[t].subKey, &key))
            return 0;
        SetRows(key, tables[t].rows, SetStringValue);
        RegCloseKey(key);
    }
    return 1;
}

int WriteFormatRows(const char* subKey, RowSpan rows, int formatNumber, bool stopAtFailure)
{
    int result = 1;
    for (size_t i = 0; i < rows.count; ++i) {
        // A format code is at most five numbers: 64 bytes always hold it.
        char name[64];
        if (!FormatText(name, sizeof name, rows.rows[i].name, formatNumber))
            result = 0;
        else
            result = WriteRegString(subKey, name, rows.rows[i].data);
        if (result == 0 && stopAtFailure)
            break;
    }
    return result;
}

const FormatRows* FindFormatRows(const FormatRows* list, size_t count, int formatNumber)
{
    for (size_t i = 0; i < count; ++i) {
        if (list[i].formatNumber == formatNumber)
            return &list[i];
    }
    return nullptr;
}
