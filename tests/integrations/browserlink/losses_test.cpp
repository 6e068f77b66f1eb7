// browserlink gives back what the browser had, in a Mosaic-family browser
// file and in Navigator's keys alike: values too long to keep whole survive
// deinstall, a listed type's own encoding comes back, and types are
// appended only at free indices of a type list with gaps.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "integrations/browserlink/browser_machine.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"

namespace {

struct Setting {
    const char* section;
    std::string name;
    std::string text;
};

// One browser's settings, written and read back as the browser keeps them.
class BrowserSettings {
public:
    virtual ~BrowserSettings() = default;
    virtual void Make(const std::vector<Setting>& settings) = 0;
    // The text the browser holds; kMissing when it holds none.
    virtual std::string Get(const char* section, const std::string& name) const = 0;
};

// C:\windows\mosaic.ini.
class MosaicFile : public BrowserSettings {
public:
    explicit MosaicFile(std::string path) : path_(std::move(path)) {}
    void Make(const std::vector<Setting>& settings) override
    {
        std::string bytes = kEmptyBrowser;
        for (const char* section : {"Viewers", "Suffixes", "Encodings", "MIME Descriptions"}) {
            if (std::string(section) != "Viewers")
                bytes += std::string("[") + section + "]\r\n";
            for (const Setting& s : settings) {
                if (std::string(s.section) == section)
                    bytes += s.name + "=" + s.text + "\r\n";
            }
        }
        WriteFileBytes(path_, bytes);
    }
    std::string Get(const char* section, const std::string& name) const override
    {
        return Entry(path_, section, name.c_str());
    }

private:
    std::string path_;
};

// Navigator's keys; a value that is not REG_SZ text with its terminating
// zero reads as what it is, so that it never passes for the text.
class NavigatorKeys : public BrowserSettings {
public:
    void Make(const std::vector<Setting>& settings) override
    {
        MakeNavigator();
        for (const Setting& s : settings)
            SetRegSz(HKEY_CURRENT_USER, NavigatorKey(s.section), s.name, s.text);
    }
    std::string Get(const char* section, const std::string& name) const override
    {
        RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, NavigatorKey(section), name);
        if (!value.exists)
            return kMissing;
        if (value.type != REG_SZ || value.bytes.empty() || value.bytes.back() != '\0')
            return "<not text: " + Printable(value.bytes) + ">";
        return value.bytes.substr(0, value.bytes.size() - 1);
    }
};

class BrowserLossTest : public BrowserLinkTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        BrowserLinkTest::SetUp();
        if (GetParam())
            browser_.reset(new NavigatorKeys);
        else
            browser_.reset(new MosaicFile(windowsMosaic_));
    }
    std::unique_ptr<BrowserSettings> browser_;
};

TEST_P(BrowserLossTest, ValuesTooLongToKeepWholeSurviveDeinstall)
{
    // A type without a viewer whose suffixes, encoding and description are
    // long: up to 254 characters they are kept, replaced and given back;
    // longer ones cannot be kept whole and are left alone by both install
    // and deinstall. x-sorbix is new to the browser; msword is listed.
    for (size_t length : {254u, 255u, 300u}) {
        SCOPED_TRACE(length);
        const std::vector<Setting> own = {
            {"Viewers", "TYPE0", "application/msword"},
            {"Suffixes", "application/x-sorbix", std::string(length, 's')},
            {"Encodings", "application/x-sorbix", std::string(length, 'e')},
            {"MIME Descriptions", "application/x-sorbix", std::string(length, 'd')},
            {"Suffixes", "application/msword", std::string(length, 'S')},
            {"Encodings", "application/msword", std::string(length, 'E')},
            {"MIME Descriptions", "application/msword", std::string(length, 'D')},
        };
        DeleteKeyTree(HKEY_CURRENT_USER, kNavigatorKey);
        browser_->Make(own);
        EXPECT_EQ(Integ(), 1);
        EXPECT_EQ(browser_->Get("Viewers", "application/x-sorbix"), kCommand);
        EXPECT_EQ(browser_->Get("Viewers", "application/msword"), kCommand);
        const bool kept = length <= 254;
        EXPECT_EQ(browser_->Get("Suffixes", "application/x-sorbix"),
                  kept ? ".sbx" : own[1].text);
        EXPECT_EQ(browser_->Get("MIME Descriptions", "application/msword"),
                  kept ? "Word document" : own[6].text);
        EXPECT_EQ(Remove(), 1);
        for (const Setting& s : own)
            EXPECT_EQ(browser_->Get(s.section, s.name), s.text) << s.section << " " << s.name;
        EXPECT_EQ(browser_->Get("Viewers", "application/x-sorbix"), kMissing);
        EXPECT_EQ(browser_->Get("Viewers", "application/msword"), kMissing);
    }
}

TEST_P(BrowserLossTest, ListedTypesOwnEncodingComesBack)
{
    // msword is listed without a viewer: install leaves its encoding alone,
    // and deinstall, removing the viewer's command and its companions,
    // gives the encoding back with the other values.
    const std::vector<Setting> own = {
        {"Viewers", "TYPE0", "application/msword"},
        {"Suffixes", "application/msword", ".doc"},
        {"Encodings", "application/msword", "7bit"},
        {"MIME Descriptions", "application/msword", "Word file"},
    };
    browser_->Make(own);
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(browser_->Get("Encodings", "application/msword"), "7bit");
    EXPECT_EQ(Integ(), 1) << "a second install keeps what the first kept";
    EXPECT_EQ(Remove(), 1);
    for (const Setting& s : own)
        EXPECT_EQ(browser_->Get(s.section, s.name), s.text) << s.section << " " << s.name;
    EXPECT_EQ(browser_->Get("Viewers", "application/msword"), kMissing);
    EXPECT_EQ(browser_->Get("Encodings", "application/x-sorbix"), kMissing);
}

TEST_P(BrowserLossTest, TypesAreAppendedOnlyAtFreeIndices)
{
    // TYPE2 is missing: the browser's list ends at TYPE1 and everything
    // after the gap is unseen, so msword counts as new; the appended types
    // go to TYPE2 and to the next free index, TYPE5.
    const std::vector<Setting> own = {
        {"Viewers", "TYPE0", "text/html"},
        {"Viewers", "TYPE1", "audio/wav"},
        {"Viewers", "TYPE3", "video/mpeg"},
        {"Viewers", "TYPE4", "application/msword"},
        {"Viewers", "video/mpeg", "C:\\MPEG\\PLAY.EXE %s"},
    };
    browser_->Make(own);
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(browser_->Get("Viewers", "TYPE2"), "application/x-sorbix");
    EXPECT_EQ(browser_->Get("Viewers", "TYPE3"), "video/mpeg");
    EXPECT_EQ(browser_->Get("Viewers", "TYPE4"), "application/msword");
    EXPECT_EQ(browser_->Get("Viewers", "TYPE5"), "application/msword");
    EXPECT_EQ(browser_->Get("Viewers", "TYPE6"), kMissing);
    EXPECT_EQ(browser_->Get("Viewers", "application/msword"), kCommand);
    EXPECT_EQ(Remove(), 1);
    for (const Setting& s : own)
        EXPECT_EQ(browser_->Get(s.section, s.name), s.text) << s.section << " " << s.name;
    EXPECT_EQ(browser_->Get("Viewers", "application/msword"), kMissing);
    EXPECT_EQ(browser_->Get("Viewers", "TYPE2"), "application/x-sorbix") << "appended entries stay";
}

INSTANTIATE_TEST_SUITE_P(FileAndRegistry, BrowserLossTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "Navigator" : "MosaicFile");
                         });

}  // namespace
