// What the registration tests share: install.dll loaded as the script loads
// it, a setup INI file of the test's own, and guards that put back every key
// the registration writes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_exports.h"
#include "support/expected_rows.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

const char kVapiKey[] = "SOFTWARE\\Quorvane\\Sorbix\\VAPI";
const char kGeneralKey[] = "SOFTWARE\\Quorvane\\Sorbix\\General";
const char kImageKey[] = "SOFTWARE\\Quorvane\\Sorbix\\IMGCnv";
const char kGraphicsKey[] = "SOFTWARE\\Quorvane\\Sorbix\\GFXCnv";
const char kWordProcessingKey[] = "SOFTWARE\\Quorvane\\Sorbix\\WPCnv";
const char kExtensionClassKey[] = "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}";
const char kExtensionServerKey[] = "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}\\InProcServer32";
const char kHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}";

const char kCursorEntry[] = "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1,0,22";

class RegistrationTest : public ::testing::Test {
protected:
    // Every test starts with none of the keys the registration writes.
    void SetUp() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionClassKey);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kHandlerKey);
    }

    // Replaces the setup INI file with text.
    void WriteSetupIni(const std::string& text) { WriteFileBytes(iniFile_, text); }

    // SetVapiDLL as the script calls it; selected starts at a marker value.
    int SetVapi(const std::string& section, int index, int setupType = 0, int shellMode = 1,
                const std::string& moduleDirectory = "C:\\Sorbix")
    {
        selected_ = 77;
        return setVapi_(0x1111, setupType, section.c_str(), &selected_, 0x5555, index,
                        iniFile_.c_str(), shellMode, moduleDirectory.c_str());
    }

    // Registers one entry of a section through SetVapiDLL.
    int Register(const std::string& section, const std::string& entry, int shellMode = 1,
                 const std::string& moduleDirectory = "C:\\Sorbix")
    {
        WriteSetupIni("[" + section + "]\r\nInfo1=" + entry + "\r\n");
        return SetVapi(section, 1, 0, shellMode, moduleDirectory);
    }

    // Nothing under the product key at all.
    ::testing::AssertionResult NothingWritten()
    {
        if (KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"))
            return ::testing::AssertionFailure() << "SOFTWARE\\Quorvane was written";
        if (KeyExists(HKEY_CLASSES_ROOT, kExtensionClassKey))
            return ::testing::AssertionFailure() << "the extension's CLSID key was written";
        if (KeyExists(HKEY_CLASSES_ROOT, kHandlerKey))
            return ::testing::AssertionFailure() << "the context-menu handler key was written";
        return ::testing::AssertionSuccess();
    }

    RegistryKeyGuard productGuard_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard classGuard_{HKEY_CLASSES_ROOT, kExtensionClassKey};
    RegistryKeyGuard handlerGuard_{HKEY_CLASSES_ROOT, kHandlerKey};
    ScratchDirectory setupDirectory_{"setup"};
    std::string iniFile_ = setupDirectory_.File("setup.ini");
    LoadedDll install_{BinaryFile("install.dll")};
    SetVapiDLLProc setVapi_ = install_.Export<SetVapiDLLProc>(kOrdinalSetVapiDLL);
    IncludeSetProc includeSet_ = install_.Export<IncludeSetProc>(kOrdinalIncludeSet);
    SetOEMVapiProc setOemVapi_ = install_.Export<SetOEMVapiProc>(kOrdinalSetOEMVapi);
    int selected_ = 77;
};
