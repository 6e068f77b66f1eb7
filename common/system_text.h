// The text helpers of common/text.h as the DLLs use them: in the system's
// ANSI code page, whose double-byte characters (Japanese, Chinese and Korean
// Windows) may have 0x5C, the backslash, or a letter as their second byte.
#pragma once

#include "common/text.h"

// The system code page's lead-byte test (IsDBCSLeadByte).
bool IsSystemLeadByte(unsigned char candidate);

inline const char* NextCharacter(const char* text)
{
    return NextCharacter(text, IsSystemLeadByte);
}

inline char* NextCharacter(char* text)
{
    return NextCharacter(text, IsSystemLeadByte);
}

inline const char* LastCharacter(const char* text, char wanted)
{
    return LastCharacter(text, wanted, IsSystemLeadByte);
}

inline char* LastCharacter(char* text, char wanted)
{
    return LastCharacter(text, wanted, IsSystemLeadByte);
}

inline bool EndsWithBackslash(const char* text)
{
    return EndsWithBackslash(text, IsSystemLeadByte);
}

inline bool TextEqualsNoCase(const char* a, const char* b)
{
    return TextEqualsNoCase(a, b, IsSystemLeadByte);
}

inline bool StartsWithNoCase(const char* text, const char* prefix)
{
    return StartsWithNoCase(text, prefix, IsSystemLeadByte);
}

inline bool AppendName(char* destination, size_t capacity, const char* name)
{
    return AppendName(destination, capacity, name, IsSystemLeadByte);
}

inline bool JoinName(char* destination, size_t capacity, const char* directory, const char* name)
{
    return JoinName(destination, capacity, directory, name, IsSystemLeadByte);
}

inline const char* FindSubtext(const char* text, const char* part)
{
    return FindSubtext(text, part, IsSystemLeadByte);
}

inline void LowerAscii(char* text)
{
    LowerAscii(text, IsSystemLeadByte);
}
