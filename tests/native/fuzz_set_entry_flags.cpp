// Any text up to 2 KB with any flags: the rewrite stays inside the text's
// own bytes, never makes it longer, and a parsable entry stays parsable with
// only its two flags changed.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "registration/component_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 2049)
        return 0;
    // The first byte chooses the flags: 1, 0 or another number for each.
    int sourceFlag = static_cast<int>(data[0] % 3);
    int targetFlag = static_cast<int>((data[0] / 3) % 3);
    size_t length = size - 1;
    char* text = static_cast<char*>(malloc(length + 1));
    memcpy(text, data + 1, length);
    text[length] = '\0';
    size_t before = strlen(text);

    ComponentEntry old;
    bool parsedBefore = ParseComponentEntry(text, &old);
    SetEntryFlags(text, sourceFlag, targetFlag);
    if (strlen(text) > before)
        abort();

    ComponentEntry now;
    bool parsedAfter = ParseComponentEntry(text, &now);
    if (parsedBefore) {
        if (!parsedAfter || now.sourceFlag != (sourceFlag == 1 ? 1 : 0) ||
            now.targetFlag != (targetFlag == 1 ? 1 : 0) || now.formatNumber != old.formatNumber ||
            now.category != old.category || now.imageFlag != old.imageFlag ||
            now.graphicsFlag != old.graphicsFlag || strcmp(now.extension, old.extension) != 0)
            abort();
    }
    free(text);
    return 0;
}
