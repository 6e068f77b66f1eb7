// browserlink: discovery of Mosaic-family browser INI files over the real
// places (Windows directory, PATH, current directory, NETKIT directory,
// drive letters of Wine's mount manager) and the install and deinstall of
// the viewer's MIME types in those files, driven through install's
// IntegAval, IntegInteg and IntegRemove as the script drives them. Which
// file discovery chose shows in which file install edits. The module's own
// install result (IntegInteg always answers 1) is read by calling it
// directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "import_patch.h"
#include "loaded_dll.h"
#include "process_environment.h"
#include "scratch_files.h"
#include "test_paths.h"
#include "wine_drive.h"

namespace {

typedef int(WINAPI* IntegAvalExport)(DWORD, const char*, DWORD, const char*, const char*);
typedef int(WINAPI* IntegFileExport)(DWORD, const char*, const char*, const char*);
typedef int(WINAPI* FileOperation)(const char*, const char*);

const char kMissing[] = "<missing>";
const char kCommand[] = "C:\\SORBIX\\sorbix.exe %s";
const char kEmptyBrowser[] = "[Viewers]\r\n";

const char kDependIni[] =
    "[MIME Types]\r\n"
    "TYPE0=application/x-sorbix\r\n"
    "TYPE1=application/msword\r\n"
    "TYPE2=image/gif\r\n"
    "[MIME Suffixes]\r\n"
    "application/x-sorbix=.sbx\r\n"
    "application/msword=.doc,.dot\r\n"
    "image/gif=.gif\r\n"
    "[Encodings]\r\n"
    "application/x-sorbix=binary\r\n"
    "application/msword=binary\r\n"
    "[MIME Descriptions]\r\n"
    "application/x-sorbix=Sorbix document\r\n"
    "application/msword=Word document\r\n"
    "image/gif=GIF picture\r\n";

std::string Entry(const std::string& file, const char* section, const char* key)
{
    char value[1024];
    GetPrivateProfileStringA(section, key, kMissing, value, sizeof value, file.c_str());
    return value;
}

// The "key=value" lines of a section in file order; empty when missing.
std::vector<std::string> Section(const std::string& file, const char* section)
{
    std::vector<char> buffer(32768);
    DWORD length = GetPrivateProfileSectionA(section, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> lines;
    for (DWORD at = 0; at < length;) {
        std::string line = buffer.data() + at;
        at += static_cast<DWORD>(line.size()) + 1;
        lines.push_back(line);
    }
    return lines;
}

typedef std::vector<std::string> Lines;

[[maybe_unused]] Lines Unused() { return Section("", ""); }

void MakeDirectories(const std::string& path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

std::string MadeDirectory(const std::string& path)
{
    MakeDirectories(path);
    return path;
}

// Writes a browser file, making its directory.
void PlaceFile(const std::string& path, const std::string& bytes = kEmptyBrowser)
{
    MakeDirectories(path.substr(0, path.rfind('\\')));
    WriteFileBytes(path, bytes);
}

// Install registered its first type in file.
bool Served(const std::string& file)
{
    return Entry(file, "Viewers", "application/x-sorbix") == kCommand;
}

class BrowserLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("browserlink.dll"), support_.File("browserlink.dll"));
        WriteFileBytes(dependIni_, kDependIni);
        DeleteFileA(windowsEmosaic_.c_str());
        DeleteFileA(windowsMosaic_.c_str());
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("browserlink.dll"), nullptr) << "the module stayed loaded";
    }

    int Aval() { return aval_(0, "browserlink.dll", 0, "C:\\SORBIX", support_.Path().c_str()); }
    int Integ(const char* installation = "C:\\SORBIX")
    {
        return integ_(0, "browserlink.dll", installation, support_.Path().c_str());
    }
    int Remove() { return remove_(0, "browserlink.dll", "C:\\SORBIX", support_.Path().c_str()); }

    // The module's own install result: 0 done, 3 failed.
    int ModuleInstall(const char* directory = "C:\\SORBIX")
    {
        LoadedDll module(support_.File("browserlink.dll"));
        return module.Export<FileOperation>(3)(directory, dependIni_.c_str());
    }

    ScratchDirectory support_{"support"};
    ScratchDirectory places_{"places"};
    std::string dependIni_ = support_.File("depend.ini");
    std::string windowsEmosaic_ = WindowsDirectory() + "\\emosaic.ini";
    std::string windowsMosaic_ = WindowsDirectory() + "\\mosaic.ini";
    FileGuard emosaicGuard_{windowsEmosaic_};
    FileGuard mosaicGuard_{windowsMosaic_};
    ScopedVariable path_{"PATH", nullptr};
    ScopedVariable netkit_{"NETKIT", nullptr};
    std::string currentDirectory_ = MadeDirectory(places_.Path() + "\\current");
    ScopedCurrentDirectory cwd_{currentDirectory_};
    LoadedDll install_{BinaryFile("install.dll")};
    IntegAvalExport aval_ = install_.Export<IntegAvalExport>(5);
    IntegFileExport integ_ = install_.Export<IntegFileExport>(6);
    IntegFileExport remove_ = install_.Export<IntegFileExport>(9);
};

// ---------------------------------------------------------------- discovery

TEST_F(BrowserLinkTest, NoBrowserAnywhere)
{
    EXPECT_EQ(Aval(), 0);
    EXPECT_EQ(ModuleInstall(), 0) << "nothing to do is not a failure";
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(Remove(), 1);
    EXPECT_FALSE(FileExists(windowsEmosaic_));
    EXPECT_FALSE(FileExists(windowsMosaic_));
    EXPECT_FALSE(FileExists(currentDirectory_ + "\\mosaic.ini"));
}

TEST_F(BrowserLinkTest, FirstGroupTakesTheFirstPlaceThatHoldsTheFile)
{
    WineDrive drive('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    const std::string onPath = MadeDirectory(places_.Path() + "\\bin");
    const std::string kit = MadeDirectory(places_.Path() + "\\net");
    path_.Set(onPath.c_str());
    netkit_.Set((kit + "\\NETKIT.INI").c_str());

    const std::string places[] = {
        windowsEmosaic_,
        onPath + "\\emosaic.ini",
        currentDirectory_ + "\\emosaic.ini",
        kit + "\\mosaic\\emosaic.ini",
        "D:\\win32app\\spyglass\\emosaic.ini",
    };
    // Case i: the file lies in places i and later; place i is edited.
    for (size_t first = 0; first < 5; ++first) {
        SCOPED_TRACE(places[first]);
        for (size_t i = 0; i < 5; ++i) {
            DeleteFileA(places[i].c_str());
            if (i >= first)
                PlaceFile(places[i]);
        }
        EXPECT_EQ(Aval(), 1);
        EXPECT_EQ(Integ(), 1);
        for (size_t i = first; i < 5; ++i)
            EXPECT_EQ(Served(places[i]), i == first) << places[i];
        EXPECT_FALSE(FileExists(windowsEmosaic_) && first > 0) << "a file was made in Windows";
    }
    for (const std::string& place : places)
        DeleteFileA(place.c_str());
}

TEST_F(BrowserLinkTest, OnlyFixedDrivesAreProbedInLetterOrder)
{
    struct DriveCase {
        char letter;
        UINT type;
    };
    const DriveCase drives[] = {{'A', DRIVE_REMOVABLE}, {'D', DRIVE_FIXED},   {'E', DRIVE_FIXED},
                                {'F', DRIVE_CDROM},     {'G', DRIVE_REMOTE},  {'H', DRIVE_RAMDISK}};
    std::vector<std::unique_ptr<WineDrive>> defined;
    for (const DriveCase& d : drives) {
        std::string directory = MadeDirectory(places_.Path() + "\\drive-" + d.letter);
        defined.emplace_back(new WineDrive(d.letter, directory, d.type));
        PlaceFile(std::string(1, d.letter) + ":\\mosaic\\mosaic.ini");
    }

    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served("D:\\mosaic\\mosaic.ini"));
    EXPECT_FALSE(Served("E:\\mosaic\\mosaic.ini")) << "D: comes first";

    DeleteFileA("D:\\mosaic\\mosaic.ini");
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served("E:\\mosaic\\mosaic.ini"));

    DeleteFileA("E:\\mosaic\\mosaic.ini");
    EXPECT_EQ(Aval(), 0) << "removable, CD-ROM, network and RAM drives are never looked at";
    EXPECT_EQ(Integ(), 1);
    for (char letter : {'A', 'F', 'G', 'H'})
        EXPECT_FALSE(Served(std::string(1, letter) + ":\\mosaic\\mosaic.ini")) << letter;
}

TEST_F(BrowserLinkTest, SpyglassDirectoryOnDriveC)
{
    ASSERT_FALSE(FileExists("C:\\win32app")) << "the prefix holds C:\\win32app already";
    PlaceFile("C:\\win32app\\spyglass\\emosaic.ini");
    EXPECT_EQ(Aval(), 1);
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served("C:\\win32app\\spyglass\\emosaic.ini"));
    DeleteDirectoryTree("C:\\win32app");
}

TEST_F(BrowserLinkTest, PathEntriesInOrderSkippingRelativeOnes)
{
    // PATH as C:\BIN;.;;D:\TOOLS, with the current directory on drive D:.
    WineDrive drive('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    const std::string bin = MadeDirectory(places_.Path() + "\\bin");
    MakeDirectories("D:\\tools");
    MakeDirectories("D:\\current");
    cwd_.Change("D:\\current");
    path_.Set((bin + ";.;;D:\\tools").c_str());

    const struct {
        const char* what;
        std::vector<std::string> files;
        std::string served;
    } cases[] = {
        {"last entry", {"D:\\tools\\mosaic.ini"}, "D:\\tools\\mosaic.ini"},
        {"first entry", {bin + "\\mosaic.ini", "D:\\tools\\mosaic.ini"}, bin + "\\mosaic.ini"},
        {"the entry . is skipped",
         {"D:\\current\\mosaic.ini", "D:\\tools\\mosaic.ini"},
         "D:\\tools\\mosaic.ini"},
        {"the empty entry is the current drive's root",
         {"D:\\mosaic.ini", "D:\\tools\\mosaic.ini"},
         "D:\\mosaic.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& file : c.files)
            PlaceFile(file);
        EXPECT_EQ(Integ(), 1);
        for (const std::string& file : c.files)
            EXPECT_EQ(Served(file), file == c.served) << file;
        for (const std::string& file : c.files)
            DeleteFileA(file.c_str());
    }
    cwd_.Change(currentDirectory_);
}

TEST_F(BrowserLinkTest, FileInTheCurrentDirectoryIsEditedWhereItWasFound)
{
    const std::string local = currentDirectory_ + "\\mosaic.ini";
    PlaceFile(local);
    EXPECT_EQ(Aval(), 1);
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served(local));
    EXPECT_FALSE(FileExists(windowsMosaic_)) << "the bare name was resolved in Windows";
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Entry(local, "Viewers", "application/x-sorbix"), kMissing);
}

TEST_F(BrowserLinkTest, NetkitDirectoryOfTheKitFileOrDrive)
{
    WineDrive drive('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    const std::string kit = MadeDirectory(places_.Path() + "\\net");
    const struct {
        std::string netkit;
        std::string served;  // empty: nothing found
    } cases[] = {
        {kit + "\\KIT.CFG", kit + "\\mosaic\\smosaic.ini"},
        {"D:", "D:\\mosaic\\smosaic.ini"},  // D:mosaic\smosaic.ini, D:'s directory being its root
        {"KIT.CFG", ""},
    };
    PlaceFile(kit + "\\mosaic\\smosaic.ini");
    PlaceFile("D:\\mosaic\\smosaic.ini");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.netkit);
        netkit_.Set(c.netkit.c_str());
        EXPECT_EQ(Aval(), c.served.empty() ? 0 : 1);
        EXPECT_EQ(Integ(), 1);
        if (!c.served.empty()) {
            EXPECT_TRUE(Served(c.served));
        }
        WriteFileBytes(kit + "\\mosaic\\smosaic.ini", kEmptyBrowser);
        WriteFileBytes("D:\\mosaic\\smosaic.ini", kEmptyBrowser);
    }
}

UINT g_windowsDirectoryLength;

UINT WINAPI LongWindowsDirectory(LPSTR buffer, UINT size)
{
    std::string path = "C:\\" + std::string(g_windowsDirectoryLength - 3, 'w');
    if (size <= path.size())
        return static_cast<UINT>(path.size() + 1);
    memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<UINT>(path.size());
}

TEST_F(BrowserLinkTest, WindowsDirectoryTooLongForTheNameSkipsPathAndCurrentDirectory)
{
    const std::string bin = MadeDirectory(places_.Path() + "\\bin");
    const std::string kit = MadeDirectory(places_.Path() + "\\net");
    path_.Set(bin.c_str());
    netkit_.Set((kit + "\\NETKIT.INI").c_str());
    PlaceFile(bin + "\\emosaic.ini");
    PlaceFile(currentDirectory_ + "\\emosaic.ini");
    PlaceFile(kit + "\\mosaic\\emosaic.ini");

    // Loaded here first, the module stays loaded across the script's calls,
    // and the patch of its imports holds for them.
    LoadedDll module(support_.File("browserlink.dll"));
    ImportPatch patch(module.Handle(), "KERNEL32.dll", "GetWindowsDirectoryA",
                      reinterpret_cast<void*>(&LongWindowsDirectory));

    // "\" + directory + "emosaic.ini" reaching 260: the probe gives up at once.
    g_windowsDirectoryLength = 260 - 1 - 11;
    EXPECT_EQ(Integ(), 1);
    EXPECT_FALSE(Served(bin + "\\emosaic.ini"));
    EXPECT_FALSE(Served(currentDirectory_ + "\\emosaic.ini"));
    EXPECT_TRUE(Served(kit + "\\mosaic\\emosaic.ini"));

    WriteFileBytes(kit + "\\mosaic\\emosaic.ini", kEmptyBrowser);
    g_windowsDirectoryLength = 259 - 1 - 11;
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served(bin + "\\emosaic.ini")) << "one less, and PATH is searched";
    EXPECT_FALSE(Served(kit + "\\mosaic\\emosaic.ini"));
}

TEST_F(BrowserLinkTest, BrowserInALongDirectoryIsServed)
{
    // A whole Windows path of 259 characters fits its slot; a PATH entry
    // one character longer cannot make a path and is passed over.
    const std::string fits = places_.MakeDirectoryOfLength(259 - 11);  // + "\mosaic.ini"
    PlaceFile(fits + "\\mosaic.ini");
    path_.Set(fits.c_str());
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served(fits + "\\mosaic.ini"));
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Entry(fits + "\\mosaic.ini", "Viewers", "application/x-sorbix"), kMissing);

    ScratchDirectory deeper("deeper");
    const std::string tooLong = deeper.MakeDirectoryOfLength(260 - 11);
    path_.Set(tooLong.c_str());
    EXPECT_EQ(Aval(), 0);
}

TEST_F(BrowserLinkTest, AllThreeGroupsAreServed)
{
    const std::string kit = MadeDirectory(places_.Path() + "\\net");
    netkit_.Set((kit + "\\NETKIT.INI").c_str());
    PlaceFile(windowsEmosaic_);
    PlaceFile(windowsMosaic_);
    PlaceFile(kit + "\\mosaic\\smosaic.ini");
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(Served(windowsEmosaic_));
    EXPECT_TRUE(Served(windowsMosaic_));
    EXPECT_TRUE(Served(kit + "\\mosaic\\smosaic.ini"));
}

TEST_F(BrowserLinkTest, DriveProbeSetsTheErrorModeBack)
{
    WineDrive drive('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    LoadedDll module(support_.File("browserlink.dll"));
    typedef int(WINAPI * AvailableOperation)();
    UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    EXPECT_EQ(module.Export<AvailableOperation>(2)(), 0);
    EXPECT_EQ(SetErrorMode(before), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
}

}  // namespace
