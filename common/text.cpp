#include "text.h"

#include <stdarg.h>

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

bool EndsWithBackslash(const char* text)
{
    size_t length = TextLength(text);
    return length > 0 && text[length - 1] == '\\';
}

static char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool TextEqualsNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}

bool TextEquals(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (*a != *b)
            return false;
        if (*a == '\0')
            return true;
    }
}

// Writes the pieces into destination only once the whole result is known to
// fit, so that a refused call leaves the destination as it was.
namespace {

struct Builder {
    char* destination;
    size_t capacity;
    size_t used;
    bool overflow;

    void Put(const char* text, size_t length)
    {
        if (overflow)
            return;
        if (length >= capacity - used) {  // keeps room for the terminating zero
            overflow = true;
            return;
        }
        for (size_t i = 0; i < length; ++i)
            destination[used + i] = text[i];
        used += length;
    }
};

// Digits of a number into a 24-byte scratch buffer; returns the first one.
const char* DecimalDigits(char (&scratch)[24], unsigned long long magnitude, bool negative,
                          size_t* length)
{
    char* end = scratch + sizeof scratch;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--p = '-';
    *length = static_cast<size_t>(end - p);
    return p;
}

const char* SignedDigits(char (&scratch)[24], long long value, size_t* length)
{
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    return DecimalDigits(scratch, magnitude, value < 0, length);
}

// Copies a finished result out; the caller has checked that it fits.
bool Emit(char* destination, const char* built, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        destination[i] = built[i];
    destination[length] = '\0';
    return true;
}

}  // namespace

bool CopyText(char* destination, size_t capacity, const char* source)
{
    size_t length = TextLength(source);
    if (capacity == 0 || length >= capacity)
        return false;
    for (size_t i = 0; i <= length; ++i)
        destination[i] = source[i];
    return true;
}

bool AppendText(char* destination, size_t capacity, const char* source)
{
    size_t used = TextLength(destination);
    if (capacity == 0 || used >= capacity)
        return false;
    return CopyText(destination + used, capacity - used, source);
}

bool AppendName(char* destination, size_t capacity, const char* name)
{
    size_t used = TextLength(destination);
    bool separator = !EndsWithBackslash(destination);
    size_t needed = used + (separator ? 1 : 0) + TextLength(name) + 1;
    if (needed > capacity)
        return false;
    char* p = destination + used;
    if (separator)
        *p++ = '\\';
    CopyText(p, capacity - static_cast<size_t>(p - destination), name);
    return true;
}

bool JoinName(char* destination, size_t capacity, const char* directory, const char* name)
{
    bool separator = !EndsWithBackslash(directory);
    size_t needed = TextLength(directory) + (separator ? 1 : 0) + TextLength(name) + 1;
    if (needed > capacity)
        return false;
    CopyText(destination, capacity, directory);
    return AppendName(destination, capacity, name);
}

bool FormatDecimal(char* destination, size_t capacity, long value)
{
    char scratch[24];
    size_t length = 0;
    const char* digits = SignedDigits(scratch, value, &length);
    if (capacity == 0 || length >= capacity)
        return false;
    return Emit(destination, digits, length);
}

bool FormatText(char* destination, size_t capacity, const char* format, ...)
{
    if (capacity == 0)
        return false;
    // The result is assembled in a scratch buffer as large as any buffer of the
    // setup (a Windows path and more) and copied out whole, so a source may
    // also be the destination ("%s\\%s" into the buffer holding the first part).
    char scratch[1024];
    Builder out = {scratch, capacity < sizeof scratch ? capacity : sizeof scratch, 0, false};

    va_list arguments;
    va_start(arguments, format);
    bool valid = true;
    const char* p = format;
    while (*p != '\0' && valid && !out.overflow) {
        if (*p != '%') {
            out.Put(p++, 1);
            continue;
        }
        char directive = p[1];
        p += directive == '\0' ? 1 : 2;
        char digits[24];
        size_t length = 0;
        switch (directive) {
        case 's': {
            const char* text = va_arg(arguments, const char*);
            out.Put(text, TextLength(text));
            break;
        }
        case 'd': {
            const char* first = SignedDigits(digits, va_arg(arguments, int), &length);
            out.Put(first, length);
            break;
        }
        case 'u': {
            const char* first = DecimalDigits(digits, va_arg(arguments, unsigned), false, &length);
            out.Put(first, length);
            break;
        }
        case '%':
            out.Put("%", 1);
            break;
        default:  // unknown directive, or a lone '%' at the end
            valid = false;
            break;
        }
    }
    va_end(arguments);

    if (!valid || out.overflow || out.used >= capacity)
        return false;
    return Emit(destination, scratch, out.used);
}

bool StartsWithNoCase(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (AsciiLower(*text) != AsciiLower(*prefix))
            return false;  // also at the end of a shorter text
    }
    return true;
}

void FormatShownMessage(char* destination, size_t capacity, const char* messageTemplate,
                        const char* argument)
{
    if (capacity == 0)
        return;
    size_t used = 0;
    size_t room = capacity - 1;  // the terminating zero always fits
    bool argumentUsed = false;
    auto put = [&](const char* text, size_t length) {
        for (size_t i = 0; i < length && used < room; ++i)
            destination[used++] = text[i];
    };
    for (const char* p = messageTemplate; *p != '\0' && used < room;) {
        if (p[0] == '%' && p[1] == 's' && !argumentUsed) {
            put(argument, TextLength(argument));
            argumentUsed = true;
            p += 2;
        } else if (p[0] == '%' && p[1] == '%') {
            put("%", 1);
            p += 2;
        } else {
            put(p++, 1);
        }
    }
    destination[used] = '\0';
}

const char* FindSubtext(const char* text, const char* part)
{
    for (const char* start = text;; ++start) {
        size_t i = 0;
        while (part[i] != '\0' && start[i] == part[i])
            ++i;
        if (part[i] == '\0')
            return start;
        if (*start == '\0')
            return nullptr;
    }
}

void LowerAscii(char* text)
{
    for (; *text != '\0'; ++text)
        *text = AsciiLower(*text);
}
