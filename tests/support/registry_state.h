// Reading back what the system left in the registry, exactly, and putting a
// key tree back as it was before a test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "regedit_export.h"

#include <string>
#include <vector>

struct RegistryValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string bytes;  // the data exactly as stored, byte count included
};

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);

// The stored bytes of a REG_SZ text: the text and its terminating zero.
std::string SzBytes(const std::string& text);

// The value is REG_SZ holding exactly text and its terminating zero.
::testing::AssertionResult IsRegSz(HKEY root, const std::string& key, const std::string& name,
                                   const std::string& text);
::testing::AssertionResult IsAbsentValue(HKEY root, const std::string& key,
                                         const std::string& name);

bool KeyExists(HKEY root, const std::string& key);
void DeleteKeyTree(HKEY root, const std::string& key);
void SetRegSz(HKEY root, const std::string& key, const std::string& name, const std::string& text);
void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);

// Value names of the key in the order the registry enumerates them.
std::vector<std::string> ValueNames(HKEY root, const std::string& key);

// Printable form of stored bytes for failure messages.
std::string Printable(const std::string& bytes);

// Takes a copy of a key tree (or notes that it is missing) and puts exactly
// that back when destroyed: every test leaves the registry as it found it.
class RegistryKeyGuard {
public:
    RegistryKeyGuard(HKEY root, std::string key);
    ~RegistryKeyGuard();
    RegistryKeyGuard(const RegistryKeyGuard&) = delete;
    RegistryKeyGuard& operator=(const RegistryKeyGuard&) = delete;

private:
    HKEY root_;
    std::string key_;
    std::vector<RegistryKeyContents> saved_;  // each key before its subkeys; empty: missing
};
