// Setup scripts for the host: one statement a line, checked whole before
// anything runs.
//
//   # comment
//   IntegAval 0 "filemgrlink.dll" 0 "C:\Sorbix" "C:\Sorbix\Support"
//   installLoadStr 501 buffer(200) "C:\Sorbix\Support\"
//   GetMajorVer out
//   .echo "text"                         prints the text
//   .reg "HKEY_LOCAL_MACHINE\..."        prints the key tree as REGEDIT4 text
//   .ini "file" "section" ["key"]        prints an INI section or entry (a bare
//                                        file name is in the Windows directory)
//   .walk "iniFile" "section" "moduleDir" ["typical"|"compact"]
//                                        walks a class section as a typical (the
//                                        default) or compact setup does:
//                                        IncludeSet, then SetVapiDLL, one line
//                                        per entry (section_walk.h)
//
// Arguments: integers (12, -1, 0x8000), quoted strings (a backslash is
// itself; two double quotes stand for one: "say ""yes"""), buffer(N) (a writable buffer of N zero bytes) and
// out / out(V) (a 32-bit cell the export writes through, starting at 0 or V),
// and @name / @name(V): a named 32-bit cell that lives for the whole run, so
// that one call hands the next what it left there (the answer mode of the
// shared-file question); @name(V) sets it to V before the call, @name passes
// it as the last call left it (0 at first).
//
//   .shared "path"                       counts one more reference to a shared
//                                        file, as the setup program does for
//                                        every shared file it copies
#pragma once

#include <string>
#include <vector>

struct ScriptArgument {
    enum Kind { kInteger, kString, kBuffer, kOutCell, kNamedCell } kind = kInteger;
    long long integer = 0;  // the integer, the buffer's size or the cell's first value
    std::string text;       // the string, or the named cell's name
    bool setsCell = false;  // @name(V): the named cell is set to integer first
};

struct ScriptStatement {
    int line = 0;
    std::string name;  // export name, or directive with its dot
    std::vector<ScriptArgument> arguments;
};

// The text of a script file's bytes: ANSI text, or UTF-8 text after its
// byte order mark. UTF-16 text, NUL bytes and other control bytes than tab,
// line feed and carriage return are refused: false, with what is
// wrong in error.
bool ScriptText(const std::string& bytes, std::string* text, std::string* error);

// Parses and checks the whole script against install.dll's exports. On the
// first fault returns false with "line N: what is wrong" in error.
bool ParseScript(const std::string& text, std::vector<ScriptStatement>* statements,
                 std::string* error);

// A string as the script writes it, between quotes, a quote doubled.
std::string QuotedScriptString(const std::string& text);
