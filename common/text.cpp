#include "text.h"

#include <stdarg.h>

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

bool NoLeadBytes(unsigned char)
{
    return false;
}

const char* NextCharacter(const char* text, LeadByteTest isLeadByte)
{
    if (*text == '\0')
        return text;
    if (isLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0')
        return text + 2;
    return text + 1;
}

char* NextCharacter(char* text, LeadByteTest isLeadByte)
{
    return const_cast<char*>(NextCharacter(static_cast<const char*>(text), isLeadByte));
}

const char* LastCharacter(const char* text, char wanted, LeadByteTest isLeadByte)
{
    const char* last = nullptr;
    for (const char* p = text; *p != '\0';) {
        const char* next = NextCharacter(p, isLeadByte);
        if (next == p + 1 && *p == wanted)
            last = p;
        p = next;
    }
    return last;
}

char* LastCharacter(char* text, char wanted, LeadByteTest isLeadByte)
{
    return const_cast<char*>(LastCharacter(static_cast<const char*>(text), wanted, isLeadByte));
}

bool EndsWithBackslash(const char* text, LeadByteTest isLeadByte)
{
    const char* last = LastCharacter(text, '\\', isLeadByte);
    return last != nullptr && last[1] == '\0';
}

static char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the character at a with the bytes at b: a double-byte character
// byte for byte, a single-byte one without regard to the case of A to Z.
// Returns the character's length when they match, 0 when not.
static size_t MatchCharacterNoCase(const char* a, const char* b, LeadByteTest isLeadByte)
{
    size_t length = static_cast<size_t>(NextCharacter(a, isLeadByte) - a);
    if (length == 2)
        return a[0] == b[0] && a[1] == b[1] ? 2 : 0;
    return AsciiLower(*a) == AsciiLower(*b) ? 1 : 0;
}

bool TextEqualsNoCase(const char* a, const char* b, LeadByteTest isLeadByte)
{
    for (;;) {
        if (*a == '\0' || *b == '\0')
            return *a == *b;
        // Each text's double-byte characters are matched whole by the other.
        size_t length = MatchCharacterNoCase(a, b, isLeadByte);
        if (length == 0 || MatchCharacterNoCase(b, a, isLeadByte) != length)
            return false;
        a += length;
        b += length;
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

bool AppendName(char* destination, size_t capacity, const char* name, LeadByteTest isLeadByte)
{
    size_t used = TextLength(destination);
    bool separator = !EndsWithBackslash(destination, isLeadByte);
    size_t needed = used + (separator ? 1 : 0) + TextLength(name) + 1;
    if (needed > capacity)
        return false;
    char* p = destination + used;
    if (separator)
        *p++ = '\\';
    CopyText(p, capacity - static_cast<size_t>(p - destination), name);
    return true;
}

bool JoinName(char* destination, size_t capacity, const char* directory, const char* name,
              LeadByteTest isLeadByte)
{
    bool separator = !EndsWithBackslash(directory, isLeadByte);
    size_t needed = TextLength(directory) + (separator ? 1 : 0) + TextLength(name) + 1;
    if (needed > capacity)
        return false;
    CopyText(destination, capacity, directory);
    return AppendName(destination, capacity, name, isLeadByte);
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

bool StartsWithNoCase(const char* text, const char* prefix, LeadByteTest isLeadByte)
{
    while (*prefix != '\0') {
        if (*text == '\0')
            return false;
        // The text's character decides the length: a prefix that ends inside
        // it does not match.
        size_t length = MatchCharacterNoCase(text, prefix, isLeadByte);
        if (length == 0 || MatchCharacterNoCase(prefix, text, isLeadByte) != length)
            return false;
        text += length;
        prefix += length;
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

const char* FindSubtext(const char* text, const char* part, LeadByteTest isLeadByte)
{
    for (const char* start = text;; start = NextCharacter(start, isLeadByte)) {
        size_t i = 0;
        while (part[i] != '\0' && start[i] == part[i])
            ++i;
        if (part[i] == '\0') {
            // The match must end where a character of text ends.
            const char* end = start;
            while (end < start + i)
                end = NextCharacter(end, isLeadByte);
            if (end == start + i)
                return start;
        }
        if (*start == '\0')
            return nullptr;
    }
}

void LowerAscii(char* text, LeadByteTest isLeadByte)
{
    while (*text != '\0') {
        char* next = NextCharacter(text, isLeadByte);
        if (next == text + 1)
            *text = AsciiLower(*text);
        text = next;
    }
}
