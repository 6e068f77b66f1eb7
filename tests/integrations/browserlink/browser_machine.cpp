#include "integrations/browserlink/browser_machine.h"

#include "integrations/module_contract.h"
#include "support/loaded_dll.h"
#include "support/test_paths.h"

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

const char kNavigatorKey[] = "SOFTWARE\\Netscape\\Netscape Navigator";
const char* const kNavigatorSections[8] = {"Viewers",   "OViewers",   "Suffixes",
                                           "OSuffixes", "Encodings",  "OEncodings",
                                           "MIME Descriptions", "OMIME Descriptions"};

std::string Entry(const std::string& file, const char* section, const char* key)
{
    char value[1024];
    GetPrivateProfileStringA(section, key, kMissing, value, sizeof value, file.c_str());
    return value;
}

Lines Section(const std::string& file, const char* section)
{
    std::vector<char> buffer(32768);
    DWORD length = GetPrivateProfileSectionA(section, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    Lines lines;
    for (DWORD at = 0; at < length;) {
        std::string line = buffer.data() + at;
        at += static_cast<DWORD>(line.size()) + 1;
        lines.push_back(line);
    }
    return lines;
}

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

void PlaceFile(const std::string& path, const std::string& bytes)
{
    MakeDirectories(path.substr(0, path.rfind('\\')));
    WriteFileBytes(path, bytes);
}

bool Served(const std::string& file)
{
    return Entry(file, "Viewers", "application/x-sorbix") == kCommand;
}

std::string NavigatorKey(const std::string& section)
{
    return std::string(kNavigatorKey) + "\\" + section;
}

std::vector<RegistryKeyContents> NavigatorTree()
{
    return ReadRegistryTree(HKEY_CURRENT_USER, kNavigatorKey);
}

void MakeNavigator()
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kNavigatorKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool NavigatorServed()
{
    return IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Viewers"), "application/x-sorbix", kCommand);
}

void BrowserLinkTest::SetUp()
{
    CopyFileTo(BinaryFile("browserlink.dll"), support_.File("browserlink.dll"));
    WriteFileBytes(dependIni_, kDependIni);
    DeleteFileA(windowsEmosaic_.c_str());
    DeleteFileA(windowsMosaic_.c_str());
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
}

void BrowserLinkTest::TearDown()
{
    EXPECT_EQ(GetModuleHandleA("browserlink.dll"), nullptr) << "the module stayed loaded";
}

int BrowserLinkTest::Aval()
{
    return install_.Available("browserlink.dll", "C:\\SORBIX", support_.Path().c_str());
}

int BrowserLinkTest::Integ(const char* installation)
{
    return install_.Integrate("browserlink.dll", installation, support_.Path().c_str());
}

int BrowserLinkTest::Remove()
{
    return install_.Remove("browserlink.dll", "C:\\SORBIX", support_.Path().c_str());
}

int BrowserLinkTest::ModuleInstall(const char* directory)
{
    LoadedDll module(support_.File("browserlink.dll"));
    return module.Export<ModuleFileOperationProc>(kOrdinalInstall)(directory, dependIni_.c_str());
}
