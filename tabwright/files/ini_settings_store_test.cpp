#include "tabwright/files/ini_settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/file_contents.h"
#include "testing/port_mapping.h"

namespace tabwright {
namespace {

// INI files written by hand in a configuration folder of the test's own. Each case has a
// file of its own: QSettings takes a file whose time and size are unchanged for the one it
// read before.
class HandWrittenIni : public testing::Test {
protected:
    void write(const std::string& application, const std::string& text)
    {
        testing_support::writeText(IniSettingsStore::fileOf(application), text);
    }

    testing_support::TemporaryPortMapping configuration;
    IniSettingsStore store;
};

TEST_F(HandWrittenIni, ARawValueKeepsItsCommasAndItsCharacters)
{
    const struct {
        const char* line;
        const char* raw;
    } cases[] = {
        {"TrustedFolders=/lab/a:/lab/b", "/lab/a:/lab/b"},
        {"TrustedFolders=/lab/a,b:/lab/c", "/lab/a,b:/lab/c"},
        {"TrustedFolders = /lab/x, y:/lab/z ", "/lab/x, y:/lab/z"},
        {"TrustedFolders=/lab/Donn\xC3\xA9"
         "es",
         "/lab/Donn\xC3\xA9"
         "es"},
        {"TrustedFolders=/lab/\xE6\x95\xB0\xE6\x8D\xAE,1", "/lab/\xE6\x95\xB0\xE6\x8D\xAE,1"},
    };
    int number = 0;
    for (const auto& [line, raw] : cases) {
        const std::string application = "Case" + std::to_string(++number);
        write(application, std::string("[Other]\nTrustedFolders=/elsewhere,x\n[Macros]\n") + line + "\n");
        EXPECT_EQ(store.readRaw(application, "Macros", "TrustedFolders"), raw) << line;
    }
}

TEST_F(HandWrittenIni, ARawValueOfASectionWithASpaceIsFound)
{
    write("Tabwright", "[Excel%20Macro]\nName=Chart,Readings\n");
    EXPECT_EQ(store.readRaw("Tabwright", "Excel Macro", "Name"), "Chart,Readings");
    EXPECT_EQ(store.readRaw("Tabwright", "Excel Macro", "Enable"), std::nullopt);
}

TEST_F(HandWrittenIni, AValueWrittenByTheProgramReadsBackTheSameBothWays)
{
    store.write("Tabwright", "Macros", "TrustedFolders", "/lab/a,b");
    EXPECT_EQ(store.read("Tabwright", "Macros", "TrustedFolders"), "/lab/a,b");
    EXPECT_EQ(store.readRaw("Tabwright", "Macros", "TrustedFolders"), "/lab/a,b");
}

}  // namespace
}  // namespace tabwright
