// Bounded text helpers shared by every DLL of the setup.
//
// Plain C++ with no runtime library: the same source is linked into the
// runtime-free DLLs and built natively for the sanitizer and fuzz tests.
// Every function takes the capacity of its destination in bytes, terminating
// zero included, and refuses (returns false, destination untouched) when the
// result would not fit: a path or value is never stored cut.
#pragma once

#include <stddef.h>

// Number of characters before the terminating zero.
size_t TextLength(const char* text);

// True when the text's last character is a backslash (an empty text is not).
bool EndsWithBackslash(const char* text);

// ASCII case-insensitive equality, as registry and INI names compare.
bool TextEqualsNoCase(const char* a, const char* b);

// Exact equality, letter case included (class section names compare so).
bool TextEquals(const char* a, const char* b);

// Copies source into destination.
bool CopyText(char* destination, size_t capacity, const char* source);

// Appends source to the text already in destination.
bool AppendText(char* destination, size_t capacity, const char* source);

// Appends a file name to the directory in destination with one backslash
// between them, inserted unless the directory already ends with one (an
// empty directory does not).
bool AppendName(char* destination, size_t capacity, const char* name);

// destination = directory joined with name by the rule of AppendName.
bool JoinName(char* destination, size_t capacity, const char* directory, const char* name);

// Writes value in decimal (with a leading '-' when negative).
bool FormatDecimal(char* destination, size_t capacity, long value);

// A bounded sprintf for the fixed formats of the setup ("%s\%s", "Info%d",
// "TYPE%d"): knows %s (const char*), %d (int), %u (unsigned) and %%.
// Any other directive is refused.
bool FormatText(char* destination, size_t capacity, const char* format, ...);

// ASCII case-insensitive test that text begins with prefix.
bool StartsWithNoCase(const char* text, const char* prefix);

// Fills the one "%s" of a message template with argument ("%%" gives "%";
// any other directive, and a second "%s", stays as written) and cuts the
// result to fit capacity (a capacity of 0 writes nothing): for texts that
// are only shown to the user, never stored.
void FormatShownMessage(char* destination, size_t capacity, const char* messageTemplate,
                        const char* argument);

// The first place where part occurs in text, compared letter for letter
// (case-sensitive); null when it does not occur. An empty part occurs at
// the start.
const char* FindSubtext(const char* text, const char* part);

// Lowers the letters A to Z of text in place; other bytes stay as they are.
void LowerAscii(char* text);
