// installLoadStr: message strings from "sxinsres.dll" in the directory the
// script names, loaded for the length of one call.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include "loaded_dll.h"
#include "scratch_files.h"
#include "test_paths.h"

namespace {

typedef int(WINAPI* InstallLoadStr)(UINT id, char* buffer, const char* directory);

const char kSentinel = '\x5A';
const size_t kCallerBuffer = 200;

class InstallLoadStrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("sxinsres.dll"), resources_.File("sxinsres.dll"));
        memset(buffer_, kSentinel, sizeof buffer_);
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("sxinsres.dll"), nullptr)
            << "the message module is still loaded after the call";
    }

    int Load(UINT id, const std::string& directory)
    {
        return load_(id, buffer_, directory.c_str());
    }

    // Every byte from offset on still holds the sentinel.
    ::testing::AssertionResult UntouchedFrom(size_t offset)
    {
        for (size_t i = offset; i < sizeof buffer_; ++i) {
            if (buffer_[i] != kSentinel)
                return ::testing::AssertionFailure()
                       << "byte " << i << " was written (0x" << std::hex
                       << (buffer_[i] & 0xff) << ")";
        }
        return ::testing::AssertionSuccess();
    }

    ScratchDirectory resources_{"resources"};
    LoadedDll install_{BinaryFile("install.dll")};
    InstallLoadStr load_ = install_.Export<InstallLoadStr>(7);
    char buffer_[kCallerBuffer + 56];
};

TEST_F(InstallLoadStrTest, LoadsTheStringFromTheDirectoryGivenWithItsBackslash)
{
    EXPECT_EQ(Load(501, resources_.Path() + "\\"), 1);
    EXPECT_STREQ(buffer_, "Registry rights");
    EXPECT_TRUE(UntouchedFrom(strlen("Registry rights") + 1));
}

TEST_F(InstallLoadStrTest, DirectoryWithoutBackslashIsAPrefixAndFindsNothing)
{
    EXPECT_EQ(Load(501, resources_.Path()), -1);
    EXPECT_TRUE(UntouchedFrom(0));
}

TEST_F(InstallLoadStrTest, UnknownIdGivesZero)
{
    EXPECT_EQ(Load(4242, resources_.Path() + "\\"), 0);
}

TEST_F(InstallLoadStrTest, LongStringsComeBackCutAt199Characters)
{
    const struct {
        UINT id;
        size_t stored;  // characters in the string table
    } cases[] = {{900, 250}, {901, 199}};
    for (const auto& c : cases) {
        SCOPED_TRACE("string " + std::to_string(c.id));
        memset(buffer_, kSentinel, sizeof buffer_);
        EXPECT_EQ(Load(c.id, resources_.Path() + "\\"), 1);
        EXPECT_EQ(strlen(buffer_), 199u);
        EXPECT_EQ(std::string(buffer_, 20), "0123456789abcdefghij");
        EXPECT_TRUE(UntouchedFrom(kCallerBuffer));
    }
}

TEST_F(InstallLoadStrTest, DirectoryFillingThePathBufferExactlyStillLoads)
{
    // directory + "sxinsres.dll" is 255 characters: the 256-byte path holds it.
    ScratchDirectory deep("deep");
    std::string directory = deep.MakeDirectoryOfLength(255 - 12 - 1) + "\\";
    CopyFileTo(BinaryFile("sxinsres.dll"), directory + "sxinsres.dll");
    EXPECT_EQ(Load(509, directory), 1);
    EXPECT_STREQ(buffer_, "Remove shared file");
}

TEST_F(InstallLoadStrTest, DirectoryTooLongForThePathIsRefused)
{
    ScratchDirectory deep("deep");
    std::string directory = deep.MakeDirectoryOfLength(256 - 12 - 1) + "\\";
    CopyFileTo(BinaryFile("sxinsres.dll"), directory + "sxinsres.dll");
    EXPECT_EQ(Load(509, directory), -1);
    EXPECT_TRUE(UntouchedFrom(0));
}

}  // namespace
