// IntegAval, IntegInteg and IntegRemove: one operation of an integration
// module, loaded from the installation directory or else the support
// directory for the length of one call. A probe module records what it was
// called with under HKCU\Software\SorbixTests\Probe.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/install_exports.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kProbeKey[] = "Software\\SorbixTests\\Probe";

std::string Recorded(const char* name)
{
    RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, kProbeKey, name);
    return value.exists ? std::string(value.bytes.c_str()) : "<not recorded>";
}

UINT CurrentErrorMode()
{
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

class IntegrationLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorMode(0); }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("probe.dll"), nullptr) << "the module stayed loaded";
        SetErrorMode(savedErrorMode_);
    }

    void PlaceProbe(const ScratchDirectory& directory, const char* fixture = "probe_module.dll")
    {
        CopyFileTo(BinaryFile(fixture), directory.File("probe.dll"));
    }

    int Available(const std::string& installation, const std::string& support)
    {
        return aval_(0, "probe.dll", 0, installation.c_str(), support.c_str());
    }

    UINT savedErrorMode_ = CurrentErrorMode();
    RegistryKeyGuard probeRecord_{HKEY_CURRENT_USER, "Software\\SorbixTests"};
    ScratchDirectory installation_{"installation"};
    ScratchDirectory support_{"support"};
    LoadedDll install_{BinaryFile("install.dll")};
    IntegAvalProc aval_ = install_.Export<IntegAvalProc>(kOrdinalIntegAval);
    IntegIntegProc integ_ = install_.Export<IntegIntegProc>(kOrdinalIntegInteg);
    IntegRemoveProc remove_ = install_.Export<IntegRemoveProc>(kOrdinalIntegRemove);
};

TEST_F(IntegrationLoaderTest, ModuleOnlyInTheSupportDirectoryIsFound)
{
    PlaceProbe(support_);
    EXPECT_EQ(Available(installation_.Path(), support_.Path()), 1);
    EXPECT_EQ(Recorded("Operation"), "available");
    EXPECT_EQ(Recorded("LoadedFrom"), support_.File("probe.dll"));
}

TEST_F(IntegrationLoaderTest, ModuleInBothDirectoriesIsTakenFromTheInstallationDirectory)
{
    PlaceProbe(support_);
    PlaceProbe(installation_);
    EXPECT_EQ(Available(installation_.Path() + "\\", support_.Path() + "\\"), 1);
    EXPECT_EQ(Recorded("LoadedFrom"), installation_.File("probe.dll"));
}

TEST_F(IntegrationLoaderTest, MissingModuleIsAvailableNowhereAndSetsTheErrorModeBack)
{
    const UINT modes[] = {0, SEM_FAILCRITICALERRORS};
    for (UINT mode : modes) {
        SetErrorMode(mode);
        EXPECT_EQ(Available(installation_.Path(), support_.Path()), 0);
        EXPECT_EQ(CurrentErrorMode(), mode);
        EXPECT_EQ(integ_(0, "probe.dll", installation_.Path().c_str(), support_.Path().c_str()), 1);
        EXPECT_EQ(CurrentErrorMode(), mode);
        EXPECT_EQ(remove_(0, "probe.dll", installation_.Path().c_str(), support_.Path().c_str()), 1);
        EXPECT_EQ(CurrentErrorMode(), mode);
    }
    EXPECT_EQ(Recorded("Operation"), "<not recorded>");
}

TEST_F(IntegrationLoaderTest, OnlyBitZeroOfTheAvailableResultCounts)
{
    PlaceProbe(installation_);
    const struct {
        DWORD answered;
        int result;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {0xFFFFFFFE, 0}, {0xFFFFFFFF, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE("module answered " + std::to_string(c.answered));
        SetRegDword(HKEY_CURRENT_USER, kProbeKey, "AvailableResult", c.answered);
        EXPECT_EQ(Available(installation_.Path(), support_.Path()), c.result);
    }
}

TEST_F(IntegrationLoaderTest, ModuleWithoutTheAvailableOperationIsNotAvailable)
{
    PlaceProbe(installation_, "probe_no_available.dll");
    EXPECT_EQ(Available(installation_.Path(), support_.Path()), 0);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
}

TEST_F(IntegrationLoaderTest, ErrorModeStaysSetOnceAModuleWasLoaded)
{
    PlaceProbe(installation_);
    EXPECT_EQ(Available(installation_.Path(), support_.Path()), 1);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
    SetErrorMode(0);
    EXPECT_EQ(integ_(0, "probe.dll", installation_.Path().c_str(), support_.Path().c_str()), 1);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
}

TEST_F(IntegrationLoaderTest, InstallAndDeinstallGetTheDirectoryAsGivenAndTheDependIniPath)
{
    PlaceProbe(support_);
    const struct {
        IntegIntegProc operation;  // IntegInteg or IntegRemove
        const char* recorded;
        std::string installation;
        std::string support;
    } cases[] = {
        {integ_, "install", installation_.Path(), support_.Path()},
        {integ_, "install", installation_.Path() + "\\",
         support_.Path() + "\\"},
        {remove_, "deinstall", installation_.Path(), support_.Path() + "\\"},
        {remove_, "deinstall", installation_.Path() + "\\", support_.Path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.recorded) + " " + c.installation + " " + c.support);
        DeleteKeyTree(HKEY_CURRENT_USER, kProbeKey);
        EXPECT_EQ(c.operation(0, "probe.dll", c.installation.c_str(), c.support.c_str()), 1);
        EXPECT_EQ(Recorded("Operation"), c.recorded);
        EXPECT_EQ(Recorded("InstallationDirectory"), c.installation);
        EXPECT_EQ(Recorded("DependIniPath"), support_.File("depend.ini"));
    }
}

TEST_F(IntegrationLoaderTest, ModuleWithoutInstallAndDeinstallIsPassedOver)
{
    PlaceProbe(installation_, "probe_available_only.dll");
    EXPECT_EQ(integ_(0, "probe.dll", installation_.Path().c_str(), support_.Path().c_str()), 1);
    EXPECT_EQ(remove_(0, "probe.dll", installation_.Path().c_str(), support_.Path().c_str()), 1);
    EXPECT_EQ(Recorded("Operation"), "<not recorded>");
}

TEST_F(IntegrationLoaderTest, PathsAtTheEdgeOfTheirBuffers)
{
    // support directory + "\" + "probe.dll" must fit 100 bytes: 99 characters.
    const struct {
        size_t supportLength;
        int available;
    } cases[] = {{99 - 10, 1}, {100 - 10, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("support directory of " + std::to_string(c.supportLength) + " characters");
        ScratchDirectory deep("sup");
        std::string support = deep.MakeDirectoryOfLength(c.supportLength);
        CopyFileTo(BinaryFile("probe_module.dll"), support + "\\probe.dll");
        EXPECT_EQ(Available(installation_.Path(), support), c.available);
    }
}

TEST_F(IntegrationLoaderTest, InstallationPathAtTheEdgeOfItsBuffer)
{
    // installation directory + "\" + "probe.dll" must fit 256 bytes.
    const struct {
        size_t length;
        int available;
    } cases[] = {{255 - 10, 1}, {256 - 10, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("installation directory of " + std::to_string(c.length) + " characters");
        ScratchDirectory deep("ins");
        std::string installation = deep.MakeDirectoryOfLength(c.length);
        CopyFileTo(BinaryFile("probe_module.dll"), installation + "\\probe.dll");
        EXPECT_EQ(Available(installation, support_.Path()), c.available);
    }
}

TEST_F(IntegrationLoaderTest, DependIniPathTooLongForItsBufferIsNeverPassedCut)
{
    PlaceProbe(installation_);
    // support + "\" + "depend.ini" is 256 characters: one more than the buffer holds.
    std::string support = "C:\\" + std::string(256 - 11 - 3, 's');
    EXPECT_EQ(integ_(0, "probe.dll", installation_.Path().c_str(), support.c_str()), 1);
    EXPECT_EQ(Recorded("Operation"), "<not recorded>");

    std::string fits = "C:\\" + std::string(255 - 11 - 3, 's');
    EXPECT_EQ(integ_(0, "probe.dll", installation_.Path().c_str(), fits.c_str()), 1);
    EXPECT_EQ(Recorded("DependIniPath"), fits + "\\depend.ini");
}

}  // namespace
