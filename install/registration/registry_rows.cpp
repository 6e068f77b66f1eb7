#include "registry_rows.h"

#include "registry.h"
#include "text.h"

const char kVapiKey[] = "SOFTWARE\\Quorvane\\Sorbix\\VAPI";
const char kGeneralKey[] = "SOFTWARE\\Quorvane\\Sorbix\\General";

int WriteRegistryRows(const char* subKey, const RegistryRow* rows, size_t count, int formatNumber,
                      bool stopAtFailure)
{
    int result = 1;
    for (size_t i = 0; i < count; ++i) {
        // A format code is at most five numbers: 64 bytes always hold it.
        char name[64];
        if (!FormatText(name, sizeof name, rows[i].name, formatNumber))
            result = 0;
        else
            result = WriteRegString(subKey, name, rows[i].data);
        if (result == 0 && stopAtFailure)
            break;
    }
    return result;
}
