// "VIEWENGINEINFO" entries through SetVapiDLL: the four per-view-class keys
// and the context-menu shell extension.
#include "install/registration/registration_fixture.h"
#include "support/registry_calls.h"

namespace {

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kContextMenuKey[] = "SOFTWARE\\Quorvane\\Sorbix\\ContextMenu";
const char kFrameMenuKey[] = "SOFTWARE\\Quorvane\\Sorbix\\FrameMenu";
const char kIconKey[] = "SOFTWARE\\Quorvane\\Sorbix\\Icon";
const char kTabKey[] = "SOFTWARE\\Quorvane\\Sorbix\\Tab";

const std::vector<ExpectedRow> kContextMenuRows = {
    {"aud", "25"}, {"vid", "25"}, {"anim", "25"}, {"text", "22"}, {"doc", "22"},    {"html", "22"},
    {"pic", "21"}, {"wkb", "23"}, {"fax", "20"},  {"zip", "27"},  {"prsgfx", "21"}, {"html2", "22"},
};
const std::vector<ExpectedRow> kFrameMenuRows = {
    {"aud", "19"},  {"vid", "18"},  {"anim", "26"}, {"DEFAULT", "1"}, {"doc", "13"},
    {"text", "13"}, {"html", "13"}, {"pic", "10"},  {"wkb", "12"},    {"fax", "11"},
    {"zip", "17"},  {"prsgfx", "16"}, {"html2", "13"},
};
const std::vector<ExpectedRow> kIconRows = {
    {"aud", "109"},  {"vid", "110"}, {"anim", "110"}, {"doc", "105"}, {"text", "105"},
    {"html", "105"}, {"pic", "108"}, {"wkb", "106"},  {"fax", "108"}, {"zip", "107"},
    {"prsgfx", "108"}, {"html2", "105"},
};
const std::vector<ExpectedRow> kTabRows = {
    {"aud", "sxoption.dll 8"}, {"vid", "sxoption.dll 8"},    {"anim", "sxoption.dll 8"},
    {"doc", "sxoption.dll 7"}, {"html", "sxoption.dll 7"},   {"pic", "sxoption.dll 4"},
    {"wkb", "sxoption.dll 5"}, {"text", "sxoption.dll 6"},   {"fax", "sxoption.dll 2"},
    {"zip", "sxoption.dll 3"}, {"prsgfx", "sxoption.dll 4"},
};
const std::vector<ExpectedRow> kClassRows = {{"", "Sorbix Context Menu Shell Extension"}};

// Puts the machine's "CommonFilesDir" back as it was.
class CommonFilesDirGuard {
public:
    CommonFilesDirGuard()
        : saved_(ReadRegistryValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir"))
    {
    }
    ~CommonFilesDirGuard()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS)
            return;
        if (saved_.exists)
            RegSetValueExA(key, "CommonFilesDir", 0, saved_.type,
                           reinterpret_cast<const BYTE*>(saved_.bytes.data()),
                           static_cast<DWORD>(saved_.bytes.size()));
        else
            RegDeleteValueA(key, "CommonFilesDir");
        RegCloseKey(key);
    }

private:
    RegistryValue saved_;
};

void SetCommonFilesDir(const char* directory)
{
    if (directory != nullptr) {
        SetRegSz(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir", directory);
        return;
    }
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegDeleteValueA(key, "CommonFilesDir");
    RegCloseKey(key);
}

class ShellRegistrationTest : public RegistrationTest {
protected:
    int RegisterShell(int shellMode, const std::string& moduleDirectory = "C:\\Sorbix")
    {
        return Register("VIEWENGINEINFO", "Shell integration", shellMode, moduleDirectory);
    }

    void ExpectViewClassKeys()
    {
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kContextMenuKey, kContextMenuRows));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kFrameMenuKey, kFrameMenuRows));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kIconKey, kIconRows));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kTabKey, kTabRows));
    }

    void ExpectServerOnly(const std::string& serverPath)
    {
        EXPECT_TRUE(KeyHoldsExactly(HKEY_CLASSES_ROOT, kExtensionClassKey, kClassRows));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_CLASSES_ROOT, kExtensionServerKey,
                                    {{"", serverPath}, {"ThreadingModel", "Apartment"}}));
        RegistryValue handler = ReadRegistryValue(HKEY_CLASSES_ROOT, kHandlerKey, "");
        EXPECT_TRUE(handler.exists);
        EXPECT_EQ(handler.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(handler.bytes, "") << "the handler's default value has a data length of 0";
        EXPECT_EQ(ValueNames(HKEY_CLASSES_ROOT, kHandlerKey).size(), 1u);
    }

    CommonFilesDirGuard commonFilesGuard_;
};

TEST_F(ShellRegistrationTest, ModeOneWritesTheKeysAndAnEmptyServerKey)
{
    EXPECT_EQ(RegisterShell(1), 1);
    EXPECT_EQ(selected_, 1);
    ExpectViewClassKeys();
    EXPECT_TRUE(KeyHoldsExactly(HKEY_CLASSES_ROOT, kExtensionClassKey, kClassRows));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kExtensionServerKey));
    EXPECT_TRUE(ValueNames(HKEY_CLASSES_ROOT, kExtensionServerKey).empty());
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHandlerKey));
}

TEST_F(ShellRegistrationTest, ModesTwoAndThreeRegisterTheServerWhereTheMachineSays)
{
    const struct {
        const char* commonFilesDir;  // null: no such value
        std::string moduleDirectory;
        int shellMode;
        std::string serverPath;
    } cases[] = {
        {"C:\\Program Files\\Common Files", "C:\\Sorbix", 2,
         "C:\\Program Files\\Common Files\\system\\contmenu.dll"},
        {"C:\\Common\\", "C:\\Sorbix", 3, "C:\\Common\\system\\contmenu.dll"},
        {nullptr, "C:\\Sorbix", 2, "C:\\Sorbix\\contmenu.dll"},
        {nullptr, "C:\\Sorbix\\", 3, "C:\\Sorbix\\contmenu.dll"},
        {nullptr, "", 2, "\\contmenu.dll"},
        {"", "D:\\Viewer", 3, "D:\\Viewer\\contmenu.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serverPath);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionClassKey);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kHandlerKey);
        SetCommonFilesDir(c.commonFilesDir);
        EXPECT_EQ(RegisterShell(c.shellMode, c.moduleDirectory), 1);
        ExpectViewClassKeys();
        ExpectServerOnly(c.serverPath);
    }
}

TEST_F(ShellRegistrationTest, RegisteringTwiceLeavesWhatRegisteringOnceLeaves)
{
    SetCommonFilesDir("C:\\Program Files\\Common Files");
    WriteSetupIni("[VIEWENGINEINFO]\r\nInfo1=Shell\r\nInfo2=Shell again\r\n");
    EXPECT_EQ(SetVapi("VIEWENGINEINFO", 1, 1, 2), 1);
    EXPECT_EQ(SetVapi("VIEWENGINEINFO", 2, 1, 2), 1);
    ExpectViewClassKeys();
    ExpectServerOnly("C:\\Program Files\\Common Files\\system\\contmenu.dll");
}

TEST_F(ShellRegistrationTest, AKeyThatCannotBeCreatedEndsItWithTheKeysBeforeItComplete)
{
    SetCommonFilesDir("C:\\Program Files\\Common Files");
    const char* const keys[] = {kContextMenuKey,    kFrameMenuKey,       kIconKey,   kTabKey,
                                kExtensionClassKey, kExtensionServerKey, kHandlerKey};
    for (size_t failing = 0; failing < 7; ++failing) {
        SCOPED_TRACE(keys[failing]);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionClassKey);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kHandlerKey);
        {
            RegistryCallLog failure(install_.Handle());
            failure.FailKey(keys[failing]);
            EXPECT_EQ(RegisterShell(2), -1);
        }
        const std::vector<ExpectedRow>* complete[] = {&kContextMenuRows, &kFrameMenuRows,
                                                      &kIconRows, &kTabRows, &kClassRows};
        for (size_t key = 0; key < 5; ++key) {
            HKEY root = key < 4 ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
            if (key < failing)
                EXPECT_TRUE(KeyHoldsExactly(root, keys[key], *complete[key]));
            else
                EXPECT_FALSE(KeyExists(root, keys[key])) << keys[key];
        }
        if (failing == 6) {
            EXPECT_TRUE(KeyHoldsExactly(HKEY_CLASSES_ROOT, kExtensionServerKey,
                                        {{"", "C:\\Program Files\\Common Files\\system\\contmenu.dll"},
                                         {"ThreadingModel", "Apartment"}}));
        } else if (failing > 4) {
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionServerKey));
        }
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHandlerKey));
    }
}

TEST_F(ShellRegistrationTest, AServerPathThatDoesNotFitIsNotStoredCut)
{
    SetCommonFilesDir(nullptr);
    // 242 characters, a backslash and "contmenu.dll": 255 fit, one more does not.
    const struct {
        size_t length;
        int result;
    } cases[] = {{242, 1}, {243, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionClassKey);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kHandlerKey);
        std::string directory = "C:\\" + std::string(c.length - 3, 'd');
        EXPECT_EQ(RegisterShell(2, directory), c.result);
        if (c.result == 1) {
            ExpectServerOnly(directory + "\\contmenu.dll");
        } else {
            EXPECT_TRUE(ValueNames(HKEY_CLASSES_ROOT, kExtensionServerKey).empty());
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHandlerKey));
        }
    }
}

}  // namespace
