#include "whole_setup.h"

#include <gtest/gtest.h>

#include "scratch_files.h"
#include "test_paths.h"
#include "token_privileges.h"

const char kSetupDirectory[] = "C:\\SorbixSetup";
const char kViewerDirectory[] = "C:\\Program Files\\Sorbix";

const WatchedKey kWatchedKeys[14] = {
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

void ClearSetupKeys()
{
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    DeleteKeyTree(HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane");
    DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}");
    DeleteKeyTree(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE");
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\SorbixTests");
}

void UnmountTemporaryHive()
{
    if (!KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey"))
        return;
    PrivilegeStateGuard privileges;
    EnablePrivileges({"SeBackupPrivilege", "SeRestorePrivilege"});
    RegUnLoadKeyA(HKEY_LOCAL_MACHINE, "sxtmpkey");
    if (KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey"))
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "sxtmpkey");
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey")) << "HKLM\\sxtmpkey stays mounted";
}

FixedDirectory::FixedDirectory(std::string path) : path_(std::move(path))
{
    free_ = GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(free_) << path_ << " is there already; the test will not touch it";
    if (free_)
        CreateDirectoryA(path_.c_str(), nullptr);
}

FixedDirectory::~FixedDirectory()
{
    if (free_)
        DeleteDirectoryTree(path_);
}

void MakeSetupFiles(const FixedDirectory& setup, const FixedDirectory& viewer)
{
    for (const char* module : {"install.dll", "sxinsres.dll", "eudoralink.dll", "browserlink.dll",
                               "netmaillink.dll", "msmaillink.dll", "filemgrlink.dll", "pluginlink.dll"})
        CopyFileTo(BinaryFile(module), setup.File(module));
    for (const char* file : {"setup.ini", "install.ini", "version.ini", "PLUGINLINK.INI", "depend.ini"})
        CopyFileTo(BinaryFile(std::string("roundtrip\\") + file), setup.File(file));
    CopyFileTo(BinaryFile("launch_manager.dll"), viewer.File("txlm.dll"));
    WriteFileBytes(viewer.File("SORBIXEU.DLL"), "the viewer's Eudora plug-in\r\n");
}

std::string RunSetupScript(const std::string& script, const std::string& outputPath)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output =
        CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string command = "\"" + BinaryFile("setuphost.exe") + "\" --dir \"" + kSetupDirectory + "\" \"" +
                          BinaryFile("roundtrip\\" + script) + "\"";
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start the host, error " << GetLastError();
        CloseHandle(output);
        return "";
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0) << script << " did not end";
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(output);
    std::string text = ReadFileBytes(outputPath);
    EXPECT_EQ(exitCode, 0u) << script << ":\n" << text;
    return text;
}
