#include "state.h"

#include <windows.h>

#include <stdio.h>

#include <fstream>
#include <set>
#include <sstream>

#include "regedit_export.h"

const char* const kWatchedKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvane",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\FenwoldSoftware",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Fenwold",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager",
    "HKEY_CLASSES_ROOT\\SOFTWARE\\Quorvane",
    "HKEY_CLASSES_ROOT\\CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}",
    "HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers",
    "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Mail",
    "HKEY_CURRENT_USER\\SOFTWARE\\Netscape",
};
const size_t kWatchedKeyCount = sizeof kWatchedKeys / sizeof kWatchedKeys[0];

namespace {

FileState ReadFileState(const std::string& path)
{
    FileState file;
    // The profile functions may still hold what they wrote.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return file;
    std::stringstream bytes;
    bytes << in.rdbuf();
    file.exists = true;
    file.bytes = bytes.str();
    return file;
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// A line diff by longest common subsequence; INI files are small.
std::string LineDiff(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1
                                        : std::max(common[i + 1][j], common[i][j + 1]);
    std::string out;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            ++i, ++j;
        } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
            out += "  - " + a[i++] + "\n";
        } else {
            out += "  + " + b[j++] + "\n";
        }
    }
    return out;
}

// Hex text of bytes behind an "x", so that no bytes still make a word.
std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out = "x";
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Unhex(const std::string& text)
{
    std::string out;
    for (size_t i = 1; i + 1 < text.size(); i += 2)
        out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace

MachineState ReadMachineState(const std::vector<std::string>& files)
{
    MachineState state;
    for (size_t i = 0; i < kWatchedKeyCount; ++i) {
        for (const RegistryKeyContents& key : ReadRegistryTree(kWatchedKeys[i]))
            state.keys[key.path] = key.values;
    }
    for (const std::string& file : files)
        state.files[file] = ReadFileState(file);
    return state;
}

std::string ExportWatchedKeys()
{
    std::string out = "REGEDIT4\n\n";
    for (size_t i = 0; i < kWatchedKeyCount; ++i) {
        std::string text = RegeditText(kWatchedKeys[i]);
        if (text[0] != ';')
            out += text;
    }
    return out;
}

std::string DescribeChanges(const MachineState& before, const MachineState& after)
{
    std::string out;
    std::set<std::string> keys;
    for (const auto& key : before.keys)
        keys.insert(key.first);
    for (const auto& key : after.keys)
        keys.insert(key.first);
    const std::vector<std::pair<std::string, ValueState>> none;
    for (const std::string& key : keys) {
        auto was = before.keys.find(key);
        auto is = after.keys.find(key);
        const auto& oldValues = was == before.keys.end() ? none : was->second;
        const auto& newValues = is == after.keys.end() ? none : is->second;
        std::string lines;
        for (const auto& value : oldValues) {
            const ValueState* now = nullptr;
            for (const auto& candidate : newValues)
                now = candidate.first == value.first ? &candidate.second : now;
            if (now == nullptr)
                lines += "  - " + RegeditValueLine(value.first, value.second.type, value.second.bytes) + "\n";
            else if (!SameValue(*now, value.second))
                lines += "  - " + RegeditValueLine(value.first, value.second.type, value.second.bytes) +
                         "\n  + " + RegeditValueLine(value.first, now->type, now->bytes) + "\n";
        }
        for (const auto& value : newValues) {
            bool existed = false;
            for (const auto& candidate : oldValues)
                existed = existed || candidate.first == value.first;
            if (!existed)
                lines += "  + " + RegeditValueLine(value.first, value.second.type, value.second.bytes) + "\n";
        }
        const char* note = was == before.keys.end() ? " (key added)"
                           : is == after.keys.end()  ? " (key removed)"
                                                     : "";
        if (!lines.empty() || *note != '\0')
            out += "[" + key + "]" + note + "\n" + lines;
    }

    std::set<std::string> files;
    for (const auto& file : before.files)
        files.insert(file.first);
    for (const auto& file : after.files)
        files.insert(file.first);
    for (const std::string& path : files) {
        auto was = before.files.find(path);
        auto is = after.files.find(path);
        FileState oldFile = was == before.files.end() ? FileState() : was->second;
        FileState newFile = is == after.files.end() ? FileState() : is->second;
        if (oldFile.exists == newFile.exists && oldFile.bytes == newFile.bytes)
            continue;
        const char* note = !oldFile.exists ? " (file made)" : !newFile.exists ? " (file removed)" : "";
        out += path + note + "\n" + LineDiff(Lines(oldFile.bytes), Lines(newFile.bytes));
        if (oldFile.exists && newFile.exists && Lines(oldFile.bytes) == Lines(newFile.bytes))
            out += "  (same lines, other bytes: line ends or a last line end)\n";
    }
    return out;
}

bool SaveMachineState(const MachineState& state, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    for (const auto& key : state.keys) {
        out << "K " << Hex(key.first) << "\n";
        for (const auto& value : key.second)
            out << "V " << Hex(value.first) << " " << value.second.type << " " << Hex(value.second.bytes)
                << "\n";
    }
    for (const auto& file : state.files)
        out << "F " << Hex(file.first) << " " << (file.second.exists ? 1 : 0) << " "
            << Hex(file.second.bytes) << "\n";
    return static_cast<bool>(out);
}

bool LoadMachineState(const std::string& path, MachineState* state)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    std::string currentKey;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, first, second, third;
        fields >> kind >> first >> second >> third;
        if (kind == "K") {
            currentKey = Unhex(first);
            state->keys[currentKey];
        } else if (kind == "V") {
            ValueState value;
            value.type = std::stoul(second);
            value.bytes = Unhex(third);
            state->keys[currentKey].emplace_back(Unhex(first), value);
        } else if (kind == "F") {
            FileState file;
            file.exists = second == "1";
            file.bytes = Unhex(third);
            state->files[Unhex(first)] = file;
        } else {
            return false;
        }
    }
    return true;
}
