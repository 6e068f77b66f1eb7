// Registry hive files as a user profile holds them: made with RegSaveKey from
// a key of the test's own, and read back by mounting them for a moment.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/registry_state.h"

struct HiveText {
    std::string key;  // below the hive's root
    std::string name;
    std::string text;
};

// Writes a new hive file at path holding the given REG_SZ values.
void MakeHiveFile(const std::string& path, const std::vector<HiveText>& values);

// A hive file mounted under HKEY_LOCAL_MACHINE for reading; unmounted when
// destroyed.
class MountedHive {
public:
    explicit MountedHive(const std::string& path);
    ~MountedHive();
    MountedHive(const MountedHive&) = delete;
    MountedHive& operator=(const MountedHive&) = delete;

    bool Mounted() const { return mounted_; }
    RegistryValue Read(const std::string& key, const std::string& name) const;
    bool HasKey(const std::string& key) const;
    // The key of HKEY_LOCAL_MACHINE the hive is mounted as.
    const char* MountName() const;

private:
    bool mounted_;
};

// A file held open without sharing, as the system holds the hive of a user
// who is logged on: it cannot be moved while held.
class HeldOpenFile {
public:
    explicit HeldOpenFile(const std::string& path);
    ~HeldOpenFile();
    HeldOpenFile(const HeldOpenFile&) = delete;
    HeldOpenFile& operator=(const HeldOpenFile&) = delete;

private:
    HANDLE file_;
};
