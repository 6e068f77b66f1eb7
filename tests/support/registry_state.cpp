#include "support/registry_state.h"

#include <stdio.h>

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name)
{
    RegistryValue value;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(handle, name.c_str(), nullptr, &value.type,
                             reinterpret_cast<BYTE*>(&value.bytes[0]), &size) == ERROR_SUCCESS) {
            value.exists = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(handle);
    return value;
}

std::string SzBytes(const std::string& text)
{
    return text + std::string(1, '\0');
}

std::string Printable(const std::string& bytes)
{
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out + "\" (" + std::to_string(bytes.size()) + " bytes)";
}

::testing::AssertionResult IsRegSz(HKEY root, const std::string& key, const std::string& name,
                                   const std::string& text)
{
    RegistryValue value = ReadRegistryValue(root, key, name);
    if (!value.exists)
        return ::testing::AssertionFailure()
               << "value \"" << name << "\" of " << key << " is missing; expected REG_SZ "
               << Printable(SzBytes(text));
    if (value.type != REG_SZ || value.bytes != SzBytes(text))
        return ::testing::AssertionFailure()
               << "value \"" << name << "\" of " << key << ": expected REG_SZ "
               << Printable(SzBytes(text)) << ", found type " << value.type << " "
               << Printable(value.bytes);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsAbsentValue(HKEY root, const std::string& key,
                                         const std::string& name)
{
    RegistryValue value = ReadRegistryValue(root, key, name);
    if (value.exists)
        return ::testing::AssertionFailure() << "value \"" << name << "\" of " << key
                                             << " should be absent, holds type " << value.type
                                             << " " << Printable(value.bytes);
    return ::testing::AssertionSuccess();
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void DeleteKeyTree(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(handle, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        DeleteKeyTree(handle, name);
    }
    RegCloseKey(handle);
    RegDeleteKeyA(root, key.c_str());
}

static void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                     const std::string& bytes)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                              nullptr),
              ERROR_SUCCESS)
        << "cannot create " << key;
    RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
}

void SetRegSz(HKEY root, const std::string& key, const std::string& name, const std::string& text)
{
    SetValue(root, key, name, REG_SZ, SzBytes(text));
}

void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value)
{
    SetValue(root, key, name, REG_DWORD, std::string(reinterpret_cast<char*>(&value), 4));
}

std::vector<std::string> ValueNames(HKEY root, const std::string& key)
{
    std::vector<std::string> names;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(handle);
    return names;
}

RegistryKeyGuard::RegistryKeyGuard(HKEY root, std::string key)
    : root_(root), key_(std::move(key)), saved_(ReadRegistryTree(root_, key_))
{
}

RegistryKeyGuard::~RegistryKeyGuard()
{
    DeleteKeyTree(root_, key_);
    for (const RegistryKeyContents& key : saved_) {
        HKEY handle;
        if (RegCreateKeyExA(root_, key.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &handle, nullptr) != ERROR_SUCCESS)
            continue;
        for (const auto& value : key.values)
            RegSetValueExA(handle, value.first.c_str(), 0, value.second.type,
                           reinterpret_cast<const BYTE*>(value.second.bytes.data()),
                           static_cast<DWORD>(value.second.bytes.size()));
        RegCloseKey(handle);
    }
}
