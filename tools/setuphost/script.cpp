#include "script.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include "host_exports.h"

namespace {

struct DirectiveRule {
    const char* name;
    size_t minimumStrings;
    size_t maximumStrings;
};

const DirectiveRule kDirectives[] = {
    {".echo", 1, 1},
    {".reg", 1, 1},
    {".ini", 2, 3},
    {".shared", 1, 1},
    {".walk", 3, 4},
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

bool ParseInteger(const std::string& word, long long* value)
{
    if (word.empty())
        return false;
    const char* start = word.c_str();
    char* end = nullptr;
    bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    *value = hex ? static_cast<long long>(strtoull(start, &end, 16)) : strtoll(start, &end, 10);
    if (*end != '\0')
        return false;
    return *value >= -2147483648LL && *value <= 4294967295LL;  // a 32-bit argument
}

// buffer(N) or out(V): the number between the parentheses.
bool ParseCall(const std::string& word, const char* keyword, long long* value)
{
    std::string prefix = std::string(keyword) + "(";
    if (word.compare(0, prefix.size(), prefix) != 0 || word.back() != ')')
        return false;
    return ParseInteger(word.substr(prefix.size(), word.size() - prefix.size() - 1), value);
}

bool ParseArgument(const std::string& word, ScriptArgument* argument, std::string* error)
{
    long long value = 0;
    if (word == "out") {
        argument->kind = ScriptArgument::kOutCell;
    } else if (ParseCall(word, "out", &value)) {
        argument->kind = ScriptArgument::kOutCell;
        argument->integer = value;
    } else if (word.compare(0, 7, "buffer(") == 0) {
        if (!ParseCall(word, "buffer", &value) || value < 1 || value > 65536) {
            *error = "a buffer needs a size from 1 to 65536: " + word;
            return false;
        }
        argument->kind = ScriptArgument::kBuffer;
        argument->integer = value;
    } else if (word[0] == '@') {
        size_t open = word.find('(');
        std::string name = word.substr(1, open == std::string::npos ? std::string::npos : open - 1);
        bool named = !name.empty();
        for (char c : name)
            named = named && (isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!named || (open != std::string::npos && !ParseCall(word, ("@" + name).c_str(), &value))) {
            *error = "a named cell is @name or @name(V): " + word;
            return false;
        }
        argument->kind = ScriptArgument::kNamedCell;
        argument->text = name;
        argument->integer = value;
        argument->setsCell = open != std::string::npos;
    } else if (ParseInteger(word, &value)) {
        argument->kind = ScriptArgument::kInteger;
        argument->integer = value;
    } else {
        *error = "not an argument: " + word;
        return false;
    }
    return true;
}

// Splits a line into words; a quoted string is one word that keeps its
// quotes' meaning through isString.
bool SplitLine(const std::string& line, std::vector<std::pair<std::string, bool>>* words,
               std::string* error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            // Two quotes inside a string stand for one.
            std::string text;
            size_t close = i + 1;
            for (;; ++close) {
                if (close >= line.size()) {
                    *error = "a string is not closed";
                    return false;
                }
                if (line[close] != '"') {
                    text += line[close];
                } else if (close + 1 < line.size() && line[close + 1] == '"') {
                    text += '"';
                    ++close;
                } else {
                    break;
                }
            }
            words->emplace_back(text, true);
            i = close + 1;
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                *error = "a string must be followed by a blank";
                return false;
            }
        } else {
            size_t end = i;
            while (end < line.size() && !IsBlank(line[end]) && line[end] != '#')
                ++end;
            words->emplace_back(line.substr(i, end - i), false);
            i = end;
        }
    }
    return true;
}

}  // namespace

bool ScriptText(const std::string& bytes, std::string* text, std::string* error)
{
    static const char kUtf8Mark[] = "\xEF\xBB\xBF";
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                              (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        *error = "is UTF-16 text; save it as ANSI (or UTF-8) text";
        return false;
    }
    size_t start = bytes.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    int line = 1;
    for (size_t i = start; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n')
            ++line;
        if (c == 0) {
            *error = "holds NUL bytes (line " + std::to_string(line) +
                     "): not a text file, or UTF-16 text without its byte order mark";
            return false;
        }
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f) {
            char code[8];
            snprintf(code, sizeof code, "0x%02x", c);
            *error = std::string("holds the control byte ") + code + " (line " + std::to_string(line) +
                     "): not a script";
            return false;
        }
    }
    *text = bytes.substr(start);
    return true;
}

std::string QuotedScriptString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

bool ParseScript(const std::string& text, std::vector<ScriptStatement>* statements,
                 std::string* error)
{
    size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string content = text.substr(start, end - start);
        start = end + 1;

        std::vector<std::pair<std::string, bool>> words;
        std::string fault;
        if (!SplitLine(content, &words, &fault)) {
            *error = "line " + std::to_string(line) + ": " + fault;
            return false;
        }
        if (words.empty())
            continue;
        if (words[0].second) {
            *error = "line " + std::to_string(line) + ": a statement starts with a name, not a string";
            return false;
        }

        ScriptStatement statement;
        statement.line = line;
        statement.name = words[0].first;
        const std::string where = "line " + std::to_string(line) + ": ";

        if (statement.name[0] == '.') {
            const DirectiveRule* rule = nullptr;
            for (const DirectiveRule& candidate : kDirectives) {
                if (statement.name == candidate.name)
                    rule = &candidate;
            }
            if (rule == nullptr) {
                *error = where + "unknown directive " + statement.name;
                return false;
            }
            size_t count = words.size() - 1;
            if (count < rule->minimumStrings || count > rule->maximumStrings) {
                *error = where + statement.name + " takes " + std::to_string(rule->minimumStrings) +
                         (rule->maximumStrings != rule->minimumStrings
                              ? " to " + std::to_string(rule->maximumStrings)
                              : std::string()) +
                         " quoted strings, not " + std::to_string(count);
                return false;
            }
            for (size_t i = 1; i < words.size(); ++i) {
                if (!words[i].second) {
                    *error = where + statement.name + " takes quoted strings: " + words[i].first;
                    return false;
                }
                ScriptArgument argument;
                argument.kind = ScriptArgument::kString;
                argument.text = words[i].first;
                statement.arguments.push_back(argument);
            }
            if (statement.name == ".walk" && statement.arguments.size() == 4 &&
                statement.arguments[3].text != "typical" && statement.arguments[3].text != "compact") {
                *error = where + ".walk walks a \"typical\" or a \"compact\" setup, not \"" +
                         statement.arguments[3].text + "\"";
                return false;
            }
        } else {
            const ExportRow* row = FindExport(statement.name);
            if (row == nullptr) {
                *error = where + "install.dll has no export named " + statement.name;
                return false;
            }
            for (size_t i = 1; i < words.size(); ++i) {
                ScriptArgument argument;
                if (words[i].second) {
                    argument.kind = ScriptArgument::kString;
                    argument.text = words[i].first;
                } else if (!ParseArgument(words[i].first, &argument, &fault)) {
                    *error = where + fault;
                    return false;
                }
                statement.arguments.push_back(argument);
            }
            if (statement.arguments.size() != row->argumentCount) {
                *error = where + statement.name + " takes " + std::to_string(row->argumentCount) +
                         " arguments, the script gives " + std::to_string(statement.arguments.size());
                return false;
            }
        }
        statements->push_back(statement);
    }
    return true;
}
