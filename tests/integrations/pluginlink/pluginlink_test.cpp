// pluginlink: the plug-in loader's configuration copied from
// "PLUGINLINK.INI" into the product key, run through install's LoadPlug as
// the script runs it, and called directly for the product key paths
// LoadPlug never passes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_exports.h"
#include "integrations/module_contract.h"
#include "support/loaded_dll.h"
#include "support/registry_calls.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kProduct[] = "SOFTWARE\\Quorvane\\Sorbix";

std::string ProductKey(const std::string& section)
{
    return std::string(kProduct) + "\\" + section;
}

class PluginLinkTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"); }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("pluginlink.dll"), nullptr) << "the module stayed loaded";
    }

    void WriteIni(const std::string& text) { WriteFileBytes(support_.File("PLUGINLINK.INI"), text); }

    void PlaceModule(const ScratchDirectory& directory)
    {
        CopyFileTo(BinaryFile("pluginlink.dll"), directory.File("pluginlink.dll"));
    }

    int Plug() { return loadPlug_(0, "pluginlink.dll", viewer_.Path().c_str(), support_.Path().c_str()); }

    RegistryKeyGuard product_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    ScratchDirectory viewer_{"viewer"};
    ScratchDirectory support_{"support"};
    LoadedDll install_{BinaryFile("install.dll")};
    LoadPlugProc loadPlug_ = install_.Export<LoadPlugProc>(kOrdinalLoadPlug);
};

const char kTwoSections[] =
    "[Sorbix Sections]\r\n"
    "Netscape=1\r\n"
    "Explorer=\r\n"
    "[Netscape]\r\n"
    "Plugin=npsorbix.dll\r\n"
    "Both=from Netscape\r\n"
    "Empty=\r\n"
    "[Netscape.32]\r\n"
    "Both=from Netscape.32\r\n"
    "Path=C:\\Program Files\\Netscape\\Plugins\r\n"
    "[Explorer]\r\n"
    "Control=sxctl.ocx\r\n"
    "[Explorer.32]\r\n"
    "Control=sxctl32.ocx\r\n";

TEST_F(PluginLinkTest, ListedSectionsAndTheirCompanionsBecomeValuesOfTheirKeys)
{
    PlaceModule(viewer_);
    WriteIni(kTwoSections);
    SetRegSz(HKEY_LOCAL_MACHINE, ProductKey("Netscape"), "Empty", "kept");
    EXPECT_EQ(Plug(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Netscape"), "Plugin", "npsorbix.dll"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Netscape"), "Both", "from Netscape.32"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Netscape"), "Path",
                        "C:\\Program Files\\Netscape\\Plugins"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Netscape"), "Empty", "kept"))
        << "an empty entry is not written";
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Explorer"), "Control", "sxctl32.ocx"));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, ProductKey("Netscape")).size(), 4u);
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, ProductKey("Explorer")).size(), 1u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey("Netscape.32")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey("Sorbix Sections")));
}

TEST_F(PluginLinkTest, MissingListedSectionStillHasItsCompanionCopied)
{
    PlaceModule(viewer_);
    WriteIni("[Sorbix Sections]\r\nGone=\r\nViewer=\r\n"
             "[Gone.32]\r\nOnly=thirty-two\r\n"
             "[Viewer]\r\nZoom=100\r\n");
    EXPECT_EQ(Plug(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Gone"), "Only", "thirty-two"));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, ProductKey("Gone")).size(), 1u);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Zoom", "100"));
}

TEST_F(PluginLinkTest, LoadPlugFindsTheModuleInEitherDirectory)
{
    WriteIni("[Sorbix Sections]\r\nViewer=\r\n[Viewer]\r\nZoom=100\r\n");
    const struct {
        const char* where;
        bool inViewer;
        bool inSupport;
        bool copied;
    } cases[] = {{"first directory", true, false, true},
                 {"second directory", false, true, true},
                 {"neither", false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        DeleteFileA(viewer_.File("pluginlink.dll").c_str());
        DeleteFileA(support_.File("pluginlink.dll").c_str());
        if (c.inViewer)
            PlaceModule(viewer_);
        if (c.inSupport)
            PlaceModule(support_);
        EXPECT_EQ(Plug(), 1);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Zoom").exists,
                  c.copied);
    }
}

// ---- The module's own operations --------------------------------------------

class PluginLinkModuleTest : public PluginLinkTest {
protected:
    int Install(const std::string& productKeyPath, const std::string& iniDirectory)
    {
        return module_.Export<PluginInstallProc>(kOrdinalInstall)(
            "C:\\unused", productKeyPath.c_str(), iniDirectory.c_str());
    }

    void TearDown() override {}  // the module is loaded by the test itself

    RegistryKeyGuard other_{HKEY_LOCAL_MACHINE, "SOFTWARE\\PluginLinkTests"};
    LoadedDll module_{BinaryFile("pluginlink.dll")};
};

TEST_F(PluginLinkModuleTest, ProductKeyPathBelowSoftware)
{
    WriteIni("[Sorbix Sections]\r\nViewer=\r\n[Viewer]\r\nZoom=100\r\n");
    const struct {
        const char* path;
        const char* key;
    } cases[] = {
        {"SOFTWARE\\Quorvane\\Sorbix", "SOFTWARE\\Quorvane\\Sorbix\\Viewer"},
        {"software\\Quorvane\\Sorbix", "SOFTWARE\\Quorvane\\Sorbix\\Viewer"},
        {"Quorvane\\Sorbix", "SOFTWARE\\Quorvane\\Sorbix\\Viewer"},
        {"PluginLinkTests\\Deep\\Product", "SOFTWARE\\PluginLinkTests\\Deep\\Product\\Viewer"},
        {"SOFTWARE\\SOFTWARE\\PluginLinkTests", "SOFTWARE\\SOFTWARE\\PluginLinkTests\\Viewer"},
    };
    RegistryKeyGuard doubled(HKEY_LOCAL_MACHINE, "SOFTWARE\\SOFTWARE");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, c.key);
        EXPECT_EQ(Install(c.path, support_.Path()), 1);
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, c.key, "Zoom", "100"));
    }
}

TEST_F(PluginLinkModuleTest, ResultsOfInstallAvailableAndDeinstall)
{
    EXPECT_EQ(module_.Export<ModuleAvailableProc>(kOrdinalAvailable)(), 1);

    const struct {
        const char* what;
        const char* ini;  // null: no file
        const char* productKeyPath;
        int result;
    } cases[] = {
        {"empty product key path", "[Sorbix Sections]\r\nViewer=\r\n", "", 0},
        {"no PLUGINLINK.INI", nullptr, kProduct, 0},
        {"no section list", "[Viewer]\r\nZoom=100\r\n", kProduct, 0},
        {"empty section list", "[Sorbix Sections]\r\n[Viewer]\r\nZoom=100\r\n", kProduct, 0},
        {"listed section missing", "[Sorbix Sections]\r\nViewer=\r\n", kProduct, 1},
        {"section copied", "[Sorbix Sections]\r\nViewer=\r\n[Viewer]\r\nZoom=100\r\n", kProduct, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(support_.File("PLUGINLINK.INI").c_str());
        if (c.ini != nullptr)
            WriteIni(c.ini);
        EXPECT_EQ(Install(c.productKeyPath, support_.Path() + "\\"), c.result);
    }

    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Zoom", "100"));
    EXPECT_EQ(module_.Export<PluginDeinstallProc>(kOrdinalDeinstall)(0, 0), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Zoom", "100"))
        << "deinstall removes nothing";
}

TEST_F(PluginLinkModuleTest, IniPathAtTheEdgeOfItsBuffer)
{
    // directory + "\" + "PLUGINLINK.INI" must fit 260 bytes: 259 characters.
    const struct {
        size_t length;
        int result;
    } cases[] = {{259 - 15, 1}, {260 - 15, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("directory of " + std::to_string(c.length) + " characters");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        ScratchDirectory deep("ini");
        std::string directory = deep.MakeDirectoryOfLength(c.length);
        WriteFileBytes(directory + "\\PLUGINLINK.INI",
                       "[Sorbix Sections]\r\nViewer=\r\n[Viewer]\r\nZoom=100\r\n");
        EXPECT_EQ(Install(kProduct, directory), c.result);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Zoom").exists,
                  c.result == 1);
    }
}

// Lists and values that do not fit their 256-byte buffers: the whole names
// are read; a name or value that may have been cut is never written.
TEST_F(PluginLinkModuleTest, ListsAndValuesLongerThanTheirBuffers)
{
    std::string ini = "[Sorbix Sections]\r\n";
    std::vector<std::string> sections;
    for (int i = 0; i < 40; ++i) {  // 40 names of 9 characters: 400 bytes
        char name[16];
        snprintf(name, sizeof name, "Section%02d", i);
        sections.push_back(name);
        ini += std::string(name) + "=\r\n";
    }
    for (const std::string& s : sections)
        ini += "[" + s + "]\r\nKey=" + s + "\r\n";

    std::string longSection = "[Section00.32]\r\n";
    for (int i = 0; i < 30; ++i)  // 30 keys of 11 characters: 360 bytes
        longSection += "Key" + std::string(6, 'k') + std::to_string(10 + i) + "=v\r\n";
    ini += longSection;
    WriteIni(ini);

    EXPECT_EQ(Install(kProduct, support_.Path()), 1);
    // 25 whole names fill 250 bytes; the 26th would need 260.
    for (size_t i = 0; i < sections.size(); ++i) {
        SCOPED_TRACE(sections[i]);
        EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, ProductKey(sections[i])), i < 25);
    }
    std::vector<std::string> names = ValueNames(HKEY_LOCAL_MACHINE, ProductKey("Section00"));
    // "Key" of Section00, then the whole key names of Section00.32 that fit:
    // 21 of 12 bytes fill 252 of the 256.
    EXPECT_EQ(names.size(), 1u + 21u);
    for (const std::string& name : names)
        EXPECT_TRUE(name == "Key" || name.size() == 11) << "a cut key name: " << name;
}

TEST_F(PluginLinkModuleTest, ValueThatDoesNotFitItsBufferIsNotWritten)
{
    // The value's buffer holds 256 bytes: 255 characters and the zero fit
    // whole; 256 characters do not.
    WriteIni("[Sorbix Sections]\r\nViewer=\r\n[Viewer]\r\nShort=" + std::string(254, 'f') +
             "\r\nFits=" + std::string(255, 'w') + "\r\nCut=" + std::string(256, 'c') +
             "\r\nLong=" + std::string(400, 'l') + "\r\n");
    EXPECT_EQ(Install(kProduct, support_.Path()), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Short", std::string(254, 'f')));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Fits", std::string(255, 'w')));
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Cut"));
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, ProductKey("Viewer"), "Long"));
}

// The order of the writes: A, A.32, B, B.32, each key in file order.
TEST_F(PluginLinkModuleTest, SectionsAreCopiedInListOrderEachFollowedByItsCompanion)
{
    WriteIni(kTwoSections);
    RegistryCallLog log(module_.Handle());
    EXPECT_EQ(Install(kProduct, support_.Path()), 1);
    std::vector<std::string> writes;
    for (const RegistryCall& call : log.Sets())
        writes.push_back(call.name + "=" + call.bytes.c_str());
    EXPECT_EQ(writes, (std::vector<std::string>{
                          "Plugin=npsorbix.dll", "Both=from Netscape", "Both=from Netscape.32",
                          "Path=C:\\Program Files\\Netscape\\Plugins", "Control=sxctl.ocx",
                          "Control=sxctl32.ocx"}));
}

}  // namespace
