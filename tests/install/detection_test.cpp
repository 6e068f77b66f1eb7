// HaveKeyDLL: an installation of the viewer already on the machine, looked
// for under HKEY_LOCAL_MACHINE (former makers first) and then under
// HKEY_CLASSES_ROOT (current maker first). CompareInternal is called
// directly for the path it builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "detection/existing_installation.h"
#include "install/install_exports.h"
#include "support/import_hook.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/sentinel_buffer.h"
#include "support/test_paths.h"

namespace {

const char kCurrent[] = "SOFTWARE\\Quorvane\\Sorbix\\General";
const char kFullName[] = "SOFTWARE\\FenwoldSoftware\\Sorbix\\General";
const char kShortName[] = "SOFTWARE\\Fenwold\\Sorbix\\General";
const size_t kHomeSize = 256;
const size_t kMakerKeySize = 25;
const char kUntouchedHome[] = "untouched";

struct Value {
    HKEY root;
    const char* key;
    const char* name;
    std::string data;
};

struct Outcome {
    int result;
    std::string home;  // kUntouchedHome: not written
    std::string makerKey;
    DWORD internalSeen;
};

class DetectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* maker : kMakers) {
            DeleteKeyTree(HKEY_LOCAL_MACHINE, maker);
            DeleteKeyTree(HKEY_CLASSES_ROOT, maker);
        }
        WriteFileBytes(setup_.File("install.ini"), "[General]\r\nInternal=SX-STD-40\r\n");
    }

    Outcome Detect(const std::vector<Value>& values, const std::string& setupDirectory)
    {
        for (const char* maker : kMakers) {
            DeleteKeyTree(HKEY_LOCAL_MACHINE, maker);
            DeleteKeyTree(HKEY_CLASSES_ROOT, maker);
        }
        for (const Value& v : values) {
            if (v.name == nullptr) {  // the key alone
                HKEY key;
                RegCreateKeyExA(v.root, v.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr);
                RegCloseKey(key);
            } else {
                SetRegSz(v.root, v.key, v.name, v.data);
            }
        }
        home_.Fill();
        memcpy(home_.Data(), kUntouchedHome, sizeof kUntouchedHome);
        makerKey_.Fill();
        internalSeen_[0] = 7;
        internalSeen_[1] = 0xA5A5A5A5;

        Outcome outcome;
        outcome.result =
            detect_(0, home_.Data(), setupDirectory.c_str(), internalSeen_, makerKey_.Data());
        outcome.home = home_.Data();
        outcome.makerKey = makerKey_.Data();
        outcome.internalSeen = internalSeen_[0];
        EXPECT_TRUE(SentinelsIntact());
        return outcome;
    }

    ::testing::AssertionResult SentinelsIntact()
    {
        ::testing::AssertionResult home = home_.GuardIntact();
        if (!home)
            return ::testing::AssertionFailure() << "home: " << home.message();
        ::testing::AssertionResult makerKey = makerKey_.GuardIntact();
        if (!makerKey)
            return ::testing::AssertionFailure() << "maker key: " << makerKey.message();
        if (internalSeen_[1] != 0xA5A5A5A5)
            return ::testing::AssertionFailure() << "written after the flag";
        return ::testing::AssertionSuccess();
    }

    static constexpr const char* kMakers[] = {"SOFTWARE\\Quorvane", "SOFTWARE\\FenwoldSoftware",
                                              "SOFTWARE\\Fenwold"};

    RegistryKeyGuard machineCurrent_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard machineFull_{HKEY_LOCAL_MACHINE, "SOFTWARE\\FenwoldSoftware"};
    RegistryKeyGuard machineShort_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Fenwold"};
    RegistryKeyGuard classes_{HKEY_CLASSES_ROOT, "SOFTWARE"};
    ScratchDirectory setup_{"setup"};
    ScratchDirectory emptySetup_{"nosetup"};
    LoadedDll install_{BinaryFile("install.dll")};
    HaveKeyDLLProc detect_ = install_.Export<HaveKeyDLLProc>(kOrdinalHaveKeyDLL);
    SentinelBuffer home_{kHomeSize};
    SentinelBuffer makerKey_{kMakerKeySize};
    DWORD internalSeen_[2];
};

void PrintTo(const Outcome& o, std::ostream* out)
{
    *out << "result " << o.result << ", home \"" << o.home << "\", maker key \"" << o.makerKey
         << "\", Internal seen " << o.internalSeen;
}

bool operator==(const Outcome& a, const Outcome& b)
{
    return a.result == b.result && a.home == b.home && a.makerKey == b.makerKey &&
           a.internalSeen == b.internalSeen;
}

const HKEY M = HKEY_LOCAL_MACHINE;
const HKEY C = HKEY_CLASSES_ROOT;

TEST_F(DetectionTest, FindsTheInstallationAndTellsWhoseItIs)
{
    const struct {
        const char* what;
        std::vector<Value> values;
        bool installIni;
        Outcome expected;
    } cases[] = {
        {"nothing anywhere", {}, true, {0, kUntouchedHome, "", 0}},
        {"current maker, same Internal apart from case",
         {{M, kCurrent, "Home", "C:\\Sorbix"}, {M, kCurrent, "Internal", "sx-std-40"}},
         true,
         {1, "C:\\Sorbix", "SOFTWARE\\Quorvane", 0}},
        {"current maker, no install.ini",
         {{M, kCurrent, "Home", "C:\\Sorbix"}, {M, kCurrent, "Internal", "SX-STD-40"}},
         false,
         {3, "C:\\Sorbix", "SOFTWARE\\Quorvane", 0}},
        {"current maker, other Internal",
         {{M, kCurrent, "Home", "C:\\Sorbix"}, {M, kCurrent, "Internal", "SX-PRO-40"}},
         true,
         {3, "C:\\Sorbix", "SOFTWARE\\Quorvane", 0}},
        {"current maker, no Internal value",
         {{M, kCurrent, "Home", "C:\\Sorbix"}},
         true,
         {1, "C:\\Sorbix", "SOFTWARE\\Quorvane", 0}},
        {"current maker, empty Home",
         {{M, kCurrent, "Home", ""}, {M, kCurrent, "Internal", "SX-STD-40"}},
         true,
         {0, kUntouchedHome, "", 0}},
        {"former maker, full name",
         {{M, kFullName, "Home", "C:\\Older"}},
         true,
         {3, "C:\\Older", "SOFTWARE\\FenwoldSoftware", 0}},
        {"former maker, short name",
         {{M, kShortName, "Home", "C:\\Old"}},
         true,
         {3, "C:\\Old", "SOFTWARE\\Fenwold", 0}},
        {"both former makers: the full name first",
         {{M, kShortName, "Home", "C:\\Old"}, {M, kFullName, "Home", "C:\\Older"}},
         true,
         {3, "C:\\Older", "SOFTWARE\\FenwoldSoftware", 0}},
        {"empty Home of a former maker stops the first pass",
         {{M, kFullName, "Home", ""}, {M, kCurrent, "Home", "C:\\Sorbix"}},
         true,
         {0, kUntouchedHome, "", 0}},
        {"former maker, and a class-root key without Home",
         {{M, kShortName, "Home", "C:\\Old"}, {C, kCurrent, "Internal", "SX-STD-40"}},
         true,
         {3, "C:\\Old", "SOFTWARE\\Fenwold", 0}},
        {"class root: current maker, same product",
         {{C, kCurrent, "Internal", "SX-STD-40"}, {C, kCurrent, "Home", "D:\\Viewer"}},
         true,
         {1, "D:\\Viewer", "", 1}},
        {"class root: current maker, other product",
         {{M, kCurrent, "Home", "C:\\Sorbix"},
          {M, kCurrent, "Internal", "SX-STD-40"},
          {C, kCurrent, "Internal", "SX-OEM-40"},
          {C, kCurrent, "Home", "D:\\Viewer"}},
         true,
         {3, "D:\\Viewer", "SOFTWARE\\Quorvane", 1}},
        {"class root: current maker, no install.ini",
         {{C, kCurrent, "Internal", "SX-STD-40"}, {C, kCurrent, "Home", "D:\\Viewer"}},
         false,
         {3, "D:\\Viewer", "", 1}},
        {"class root: former maker with Internal but no Home",
         {{M, kCurrent, "Home", "C:\\Sorbix"},
          {M, kCurrent, "Internal", "SX-STD-40"},
          {C, kFullName, "Internal", "SX-STD-30"}},
         true,
         {1, "C:\\Sorbix", "SOFTWARE\\Quorvane", 1}},
        {"class root: former maker, short name, complete",
         {{C, kShortName, "Internal", "SX-STD-30"}, {C, kShortName, "Home", "E:\\Old"}},
         true,
         {3, "E:\\Old", "SOFTWARE\\Fenwold", 1}},
        {"class root: only the first key that opens counts",
         {{C, kCurrent, nullptr, ""},
          {C, kFullName, "Internal", "SX-STD-30"},
          {C, kFullName, "Home", "E:\\Older"}},
         true,
         {0, kUntouchedHome, "", 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScratchDirectory& setup = c.installIni ? setup_ : emptySetup_;
        EXPECT_EQ(Detect(c.values, setup.Path()), c.expected);
        EXPECT_EQ(Detect(c.values, setup.Path() + "\\"), c.expected) << "with a trailing backslash";
    }
}

TEST_F(DetectionTest, HomeValuesAtTheEdgeOfTheBuffers)
{
    const std::string fits = "C:\\" + std::string(255 - 3, 'h');
    const std::string tooLong = fits + "h";
    // First pass: a Home too long to read counts as no value at that key.
    EXPECT_EQ(Detect({{M, kFullName, "Home", fits}}, setup_.Path()),
              (Outcome{3, fits, "SOFTWARE\\FenwoldSoftware", 0}));
    EXPECT_EQ(Detect({{M, kFullName, "Home", tooLong}, {M, kShortName, "Home", "C:\\Old"}},
                     setup_.Path()),
              (Outcome{3, "C:\\Old", "SOFTWARE\\Fenwold", 0}));
    // Second pass.
    EXPECT_EQ(Detect({{C, kShortName, "Internal", "x"}, {C, kShortName, "Home", fits}},
                     setup_.Path()),
              (Outcome{3, fits, "SOFTWARE\\Fenwold", 1}));
    EXPECT_EQ(Detect({{C, kShortName, "Internal", "x"}, {C, kShortName, "Home", tooLong}},
                     setup_.Path()),
              (Outcome{0, kUntouchedHome, "", 1}));
}

// The first pass reads "Internal" with 512 bytes: a value of up to 511
// characters is read whole and compared with "install.ini".
TEST_F(DetectionTest, LongInternalValuesAreReadWholeAndCompared)
{
    const std::string longest(511, 'i');
    WriteFileBytes(setup_.File("install.ini"), "[General]\r\nInternal=" + longest + "\r\n");
    const struct {
        const char* what;
        std::string internal;
        int result;
    } cases[] = {
        {"300 characters of another product", std::string(300, 'o'), 3},
        {"511 characters of another product", std::string(510, 'i') + "o", 3},
        {"511 characters, the same product", std::string(511, 'I'), 1},
        {"512 characters cannot be read: nothing shows a difference", std::string(512, 'o'), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Detect({{M, kCurrent, "Home", "C:\\Sorbix"}, {M, kCurrent, "Internal", c.internal}},
                         setup_.Path()),
                  (Outcome{c.result, "C:\\Sorbix", "SOFTWARE\\Quorvane", 0}));
    }
}

TEST_F(DetectionTest, ClassRootValuesWithoutTerminatingZeroAreReadWhole)
{
    // 256 bytes of text without a zero would need a 257th byte: not read.
    auto storeRaw = [](const char* name, const std::string& bytes) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kShortName, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    };
    const struct {
        size_t length;
        Outcome expected;
    } cases[] = {
        {255, {3, std::string(255, 'b'), "SOFTWARE\\Fenwold", 1}},
        {256, {0, kUntouchedHome, "", 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes");
        std::vector<Value> values = {{C, kShortName, "Internal", "x"}};
        Detect(values, setup_.Path());
        storeRaw("Home", std::string(c.length, 'b'));
        home_.Fill();
        memcpy(home_.Data(), kUntouchedHome, sizeof kUntouchedHome);
        makerKey_.Fill();
        Outcome outcome;
        outcome.result =
            detect_(0, home_.Data(), setup_.Path().c_str(), internalSeen_, makerKey_.Data());
        outcome.home = std::string(home_.Data(), strnlen(home_.Data(), kHomeSize));
        outcome.makerKey = makerKey_.Data();
        outcome.internalSeen = internalSeen_[0];
        EXPECT_EQ(outcome, c.expected);
        EXPECT_TRUE(SentinelsIntact());
    }
}

// CompareInternal reads "install.ini" through a path of at most 511
// characters; a longer one counts as a missing file.
TEST(CompareInternalTest, PathAtTheEdgeOfItsBuffer)
{
    // Every read is recorded and answered with "SX-STD-40".
    std::vector<std::string> paths;
    ImportHook<decltype(GetPrivateProfileStringA)> read(
        GetModuleHandleA(nullptr), "KERNEL32.dll", "GetPrivateProfileStringA",
        [&](LPCSTR, LPCSTR, LPCSTR, LPSTR buffer, DWORD size, LPCSTR path) -> DWORD {
            paths.push_back(path);
            const char entry[] = "SX-STD-40";
            if (size < sizeof entry)
                return 0;
            memcpy(buffer, entry, sizeof entry);
            return sizeof entry - 1;
        });
    const std::string fits = "C:\\" + std::string(511 - 12 - 3, 'd');  // + "\install.ini"
    EXPECT_EQ(CompareInternal("sx-std-40", fits.c_str()), 0);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], fits + "\\install.ini");

    EXPECT_EQ(CompareInternal("sx-std-40", (fits + "d").c_str()), 1);
    EXPECT_EQ(paths.size(), 1u) << "a path that does not fit is not read";
}

TEST(CompareInternalTest, MissingEntryDiffersFromAnyValueButTheEmptyOne)
{
    ScratchDirectory setup("setup");
    EXPECT_EQ(CompareInternal("SX-STD-40", setup.Path().c_str()), 1);
    EXPECT_EQ(CompareInternal("", setup.Path().c_str()), 0);
    WriteFileBytes(setup.File("install.ini"), "[GENERAL]\r\nINTERNAL=Sx-Std-40\r\n");
    EXPECT_EQ(CompareInternal("SX-STD-40", (setup.Path() + "\\").c_str()), 0);
    EXPECT_EQ(CompareInternal("SX-STD-4", setup.Path().c_str()), 1);
}

}  // namespace
