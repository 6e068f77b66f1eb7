#include "regedit_export.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

struct RootName {
    const char* longName;
    const char* shortName;
    HKEY root;
};

const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKU", HKEY_USERS},
};

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string HexBytes(const std::string& bytes)
{
    std::string out;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(pair, sizeof pair, i == 0 ? "%02x" : ",%02x", static_cast<unsigned char>(bytes[i]));
        out += pair;
    }
    return out;
}

// A text REGEDIT4 can hold between quotes: no control byte (a line feed or
// carriage return would end the line, the others do not survive an import).
bool IsPlainText(const std::string& text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

}  // namespace

std::string RegeditValueData(DWORD type, const std::string& bytes)
{
    if (type == REG_SZ && !bytes.empty() && bytes.back() == '\0' &&
        IsPlainText(bytes.substr(0, bytes.size() - 1)))
        return Quoted(bytes.substr(0, bytes.size() - 1));
    if (type == REG_DWORD && bytes.size() == 4) {
        DWORD value;
        memcpy(&value, bytes.data(), 4);
        char text[20];
        snprintf(text, sizeof text, "dword:%08lx", static_cast<unsigned long>(value));
        return text;
    }
    if (type == REG_BINARY)
        return "hex:" + HexBytes(bytes);
    char prefix[24];
    snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(type));
    return prefix + HexBytes(bytes);
}

namespace {

void ReadTree(HKEY root, const std::string& subKey, const std::string& shownPath,
              std::vector<RegistryKeyContents>& tree)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    RegistryKeyContents contents;
    contents.path = shownPath;
    std::vector<char> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        RegistryValueData value;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &value.type, data.data(),
                          &dataLength) != ERROR_SUCCESS)
            break;
        value.bytes.assign(reinterpret_cast<char*>(data.data()), dataLength);
        contents.values.emplace_back(std::string(name.data(), nameLength), value);
    }
    tree.push_back(contents);
    std::vector<std::string> subkeys;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(key);
    for (const std::string& child : subkeys)
        ReadTree(root, subKey.empty() ? child : subKey + "\\" + child, shownPath + "\\" + child, tree);
}

}  // namespace

std::string RegeditValueLine(const std::string& name, DWORD type, const std::string& bytes)
{
    return (name.empty() ? std::string("@") : Quoted(name)) + "=" + RegeditValueData(type, bytes);
}

bool SplitRegistryPath(const std::string& fullPath, HKEY* root, std::string* subKey)
{
    size_t separator = fullPath.find('\\');
    std::string rootName = fullPath.substr(0, separator);
    for (const RootName& candidate : kRoots) {
        if (_stricmp(rootName.c_str(), candidate.longName) == 0 ||
            _stricmp(rootName.c_str(), candidate.shortName) == 0) {
            *root = candidate.root;
            *subKey = separator == std::string::npos ? "" : fullPath.substr(separator + 1);
            return true;
        }
    }
    return false;
}

std::vector<RegistryKeyContents> ReadRegistryTree(const std::string& fullPath)
{
    std::vector<RegistryKeyContents> tree;
    HKEY root;
    std::string subKey;
    if (SplitRegistryPath(fullPath, &root, &subKey))
        ReadTree(root, subKey, fullPath, tree);
    return tree;
}

std::vector<RegistryKeyContents> ReadRegistryTree(HKEY root, const std::string& subKey)
{
    std::vector<RegistryKeyContents> tree;
    ReadTree(root, subKey, subKey, tree);
    return tree;
}

std::string RegeditText(const std::string& fullPath)
{
    HKEY root;
    std::string subKey;
    if (!SplitRegistryPath(fullPath, &root, &subKey))
        return "; " + fullPath + ": unknown registry root\n";
    std::vector<RegistryKeyContents> tree = ReadRegistryTree(fullPath);
    if (tree.empty())
        return "; [" + fullPath + "] is absent\n";
    std::string out;
    for (const RegistryKeyContents& key : tree) {
        out += "[" + key.path + "]\n";
        for (const auto& value : key.values)
            out += RegeditValueLine(value.first, value.second.type, value.second.bytes) + "\n";
        out += "\n";
    }
    return out;
}
