// The REG_SZ helpers of install, called directly: no export reaches them on
// its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include "support/import_hook.h"
#include "frame/registry.h"
#include "support/registry_state.h"
#include "support/sentinel_buffer.h"

namespace {

const char kScratchKey[] = "SOFTWARE\\SorbixTests";

class RegistryHelpersTest : public ::testing::Test {
protected:
    RegistryKeyGuard guard_{HKEY_LOCAL_MACHINE, kScratchKey};
};

TEST_F(RegistryHelpersTest, WriteStoresTheTextWithItsTerminatingZero)
{
    const char* texts[] = {"", "C:\\Program Files\\Sorbix\\", "a"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(WriteRegString("SOFTWARE\\SorbixTests\\Made\\Here", "Value", text), 1);
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\SorbixTests\\Made\\Here", "Value", text));
    }
}

TEST_F(RegistryHelpersTest, WriteReportsAKeyThatCannotBeCreated)
{
    ImportHook<decltype(RegCreateKeyExA)> failing(
        GetModuleHandleA(nullptr), "ADVAPI32.dll", "RegCreateKeyExA",
        [](HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD) {
            return static_cast<LONG>(ERROR_ACCESS_DENIED);
        });
    EXPECT_EQ(WriteRegString("SOFTWARE\\SorbixTests", "Value", "text"), 0);
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kScratchKey, "Value"));
}

void StoreRaw(const std::string& name, DWORD type, const std::string& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

TEST_F(RegistryHelpersTest, ReadReturnsWholeValuesAndRefusesWhatDoesNotFit)
{
    const struct {
        const char* what;
        DWORD type;
        std::string stored;
        size_t capacity;
        int result;
        std::string text;  // read back when result is 1
    } cases[] = {
        {"ordinary text", REG_SZ, SzBytes("sxfm.dll"), 255, 1, "sxfm.dll"},
        {"empty text", REG_SZ, SzBytes(""), 255, 1, ""},
        {"exactly the capacity, zero included", REG_SZ, SzBytes(std::string(254, 'x')), 255, 1,
         std::string(254, 'x')},
        {"one byte over the capacity", REG_SZ, SzBytes(std::string(255, 'x')), 255, 0, ""},
        {"stored without its zero", REG_BINARY, "abc", 255, 1, "abc"},
        {"without its zero, filling the capacity", REG_BINARY, std::string(255, 'y'), 255, 0, ""},
        {"any type whose data fits", REG_EXPAND_SZ, SzBytes("%windir%"), 255, 1, "%windir%"},
        {"255 characters in a 512-byte buffer", REG_SZ, SzBytes(std::string(255, 'z')), 512, 1,
         std::string(255, 'z')},
        {"256 characters in a 512-byte buffer", REG_SZ, SzBytes(std::string(256, 'z')), 512, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StoreRaw("Value", c.type, c.stored);
        SentinelBuffer buffer(c.capacity, 600 - c.capacity);
        EXPECT_EQ(ReadRegString(kScratchKey, "Value", buffer.Data(), c.capacity), c.result);
        if (c.result == 1)
            EXPECT_EQ(std::string(buffer.Data()), c.text);
        else
            EXPECT_EQ(buffer.Data()[0], SentinelBuffer::kSentinel) << "a refused value was written";
        size_t firstUntouched = c.result == 1 ? c.text.size() + 1 : 0;
        ASSERT_TRUE(buffer.UntouchedFrom(firstUntouched));
    }
}

TEST_F(RegistryHelpersTest, ReadOfAMissingKeyOrValueGivesZero)
{
    char buffer[255];
    EXPECT_EQ(ReadRegString("SOFTWARE\\SorbixTests\\Nowhere", "Value", buffer, sizeof buffer), 0);
    StoreRaw("Other", REG_SZ, SzBytes("x"));
    EXPECT_EQ(ReadRegString(kScratchKey, "Value", buffer, sizeof buffer), 0);
}

TEST_F(RegistryHelpersTest, DeleteRemovesOnlyTheNamedValue)
{
    StoreRaw("Value", REG_SZ, SzBytes("gone"));
    StoreRaw("Other", REG_SZ, SzBytes("kept"));
    DeleteRegValue(kScratchKey, "Value");
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kScratchKey, "Value"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kScratchKey, "Other", "kept"));
}

TEST_F(RegistryHelpersTest, DeleteFromAMissingKeyOrValueIsSilent)
{
    DeleteRegValue("SOFTWARE\\SorbixTests\\Nowhere", "Value");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\SorbixTests\\Nowhere"));
    StoreRaw("Other", REG_SZ, SzBytes("kept"));
    DeleteRegValue(kScratchKey, "Value");
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kScratchKey, "Other", "kept"));
}

}  // namespace
