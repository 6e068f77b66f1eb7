// browserlink: discovery of Mosaic-family browser INI files over the real
// places (Windows directory, PATH, current directory, NETKIT directory,
// drive letters of Wine's mount manager) and the install and deinstall of
// the viewer's MIME types in those files, driven through install's
// IntegAval, IntegInteg and IntegRemove as the script drives them. Which
// file discovery chose shows in which file install edits.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "integrations/browserlink/browser_machine.h"
#include "integrations/module_contract.h"
#include "support/import_hook.h"
#include "support/loaded_dll.h"
#include "support/scratch_files.h"
#include "support/wine_drive.h"

namespace {

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
    UINT windowsDirectoryLength = 0;
    ImportHook<decltype(GetWindowsDirectoryA)> longWindowsDirectory(
        module.Handle(), "KERNEL32.dll", "GetWindowsDirectoryA", [&](LPSTR buffer, UINT size) {
            std::string path = "C:\\" + std::string(windowsDirectoryLength - 3, 'w');
            if (size <= path.size())
                return static_cast<UINT>(path.size() + 1);
            memcpy(buffer, path.c_str(), path.size() + 1);
            return static_cast<UINT>(path.size());
        });

    // "\" + directory + "emosaic.ini" reaching 260: the probe gives up at once.
    windowsDirectoryLength = 260 - 1 - 11;
    EXPECT_EQ(Integ(), 1);
    EXPECT_FALSE(Served(bin + "\\emosaic.ini"));
    EXPECT_FALSE(Served(currentDirectory_ + "\\emosaic.ini"));
    EXPECT_TRUE(Served(kit + "\\mosaic\\emosaic.ini"));

    WriteFileBytes(kit + "\\mosaic\\emosaic.ini", kEmptyBrowser);
    windowsDirectoryLength = 259 - 1 - 11;
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
    UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    EXPECT_EQ(module.Export<ModuleAvailableProc>(kOrdinalAvailable)(), 0);
    EXPECT_EQ(SetErrorMode(before), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
}

// ------------------------------------------------------ install and deinstall

// One browser file, C:\windows\mosaic.ini, edited by install and deinstall.
class BrowserFileTest : public BrowserLinkTest {
protected:
    void Browser(const std::string& bytes) { WriteFileBytes(windowsMosaic_, bytes); }
    Lines Of(const char* section) { return Section(windowsMosaic_, section); }
    void Depend(const std::string& bytes) { WriteFileBytes(dependIni_, bytes); }
};

TEST_F(BrowserFileTest, TypeListWithAGap)
{
    // The scan stops at the missing TYPE2: msword, named by TYPE3, counts as
    // new. The appended types go to TYPE2 and, passing over TYPE3 and TYPE4,
    // to TYPE5: the browser's own entries stay.
    Browser("[Viewers]\r\nTYPE0=text/html\r\nTYPE1=audio/wav\r\nTYPE3=application/msword\r\n"
            "TYPE4=video/mpeg\r\naudio/wav=C:\\WAV\\PLAY.EXE %s\r\n"
            "application/msword=C:\\WORD\\WORD.EXE %s\r\n"
            "[Encodings]\r\napplication/msword=8bit\r\n");
    EXPECT_EQ(ModuleInstall(), 0);
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=text/html", "TYPE1=audio/wav", "TYPE3=application/msword",
                     "TYPE4=video/mpeg", "audio/wav=C:\\WAV\\PLAY.EXE %s",
                     std::string("application/msword=") + kCommand,
                     "TYPE2=application/x-sorbix", "TYPE5=application/msword",
                     std::string("application/x-sorbix=") + kCommand}));
    EXPECT_EQ(Of("OViewers"), Lines{"application/msword=C:\\WORD\\WORD.EXE %s"});
    EXPECT_EQ(Of("Suffixes"), (Lines{"application/x-sorbix=.sbx", "application/msword=.doc,.dot"}));
    EXPECT_EQ(Of("OSuffixes"), Lines{});
    EXPECT_EQ(Of("Encodings"), (Lines{"application/msword=binary", "application/x-sorbix=binary"}));
    EXPECT_EQ(Of("OEncodings"), Lines{"application/msword=8bit"});
    EXPECT_EQ(Of("MIME Descriptions"),
              (Lines{"application/x-sorbix=Sorbix document", "application/msword=Word document",
                     "image/gif=GIF picture"}));
    EXPECT_EQ(Of("OMIME Descriptions"), Lines{});
}

TEST_F(BrowserFileTest, ListedTypesWithViewersOfTheirOwn)
{
    const std::string browser =
        "[Viewers]\r\nTYPE0=application/msword\r\nTYPE1=IMAGE/GIF\r\n"
        "application/msword=C:\\WORD\\WORD.EXE %s\r\nIMAGE/GIF=C:\\LVIEW\\LVIEW.EXE %s\r\n"
        "[Suffixes]\r\napplication/msword=.doc\r\nIMAGE/GIF=.gif\r\n"
        "[Encodings]\r\napplication/msword=7bit\r\n"
        "[MIME Descriptions]\r\napplication/msword=Word file\r\nimage/gif=GIF\r\n";
    Browser(browser);
    EXPECT_EQ(Integ(), 1);

    // msword is listed: viewer, suffixes and description backed up and
    // replaced, encoding left alone (and kept). The image type is left to the browser
    // but for its description, which is backed up too; x-sorbix is new.
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=application/msword", "TYPE1=IMAGE/GIF",
                     std::string("application/msword=") + kCommand,
                     "IMAGE/GIF=C:\\LVIEW\\LVIEW.EXE %s", "TYPE2=application/x-sorbix",
                     std::string("application/x-sorbix=") + kCommand}));
    EXPECT_EQ(Of("OViewers"), Lines{"application/msword=C:\\WORD\\WORD.EXE %s"});
    EXPECT_EQ(Of("Suffixes"), (Lines{"application/msword=.doc,.dot", "IMAGE/GIF=.gif",
                                     "application/x-sorbix=.sbx"}));
    EXPECT_EQ(Of("OSuffixes"), Lines{"application/msword=.doc"});
    EXPECT_EQ(Of("Encodings"), (Lines{"application/msword=7bit", "application/x-sorbix=binary"}));
    EXPECT_EQ(Of("OEncodings"), Lines{"application/msword=7bit"});
    EXPECT_EQ(Of("MIME Descriptions"),
              (Lines{"application/msword=Word document", "image/gif=GIF picture",
                     "application/x-sorbix=Sorbix document"}));
    EXPECT_EQ(Of("OMIME Descriptions"), (Lines{"application/msword=Word file", "image/gif=GIF"}));

    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=application/msword", "TYPE1=IMAGE/GIF",
                     "application/msword=C:\\WORD\\WORD.EXE %s",
                     "IMAGE/GIF=C:\\LVIEW\\LVIEW.EXE %s", "TYPE2=application/x-sorbix"}))
        << "the TYPE entries install appended stay";
    EXPECT_EQ(Of("Suffixes"), (Lines{"application/msword=.doc", "IMAGE/GIF=.gif"}));
    EXPECT_EQ(Of("Encodings"), Lines{"application/msword=7bit"});
    EXPECT_EQ(Of("MIME Descriptions"), (Lines{"application/msword=Word file", "image/gif=GIF"}))
        << "the browser's own descriptions are back";
    for (const char* backup : {"OViewers", "OSuffixes", "OEncodings", "OMIME Descriptions"})
        EXPECT_EQ(Of(backup), Lines{}) << backup;
}

TEST_F(BrowserFileTest, SecondInstallKeepsTheBrowsersOwnBackups)
{
    Browser("[Viewers]\r\nTYPE0=application/msword\r\n"
            "application/msword=C:\\WORD\\WORD.EXE %s\r\n"
            "[Suffixes]\r\napplication/msword=.doc\r\n"
            "[MIME Descriptions]\r\napplication/msword=Word file\r\n");
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(Integ("D:\\SORBIX"), 1);
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "application/msword"), "D:\\SORBIX\\sorbix.exe %s");
    EXPECT_EQ(Of("OViewers"), Lines{"application/msword=C:\\WORD\\WORD.EXE %s"});
    EXPECT_EQ(Of("OSuffixes"), Lines{"application/msword=.doc"})
        << "the suffixes of the first install are not taken for the browser's";
    EXPECT_EQ(Of("OEncodings"), Lines{});
    EXPECT_EQ(Of("OMIME Descriptions"), Lines{"application/msword=Word file"})
        << "the descriptions of the first install are not taken for the browser's";
    EXPECT_EQ(Of("Viewers").size(), 4u) << "no type is appended twice";

    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=application/msword", "application/msword=C:\\WORD\\WORD.EXE %s",
                     "TYPE1=application/x-sorbix"}));
    EXPECT_EQ(Of("Suffixes"), Lines{"application/msword=.doc"});
    EXPECT_EQ(Of("Encodings"), Lines{});
    EXPECT_EQ(Of("MIME Descriptions"),
              (Lines{"application/msword=Word file", "image/gif=GIF picture"}))
        << "an image type the browser does not list keeps the description written";
}

TEST_F(BrowserFileTest, DeinstallRemovesOwnCommandsAndRestoresOlderValues)
{
    Browser("[Viewers]\r\nTYPE0=application/x-old\r\nTYPE1=application/x-new\r\n"
            "TYPE2=text/plain\r\n"
            "application/x-old=C:\\OLD\\SORBIX4.EXE %s\r\n"  // capitals: not recognised
            "application/x-new=C:\\OLD\\sorbix4.exe %s\r\n"
            "text/plain=NOTEPAD.EXE %s\r\n"
            "[Suffixes]\r\napplication/x-new=.new\r\ntext/plain=.txt\r\n"
            "[Encodings]\r\napplication/x-new=binary\r\n"
            "[MIME Descriptions]\r\napplication/x-new=New\r\n"
            "[OSuffixes]\r\napplication/x-new=.old\r\nvideo/gone=.mov\r\n"
            "[OEncodings]\r\napplication/x-new=7bit\r\n"
            "[OMIME Descriptions]\r\napplication/x-new=Old\r\n"
            "[OViewers]\r\nvideo/gone=C:\\MOV\\PLAY.EXE %s\r\n");
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=application/x-old", "TYPE1=application/x-new", "TYPE2=text/plain",
                     "application/x-old=C:\\OLD\\SORBIX4.EXE %s", "text/plain=NOTEPAD.EXE %s"}));
    EXPECT_EQ(Of("Suffixes"), (Lines{"application/x-new=.old", "text/plain=.txt"}))
        << "a kept value is written back where the current one stands";
    EXPECT_EQ(Of("Encodings"), Lines{"application/x-new=7bit"});
    EXPECT_EQ(Of("MIME Descriptions"), Lines{"application/x-new=Old"});
    // video/gone is no longer listed: its backups are lost with the sections.
    for (const char* backup : {"OViewers", "OSuffixes", "OEncodings", "OMIME Descriptions"})
        EXPECT_EQ(Of(backup), Lines{}) << backup;
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "video/gone"), kMissing);
}

TEST_F(BrowserFileTest, NewTypeRoundTripLeavesOnlyItsTypeEntry)
{
    Browser("[Viewers]\r\nTYPE0=text/html\r\n"
            "[Encodings]\r\napplication/x-sorbix=base64\r\n"
            "[MIME Descriptions]\r\napplication/x-sorbix=Old description\r\n");
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(Of("OEncodings"), Lines{"application/x-sorbix=base64"});
    EXPECT_EQ(Of("OMIME Descriptions"), Lines{"application/x-sorbix=Old description"});
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Of("Viewers"),
              (Lines{"TYPE0=text/html", "TYPE1=application/x-sorbix", "TYPE2=application/msword"}));
    EXPECT_EQ(Of("Suffixes"), Lines{});
    EXPECT_EQ(Of("Encodings"), Lines{"application/x-sorbix=base64"});
    EXPECT_EQ(Of("MIME Descriptions"),
              (Lines{"application/x-sorbix=Old description", "image/gif=GIF picture"}));
}

TEST_F(BrowserFileTest, CommandAlwaysInsertsABackslash)
{
    const struct {
        const char* directory;
        const char* command;
    } cases[] = {
        {"C:\\SORBIX", "C:\\SORBIX\\sorbix.exe %s"},
        {"C:\\SORBIX\\", "C:\\SORBIX\\\\sorbix.exe %s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        Browser(kEmptyBrowser);
        EXPECT_EQ(Integ(c.directory), 1);
        EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "application/msword"), c.command);
    }
}

TEST_F(BrowserFileTest, BadDependIniFailsBeforeAnyBrowserFileIsTouched)
{
    const std::string browser = "[Viewers]\r\nTYPE0=text/html\r\n";
    const struct {
        const char* what;
        std::string depend;
        int result;
    } cases[] = {
        {"no TYPE0", "[MIME Types]\r\nTYPE1=application/x-sorbix\r\n", 0},
        {"no suffixes", "[MIME Types]\r\nTYPE0=application/x-sorbix\r\n", 3},
        {"type of 128 characters",
         "[MIME Types]\r\nTYPE0=application/" + std::string(116, 'x') + "\r\n[MIME Suffixes]\r\n" +
             "application/" + std::string(116, 'x') + "=.x\r\n",
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Browser(browser);
        Depend(c.depend);
        EXPECT_EQ(ModuleInstall(), c.result);
        EXPECT_EQ(ReadFileBytes(windowsMosaic_), browser);
    }
}

std::string DependOfTypes(int count, int typeLength)
{
    std::string types = "[MIME Types]\r\n";
    std::string rest = "[MIME Suffixes]\r\n";
    std::string encodings = "[Encodings]\r\n";
    std::string descriptions = "[MIME Descriptions]\r\n";
    for (int n = 0; n < count; ++n) {
        std::string number = std::to_string(n);
        std::string type = "x/" + number + std::string(typeLength - 2 - number.size(), 't');
        types += "TYPE" + number + "=" + type + "\r\n";
        rest += type + "=.x\r\n";
        encodings += type + "=binary\r\n";
        descriptions += type + "=d\r\n";
    }
    return types + rest + encodings + descriptions;
}

TEST_F(BrowserFileTest, TypesAndCommandsAtTheEdgeOfTheirBuffers)
{
    // 254 types of 127 characters are registered whole.
    Browser(kEmptyBrowser);
    Depend(DependOfTypes(254, 127));
    EXPECT_EQ(ModuleInstall(), 0);
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "TYPE253"), "x/253" + std::string(122, 't'));
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "TYPE254"), kMissing);

    // A 255th type fails before the browser file is touched.
    Browser(kEmptyBrowser);
    Depend(DependOfTypes(255, 20));
    EXPECT_EQ(ModuleInstall(), 3);
    EXPECT_EQ(ReadFileBytes(windowsMosaic_), kEmptyBrowser);

    // The command: directory, "\", "sorbix.exe %s" in 127 characters.
    Depend(kDependIni);
    const std::string fits = "C:\\" + std::string(127 - 14 - 3, 'd');
    EXPECT_EQ(ModuleInstall(fits.c_str()), 0);
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "application/msword"), fits + "\\sorbix.exe %s");
    Browser(kEmptyBrowser);
    EXPECT_EQ(ModuleInstall((fits + "d").c_str()), 3);
    EXPECT_EQ(ReadFileBytes(windowsMosaic_), kEmptyBrowser);
}

TEST_F(BrowserFileTest, MissingEncodingOrDescriptionStopsWhereItIs)
{
    WriteFileBytes(windowsEmosaic_, kEmptyBrowser);  // the first file of the list
    Browser(kEmptyBrowser);                           // the second
    // msword has no encoding: the first file keeps the types, viewers,
    // suffixes and x-sorbix's encoding; the second is not touched.
    std::string noEncoding = kDependIni;
    noEncoding.erase(noEncoding.find("application/msword=binary\r\n"), 27);
    Depend(noEncoding);
    EXPECT_EQ(ModuleInstall(), 3);
    EXPECT_EQ(Section(windowsEmosaic_, "Viewers"),
              (Lines{"TYPE0=application/x-sorbix", "TYPE1=application/msword",
                     std::string("application/x-sorbix=") + kCommand,
                     std::string("application/msword=") + kCommand}));
    EXPECT_EQ(Section(windowsEmosaic_, "Suffixes"),
              (Lines{"application/x-sorbix=.sbx", "application/msword=.doc,.dot"}));
    EXPECT_EQ(Section(windowsEmosaic_, "Encodings"), Lines{"application/x-sorbix=binary"});
    EXPECT_EQ(Section(windowsEmosaic_, "MIME Descriptions"), Lines{});
    EXPECT_EQ(ReadFileBytes(windowsMosaic_), kEmptyBrowser);

    // The image type has no description: the other two are written first.
    WriteFileBytes(windowsEmosaic_, kEmptyBrowser);
    std::string noImageDescription = kDependIni;
    noImageDescription.erase(noImageDescription.find("image/gif=GIF picture\r\n"), 23);
    Depend(noImageDescription);
    EXPECT_EQ(ModuleInstall(), 3);
    EXPECT_EQ(Section(windowsEmosaic_, "MIME Descriptions"),
              (Lines{"application/x-sorbix=Sorbix document", "application/msword=Word document"}));
    EXPECT_EQ(Section(windowsEmosaic_, "Encodings"),
              (Lines{"application/x-sorbix=binary", "application/msword=binary"}));
    EXPECT_EQ(ReadFileBytes(windowsMosaic_), kEmptyBrowser);
}

TEST_F(BrowserFileTest, ABrowserValueTooLongToKeepWholeIsLeftAlone)
{
    const std::string longViewer = "C:\\WORD\\" + std::string(300, 'w') + ".EXE %s";
    Browser("[Viewers]\r\nTYPE0=application/msword\r\napplication/msword=" + longViewer + "\r\n");
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(Entry(windowsMosaic_, "Viewers", "application/msword"), longViewer);
    EXPECT_EQ(Of("OViewers"), Lines{});
    EXPECT_TRUE(Served(windowsMosaic_)) << "the other types are registered";
}

TEST_F(BrowserLinkTest, WepAnswersOne)
{
    LoadedDll module(support_.File("browserlink.dll"));
    EXPECT_EQ(module.Export<ModuleWepProc>(kOrdinalWep)(0), 1);
}

}  // namespace
