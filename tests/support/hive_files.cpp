#include "support/hive_files.h"

#include <gtest/gtest.h>

#include "support/token_privileges.h"

namespace {

const char kSourceKey[] = "SOFTWARE\\SorbixTests\\HiveSource";
const char kMountName[] = "sorbixtestshive";

}  // namespace

void MakeHiveFile(const std::string& path, const std::vector<HiveText>& values)
{
    PrivilegeStateGuard privileges;
    EnablePrivileges({"SeBackupPrivilege", "SeRestorePrivilege"});
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kSourceKey);
    for (const auto& value : values)
        SetRegSz(HKEY_LOCAL_MACHINE, std::string(kSourceKey) + "\\" + value.key, value.name,
                 value.text);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    LONG saved = RegSaveKeyA(key, path.c_str(), nullptr);
    RegCloseKey(key);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\SorbixTests\\HiveSource");
    ASSERT_EQ(saved, ERROR_SUCCESS) << "cannot save a hive to " << path;
}

MountedHive::MountedHive(const std::string& path)
{
    PrivilegeStateGuard privileges;
    EnablePrivileges({"SeBackupPrivilege", "SeRestorePrivilege"});
    mounted_ = RegLoadKeyA(HKEY_LOCAL_MACHINE, kMountName, path.c_str()) == ERROR_SUCCESS;
    EXPECT_TRUE(mounted_) << "cannot mount the hive " << path;
}

MountedHive::~MountedHive()
{
    if (!mounted_)
        return;
    PrivilegeStateGuard privileges;
    EnablePrivileges({"SeBackupPrivilege", "SeRestorePrivilege"});
    RegUnLoadKeyA(HKEY_LOCAL_MACHINE, kMountName);
}

RegistryValue MountedHive::Read(const std::string& key, const std::string& name) const
{
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, std::string(kMountName) + "\\" + key, name);
}

bool MountedHive::HasKey(const std::string& key) const
{
    return KeyExists(HKEY_LOCAL_MACHINE, std::string(kMountName) + "\\" + key);
}

const char* MountedHive::MountName() const
{
    return kMountName;
}

HeldOpenFile::HeldOpenFile(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr))
{
    EXPECT_NE(file_, INVALID_HANDLE_VALUE) << "cannot hold " << path << " open";
}

HeldOpenFile::~HeldOpenFile()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}
