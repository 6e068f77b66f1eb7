#include "machine_snapshot.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "hive_files.h"
#include "registry_state.h"
#include "scratch_files.h"

namespace {

const char kMissing[] = "\x01(missing)";

std::string DataText(DWORD type, const std::string& bytes)
{
    std::string text = type == REG_SZ ? "sz:" : type == REG_DWORD ? "dword:" : "type" + std::to_string(type) + ":";
    return text + Printable(bytes);
}

void ReadTree(HKEY root, const std::string& key, const std::string& shown,
              std::map<std::string, std::string>* keys, std::map<std::string, std::string>* values)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    (*keys)[shown] = "";
    std::vector<char> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(handle, index, name.data(), &nameLength, nullptr, &type, data.data(),
                          &dataLength) != ERROR_SUCCESS)
            break;
        (*values)[shown + " : " + std::string(name.data(), nameLength)] =
            DataText(type, std::string(reinterpret_cast<char*>(data.data()), dataLength));
    }
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(handle, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(handle);
    for (const std::string& child : children)
        ReadTree(root, key + "\\" + child, shown + "\\" + child, keys, values);
}

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

}  // namespace

void MachineSnapshot::AddKeyTree(HKEY root, const std::string& key, const std::string& shown)
{
    ReadTree(root, key, shown, &keys_, &values_);
}

void MachineSnapshot::AddFile(const std::string& path)
{
    std::string bytes;
    files_[path] = ReadWholeFile(path, &bytes) ? bytes : kMissing;
}

void MachineSnapshot::AddIniFile(const std::string& path)
{
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

void MachineSnapshot::AddDirectoryTree(const std::string& directory,
                                       const std::vector<std::string>& skippedSuffixes)
{
    for (const DirectoryEntry& entry : EntriesBelow(directory)) {
        if (entry.directory) {
            files_[entry.path + "\\"] = "(directory)";
            continue;
        }
        bool skipped = false;
        for (const std::string& suffix : skippedSuffixes)
            skipped = skipped ||
                      (entry.path.size() >= suffix.size() &&
                       _stricmp(entry.path.c_str() + entry.path.size() - suffix.size(), suffix.c_str()) == 0);
        if (skipped)
            files_[entry.path] = "(listed only)";
        else
            AddFile(entry.path);
    }
}

void MachineSnapshot::AddHiveFile(const std::string& path, const std::string& shown)
{
    MountedHive hive(path);
    if (hive.Mounted())
        ReadTree(HKEY_LOCAL_MACHINE, hive.MountName(), shown, &keys_, &values_);
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
