// Any text up to 2 KB: the parser reads nothing outside it, accepts exactly
// the texts of at most 511 characters with ten non-empty fields, and gives an
// extension that is a terminated piece of the text.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "registration/component_entry.h"

namespace {

size_t NonEmptyFields(const std::string& text)
{
    size_t count = 0;
    bool inField = false;
    for (char c : text) {
        if (c == ',') {
            inField = false;
        } else if (!inField) {
            inField = true;
            ++count;
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2048)
        return 0;
    // A block of exactly the text and its zero, so any read past it is seen.
    char* text = static_cast<char*>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = '\0';
    std::string copy(text);

    ComponentEntry entry;
    memset(&entry, 0x5A, sizeof entry);
    bool parsed = ParseComponentEntry(text, &entry);
    bool expected = copy.size() <= 511 && NonEmptyFields(copy) >= 10;
    if (parsed != expected)
        abort();
    if (copy != text)
        abort();  // the entry text is not changed
    if (parsed) {
        size_t length = strnlen(entry.extension, sizeof entry.extension);
        if (length == sizeof entry.extension || copy.find(entry.extension) == std::string::npos)
            abort();
    }
    free(text);
    return 0;
}
