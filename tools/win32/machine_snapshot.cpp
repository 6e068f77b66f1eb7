#include "machine_snapshot.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "regedit_export.h"

const WatchedKey kWatchedKeys[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane", "HKLM\\SOFTWARE\\Quorvane"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\FenwoldSoftware", "HKLM\\SOFTWARE\\FenwoldSoftware"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Fenwold", "HKLM\\SOFTWARE\\Fenwold"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", "HKLM\\SOFTWARE\\Microsoft\\Windows\\Help"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager",
     "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager"},
    {HKEY_LOCAL_MACHINE, "sxtmpkey", "HKLM\\sxtmpkey"},
    {HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane", "HKCR\\SOFTWARE\\Quorvane"},
    {HKEY_CLASSES_ROOT, "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}",
     "HKCR\\CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}"},
    {HKEY_CLASSES_ROOT, "*\\shellex", "HKCR\\*\\shellex"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail", "HKCU\\SOFTWARE\\Microsoft\\Mail"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Netscape", "HKCU\\SOFTWARE\\Netscape"},
};
const size_t kWatchedKeyCount = sizeof kWatchedKeys / sizeof kWatchedKeys[0];

namespace {

const char kMissing[] = "\x01(missing)";
const char kListedOnly[] = "(listed only)";
const char kDirectory[] = "(directory)";

// An INI line as it reads, exact to the byte: CR LF, the usual end, is not
// shown; any other end, and any byte outside printable ASCII, is.
std::string ShownLine(const std::string& line)
{
    bool crlf = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0;
    std::string text = crlf ? line.substr(0, line.size() - 2) : line;
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += digits[c >> 4];
            shown += digits[c & 15];
        }
    }
    return crlf ? shown : shown + " (no CR LF end)";
}

// The longest common subsequence walk of two line lists: what was dropped
// and what was added, in file order.
void LineDifferences(const std::string& path, const std::vector<std::string>& a,
                     const std::vector<std::string>& b, std::vector<std::string>* out)
{
    std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            ++i, ++j;
        } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
            out->push_back("- " + path + " " + a[i++]);
        } else {
            out->push_back("+ " + path + " " + b[j++]);
        }
    }
}

bool HasAncestorIn(const std::string& key, const std::map<std::string, std::string>& keys,
                   const std::map<std::string, std::string>& other)
{
    // The key's parent was added (or removed) as well: only the topmost counts.
    size_t cut = key.find_last_of('\\');
    if (cut == std::string::npos)
        return false;
    std::string parent = key.substr(0, cut);
    return keys.count(parent) != 0 && other.count(parent) == 0;
}

bool UnderKeyOnlyIn(const std::string& valuePath, const std::map<std::string, std::string>& keys,
                    const std::map<std::string, std::string>& other)
{
    std::string key = valuePath.substr(0, valuePath.find(" : "));
    return keys.count(key) != 0 && other.count(key) == 0;
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

bool Unhex(const std::string& text, std::string* bytes)
{
    if (text.empty() || text[0] != 'x' || text.size() % 2 != 1)
        return false;
    bytes->clear();
    for (size_t i = 1; i + 1 < text.size(); i += 2) {
        char* end = nullptr;
        std::string pair = text.substr(i, 2);
        long value = strtol(pair.c_str(), &end, 16);
        if (*end != '\0')
            return false;
        *bytes += static_cast<char>(value);
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return true;
}

const char* RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (root == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    return "HKEY_USERS";
}

void MachineSnapshot::AddWatchedKeys()
{
    for (size_t i = 0; i < kWatchedKeyCount; ++i)
        AddKeyTree(kWatchedKeys[i].root, kWatchedKeys[i].key, kWatchedKeys[i].shown);
}

void MachineSnapshot::AddKeyTree(HKEY root, const std::string& key, const std::string& shown)
{
    for (const RegistryKeyContents& contents : ReadRegistryTree(root, key)) {
        std::string path = shown + contents.path.substr(key.size());
        keys_[path] = "";
        for (const auto& value : contents.values)
            values_[path + " : " + value.first] = RegeditValueData(value.second.type, value.second.bytes);
    }
}

void MachineSnapshot::AddFile(const std::string& path)
{
    std::string bytes;
    files_[path] = ReadWholeFile(path, &bytes) ? bytes : kMissing;
}

void MachineSnapshot::AddListedFile(const std::string& path)
{
    files_[path] = kListedOnly;
}

void MachineSnapshot::AddDirectory(const std::string& path)
{
    files_[path + "\\"] = kDirectory;
}

void MachineSnapshot::AddIniFile(const std::string& path)
{
    if (HasIniFile(path))
        return;
    // The profile functions may still hold what they wrote.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    std::string bytes;
    iniExists_[path] = ReadWholeFile(path, &bytes);
    std::vector<std::string>& lines = iniLines_[path];
    std::string section;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        std::string line = bytes.substr(start, end - start);
        start = end;
        if (!line.empty() && line[0] == '[')
            section = line.substr(0, line.find(']') + 1);
        lines.push_back(section + " " + ShownLine(line));
    }
}

std::vector<std::string> MachineSnapshot::IniFiles() const
{
    std::vector<std::string> paths;
    for (const auto& file : iniLines_)
        paths.push_back(file.first);
    return paths;
}

void MachineSnapshot::AddIniFilesFrom(const MachineSnapshot& other)
{
    for (const auto& file : other.iniLines_) {
        if (HasIniFile(file.first))
            continue;
        iniLines_[file.first] = file.second;
        iniExists_[file.first] = other.iniExists_.at(file.first);
    }
}

std::vector<std::string> MachineSnapshot::DifferencesFrom(const MachineSnapshot& before) const
{
    std::vector<std::string> out;
    for (const auto& key : before.keys_)
        if (keys_.count(key.first) == 0 && !HasAncestorIn(key.first, before.keys_, keys_))
            out.push_back("- key tree " + key.first);
    for (const auto& key : keys_)
        if (before.keys_.count(key.first) == 0 && !HasAncestorIn(key.first, keys_, before.keys_))
            out.push_back("+ key tree " + key.first);
    for (const auto& value : before.values_) {
        auto now = values_.find(value.first);
        if (now == values_.end()) {
            if (!UnderKeyOnlyIn(value.first, before.keys_, keys_))
                out.push_back("- " + value.first + " = " + value.second);
        } else if (now->second != value.second) {
            out.push_back("~ " + value.first + " = " + value.second + " -> " + now->second);
        }
    }
    for (const auto& value : values_)
        if (before.values_.count(value.first) == 0 && !UnderKeyOnlyIn(value.first, keys_, before.keys_))
            out.push_back("+ " + value.first + " = " + value.second);

    for (const auto& file : before.files_) {
        auto now = files_.find(file.first);
        std::string after = now == files_.end() ? kMissing : now->second;
        if (after == file.second)
            continue;
        out.push_back(after == kMissing ? "- file " + file.first
                      : file.second == kMissing ? "+ file " + file.first
                                                : "~ file " + file.first);
    }
    for (const auto& file : files_)
        if (before.files_.count(file.first) == 0 && file.second != kMissing)
            out.push_back("+ file " + file.first);

    for (const auto& ini : iniLines_) {
        auto was = before.iniLines_.find(ini.first);
        if (was == before.iniLines_.end())
            continue;
        if (before.iniExists_.at(ini.first) != iniExists_.at(ini.first))
            out.push_back(std::string(iniExists_.at(ini.first) ? "+" : "-") + " file " + ini.first);
        LineDifferences(ini.first, was->second, ini.second, &out);
    }
    return out;
}

// One record a line, every text in hex: "K key", "V value-path data",
// "F path bytes", "I path exists" and "L path line".
bool MachineSnapshot::Save(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    for (const auto& key : keys_)
        out << "K " << Hex(key.first) << "\n";
    for (const auto& value : values_)
        out << "V " << Hex(value.first) << " " << Hex(value.second) << "\n";
    for (const auto& file : files_)
        out << "F " << Hex(file.first) << " " << Hex(file.second) << "\n";
    for (const auto& ini : iniLines_) {
        out << "I " << Hex(ini.first) << " " << (iniExists_.at(ini.first) ? 1 : 0) << "\n";
        for (const std::string& line : ini.second)
            out << "L " << Hex(ini.first) << " " << Hex(line) << "\n";
    }
    return static_cast<bool>(out);
}

bool MachineSnapshot::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, first, second;
        fields >> kind >> first >> second;
        std::string name, data;
        if (!Unhex(first, &name))
            return false;
        if (kind == "K") {
            keys_[name] = "";
        } else if (kind == "I") {
            iniExists_[name] = second == "1";
            iniLines_[name];
        } else if (!Unhex(second, &data)) {
            return false;
        } else if (kind == "V") {
            values_[name] = data;
        } else if (kind == "F") {
            files_[name] = data;
        } else if (kind == "L" && iniLines_.count(name) != 0) {
            iniLines_[name].push_back(data);
        } else {
            return false;
        }
    }
    return true;
}

std::string ExportWatchedKeys()
{
    std::string out = "REGEDIT4\n\n";
    for (size_t i = 0; i < kWatchedKeyCount; ++i) {
        std::string text = RegeditText(std::string(RootName(kWatchedKeys[i].root)) + "\\" + kWatchedKeys[i].key);
        if (text[0] != ';')
            out += text;
    }
    return out;
}
