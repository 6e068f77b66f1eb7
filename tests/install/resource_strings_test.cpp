// installLoadStr: message strings from "sxinsres.dll" in the directory the
// script names, loaded for the length of one call.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include "install/install_exports.h"
#include "support/loaded_dll.h"
#include "support/scratch_files.h"
#include "support/sentinel_buffer.h"
#include "support/test_paths.h"

namespace {

const size_t kCallerBuffer = 200;

class InstallLoadStrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("sxinsres.dll"), resources_.File("sxinsres.dll"));
        buffer_.Fill();
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("sxinsres.dll"), nullptr)
            << "the message module is still loaded after the call";
    }

    int Load(UINT id, const std::string& directory)
    {
        return load_(id, buffer_.Data(), directory.c_str());
    }

    ScratchDirectory resources_{"resources"};
    LoadedDll install_{BinaryFile("install.dll")};
    InstallLoadStrProc load_ = install_.Export<InstallLoadStrProc>(kOrdinalInstallLoadStr);
    SentinelBuffer buffer_{kCallerBuffer, 56};
};

TEST_F(InstallLoadStrTest, LoadsTheStringFromTheDirectoryGivenWithItsBackslash)
{
    EXPECT_EQ(Load(501, resources_.Path() + "\\"), 1);
    EXPECT_STREQ(buffer_.Data(), "Registry rights");
    EXPECT_TRUE(buffer_.UntouchedFrom(strlen("Registry rights") + 1));
}

TEST_F(InstallLoadStrTest, DirectoryWithoutBackslashIsAPrefixAndFindsNothing)
{
    EXPECT_EQ(Load(501, resources_.Path()), -1);
    EXPECT_TRUE(buffer_.UntouchedFrom(0));
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
        buffer_.Fill();
        EXPECT_EQ(Load(c.id, resources_.Path() + "\\"), 1);
        EXPECT_EQ(strlen(buffer_.Data()), 199u);
        EXPECT_EQ(std::string(buffer_.Data(), 20), "0123456789abcdefghij");
        EXPECT_TRUE(buffer_.UntouchedFrom(kCallerBuffer));
    }
}

TEST_F(InstallLoadStrTest, DirectoryFillingThePathBufferExactlyStillLoads)
{
    // directory + "sxinsres.dll" is 255 characters: the 256-byte path holds it.
    ScratchDirectory deep("deep");
    std::string directory = deep.MakeDirectoryOfLength(255 - 12 - 1) + "\\";
    CopyFileTo(BinaryFile("sxinsres.dll"), directory + "sxinsres.dll");
    EXPECT_EQ(Load(509, directory), 1);
    EXPECT_STREQ(buffer_.Data(), "Remove shared file");
}

TEST_F(InstallLoadStrTest, DirectoryTooLongForThePathIsRefused)
{
    ScratchDirectory deep("deep");
    std::string directory = deep.MakeDirectoryOfLength(256 - 12 - 1) + "\\";
    CopyFileTo(BinaryFile("sxinsres.dll"), directory + "sxinsres.dll");
    EXPECT_EQ(Load(509, directory), -1);
    EXPECT_TRUE(buffer_.UntouchedFrom(0));
}

}  // namespace
