#include "table_writer.h"

#include "text.h"

bool CreateConfigurationKey(HKEY root, const char* subKey, HKEY* key)
{
    char emptyClass[] = "";
    DWORD disposition;
    return RegCreateKeyExA(root, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                           nullptr, key, &disposition) == ERROR_SUCCESS;
}

void SetStringValue(HKEY key, const char* valueName, const char* text)
{
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(TextLength(text) + 1));
}

int WriteKeyTables(const KeyTable* tables, size_t tableCount)
{
    for (size_t t = 0; t < tableCount; ++t) {
        const KeyTable& table = tables[t];
        HKEY key;
        if (!CreateConfigurationKey(HKEY_LOCAL_MACHINE, table.subKey, &key))
            return 0;
        for (size_t r = 0; r < table.rowCount; ++r)
            SetStringValue(key, table.rows[r].name, table.rows[r].data);
        RegCloseKey(key);
    }
    return 1;
}
