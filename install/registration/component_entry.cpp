#include "registration/component_entry.h"

#include "common/text.h"

namespace {

const size_t kFieldsRead = 10;

struct Field {
    size_t start;
    size_t end;  // one past the last character
};

// Length of text, or kComponentEntryCapacity when it holds more than 511
// characters; never reads past the first 512 bytes or the terminating zero.
size_t BoundedLength(const char* text)
{
    size_t length = 0;
    while (length < kComponentEntryCapacity && text[length] != '\0')
        ++length;
    return length;
}

// Finds up to wanted non-empty fields of text[0, length); returns how many.
size_t FindFields(const char* text, size_t length, Field* fields, size_t wanted)
{
    size_t found = 0;
    size_t i = 0;
    while (found < wanted) {
        while (i < length && text[i] == ',')
            ++i;
        if (i == length)
            break;
        fields[found].start = i;
        while (i < length && text[i] != ',')
            ++i;
        fields[found].end = i;
        ++found;
    }
    return found;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int ReadNumber(const char* text, Field field)
{
    size_t i = field.start;
    while (i < field.end && IsWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < field.end && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned int value = 0;  // unsigned: an over-long number wraps, defined
    while (i < field.end && text[i] >= '0' && text[i] <= '9') {
        value = value * 10u + static_cast<unsigned int>(text[i] - '0');
        ++i;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

}  // namespace

bool ParseComponentEntry(const char* text, ComponentEntry* entry)
{
    // The first 511 characters, as a read of the entry with 512 bytes sees
    // them.
    size_t length = BoundedLength(text);
    if (length >= kComponentEntryCapacity)
        length = kComponentEntryCapacity - 1;
    Field fields[kFieldsRead];
    if (FindFields(text, length, fields, kFieldsRead) < kFieldsRead)
        return false;

    size_t from = fields[1].start;
    while (from < fields[1].end && IsWhiteSpace(text[from]))
        ++from;
    size_t count = fields[1].end - from;
    if (count >= kExtensionCapacity)  // cannot happen with ten fields in 511 characters
        return false;
    for (size_t i = 0; i < count; ++i)
        entry->extension[i] = text[from + i];
    entry->extension[count] = '\0';

    entry->category = ReadNumber(text, fields[3]);
    entry->formatNumber = ReadNumber(text, fields[4]);
    entry->sourceFlag = ReadNumber(text, fields[5]);
    entry->targetFlag = ReadNumber(text, fields[6]);
    entry->imageFlag = ReadNumber(text, fields[8]);
    entry->graphicsFlag = ReadNumber(text, fields[9]);
    return true;
}

void SetEntryFlags(char* text, int sourceFlag, int targetFlag)
{
    size_t length = BoundedLength(text);
    if (length >= kComponentEntryCapacity)
        return;
    Field fields[7];
    if (FindFields(text, length, fields, 7) < 7)
        return;

    // Built in a working buffer and copied back whole; each flag field of one
    // or more characters becomes one character, so the result is no longer.
    char working[kComponentEntryCapacity];
    size_t used = 0;
    for (size_t i = 0; i < fields[5].start; ++i)
        working[used++] = text[i];
    working[used++] = sourceFlag == 1 ? '1' : '0';
    for (size_t i = fields[5].end; i < fields[6].start; ++i)
        working[used++] = text[i];
    working[used++] = targetFlag == 1 ? '1' : '0';
    for (size_t i = fields[6].end; i < length; ++i)
        working[used++] = text[i];
    working[used] = '\0';
    CopyText(text, length + 1, working);
}

bool IsLongerThanAnEntry(const char* text)
{
    return BoundedLength(text) >= kComponentEntryCapacity;
}

bool IsListedFormat(int formatNumber)
{
    static const int kListedFormats[] = {3,  11, 13, 16, 20, 26, 27, 28,  29,  32,  38,  43,  46,
                                         48, 55, 63, 64, 72, 74, 78, 82, 87, 88, 181, 196, 205};
    for (int listed : kListedFormats) {
        if (listed == formatNumber)
            return true;
    }
    return false;
}
