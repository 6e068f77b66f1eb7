// Bounded text helpers shared by every DLL of the setup.
//
// Plain C++ with no runtime library: the same source is linked into the
// runtime-free DLLs and built natively for the sanitizer and fuzz tests.
// Every function takes the capacity of its destination in bytes, terminating
// zero included, and refuses (returns false, destination untouched) when the
// result would not fit: a path or value is never stored cut.
#pragma once

#include <stddef.h>

// Number of bytes before the terminating zero.
size_t TextLength(const char* text);

// Texts are ANSI in a code page that may hold double-byte characters (the
// system's, on Japanese, Chinese and Korean Windows): a lead byte and the
// byte after it are one character, and that second byte may be 0x5C (the
// backslash) or a letter. The helpers that look at characters are handed
// the code page's lead-byte test; common/system_text.h hands them the
// system's.
typedef bool (*LeadByteTest)(unsigned char candidate);

// The test of a code page without double-byte characters.
bool NoLeadBytes(unsigned char candidate);

// The character after the one text points at; the end of the text stays
// there. A lead byte right before the terminating zero is a character alone.
const char* NextCharacter(const char* text, LeadByteTest isLeadByte);
char* NextCharacter(char* text, LeadByteTest isLeadByte);

// The last single-byte character wanted of text (never the second byte of a
// double-byte character); null when there is none.
const char* LastCharacter(const char* text, char wanted, LeadByteTest isLeadByte);
char* LastCharacter(char* text, char wanted, LeadByteTest isLeadByte);

// True when the text's last character is a backslash (an empty text is not).
bool EndsWithBackslash(const char* text, LeadByteTest isLeadByte);

// Equality without regard to the letter case of A to Z in single-byte
// characters; a double-byte character equals only itself.
bool TextEqualsNoCase(const char* a, const char* b, LeadByteTest isLeadByte);

// Exact equality, letter case included (class section names compare so).
bool TextEquals(const char* a, const char* b);

// Copies source into destination.
bool CopyText(char* destination, size_t capacity, const char* source);

// Appends source to the text already in destination.
bool AppendText(char* destination, size_t capacity, const char* source);

// Appends a file name to the directory in destination with one backslash
// between them, inserted unless the directory already ends with one (an
// empty directory does not).
bool AppendName(char* destination, size_t capacity, const char* name, LeadByteTest isLeadByte);

// destination = directory joined with name by the rule of AppendName.
bool JoinName(char* destination, size_t capacity, const char* directory, const char* name,
              LeadByteTest isLeadByte);

// Writes value in decimal (with a leading '-' when negative).
bool FormatDecimal(char* destination, size_t capacity, long value);

// A bounded sprintf for the fixed formats of the setup ("%s\%s", "Info%d",
// "TYPE%d"): knows %s (const char*), %d (int), %u (unsigned) and %%.
// Any other directive is refused.
bool FormatText(char* destination, size_t capacity, const char* format, ...);

// Whether text begins with prefix, compared as TextEqualsNoCase compares;
// the prefix must end where a character of text ends.
bool StartsWithNoCase(const char* text, const char* prefix, LeadByteTest isLeadByte);

// Fills the one "%s" of a message template with argument ("%%" gives "%";
// any other directive, and a second "%s", stays as written) and cuts the
// result to fit capacity (a capacity of 0 writes nothing): for texts that
// are only shown to the user, never stored.
void FormatShownMessage(char* destination, size_t capacity, const char* messageTemplate,
                        const char* argument);

// The first place where part occurs in text, compared letter for letter
// (case-sensitive), starting and ending where characters of text do; null
// when it does not occur. An empty part occurs at the start.
const char* FindSubtext(const char* text, const char* part, LeadByteTest isLeadByte);

// Lowers the letters A to Z of text's single-byte characters in place; other
// bytes, the second bytes of double-byte characters among them, stay as
// they are.
void LowerAscii(char* text, LeadByteTest isLeadByte);

// On Windows every caller works in the system code page: the helpers above
// are there without the lead-byte test as well, handed the system's.
#ifdef _WIN32
#include "common/system_text.h"
#endif
