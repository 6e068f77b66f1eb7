#include "version_section.h"

#include <windows.h>

#include "text.h"

namespace {

const char kSectionName[] = "GENERAL";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Finds name among the lines of a section ("name=value", each ended by a
// zero, the list by a second zero) by the rules of the profile reader: the
// first line of that name wins, names compare without regard to letter case,
// blanks around name and value do not count, and a value enclosed in a pair
// of matching quotes loses them. A line without "=" has an empty value.
bool FindEntry(const char* lines, const char* name, const char** value, size_t* length)
{
    size_t nameLength = TextLength(name);
    for (const char* line = lines; *line != '\0'; line += TextLength(line) + 1) {
        const char* start = line;
        while (IsBlank(*start))
            ++start;
        const char* equals = start;
        while (*equals != '\0' && *equals != '=')
            ++equals;
        const char* end = equals;
        while (end > start && IsBlank(end[-1]))
            --end;
        if (static_cast<size_t>(end - start) != nameLength || !StartsWithNoCase(start, name))
            continue;

        const char* first = *equals == '=' ? equals + 1 : equals;
        while (IsBlank(*first))
            ++first;
        const char* last = first + TextLength(first);
        while (last > first && IsBlank(last[-1]))
            --last;
        if (last - first >= 2 && (*first == '"' || *first == '\'') && last[-1] == *first) {
            ++first;
            --last;
        }
        *value = first;
        *length = static_cast<size_t>(last - first);
        return true;
    }
    return false;
}

}  // namespace

// One read of the whole section costs what one entry's lookup costs; only a
// section too large for the buffer is looked up entry by entry.
void ReadVersionSection(VersionSection* section, const char* iniPath)
{
    section->iniPath = iniPath;
    section->whole = true;
    section->lines[0] = '\0';
    section->lines[1] = '\0';
    if (iniPath[0] == '\0')
        return;
    DWORD length = GetPrivateProfileSectionA(kSectionName, section->lines, sizeof section->lines,
                                             iniPath);
    if (length >= sizeof section->lines - 2)
        section->whole = false;
}

bool ReadVersionEntry(const VersionSection& section, const char* name, char (&entry)[256])
{
    entry[0] = '\0';
    if (section.iniPath[0] == '\0')
        return false;
    if (!section.whole) {
        DWORD copied =
            GetPrivateProfileStringA(kSectionName, name, "", entry, sizeof entry, section.iniPath);
        if (copied >= sizeof entry - 1) {  // filled to the brim: the entry was cut
            entry[0] = '\0';
            return false;
        }
        return copied > 0;
    }

    const char* value;
    size_t length;
    if (!FindEntry(section.lines, name, &value, &length) || length == 0 ||
        length >= sizeof entry - 1)
        return false;
    for (size_t i = 0; i < length; ++i)
        entry[i] = value[i];
    entry[length] = '\0';
    return true;
}
