#include "tabwright/capture/capture_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace tabwright {
namespace {

class MemoryStore : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view application, std::string_view section,
                                    std::string_view key) const override
    {
        const auto found = values.find({std::string(application), std::string(section), std::string(key)});
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
    void write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override
    {
        values[{std::string(application), std::string(section), std::string(key)}] = value;
    }
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
};

TEST(CaptureSettings, WrittenUnderTheProgramTitleAsText)
{
    MemoryStore store;
    writeCaptureSettings(store, CaptureSettings{12, true, " Chart", true});
    EXPECT_EQ(store.values.at({"Tabwright", "Communication", "ComPort"}), "12");
    EXPECT_EQ(store.values.at({"Tabwright", "Excel Macro", "Enable"}), "True");
    EXPECT_EQ(store.values.at({"Tabwright", "Excel Macro", "Name"}), " Chart");
    EXPECT_EQ(store.values.at({"Tabwright", "View", "FollowNewestRow"}), "True");
    writeCaptureSettings(store, CaptureSettings{1, false, "", false});
    EXPECT_EQ(store.values.at({"Tabwright", "Excel Macro", "Enable"}), "False");
    EXPECT_EQ(store.values.at({"Tabwright", "View", "FollowNewestRow"}), "False");
    EXPECT_FALSE(readCaptureSettings(store).followNewestRow);
    EXPECT_TRUE(readCaptureSettings(MemoryStore{}).followNewestRow) << "on when never set";
}

// A store whose single-byte text cannot hold the folder's name, as an INI file's is.
class StoreWithRawValues : public MemoryStore {
public:
    std::optional<std::string> readRaw(std::string_view application, std::string_view section,
                                       std::string_view key) const override
    {
        const auto value = read(application, section, key);
        return value ? std::optional<std::string>("raw " + *value) : std::nullopt;
    }
};

TEST(CaptureSettings, TheTrustedFoldersAreReadAsWrittenAndNeverWritten)
{
    StoreWithRawValues store;
    EXPECT_EQ(readTrustedFolders(store), "");
    store.write("Tabwright", "Macros", "TrustedFolders", "/lab,a:/b");
    EXPECT_EQ(readTrustedFolders(store), "raw /lab,a:/b");
    writeCaptureSettings(store, CaptureSettings{});
    EXPECT_EQ(store.values.at({"Tabwright", "Macros", "TrustedFolders"}), "/lab,a:/b");
}

struct StoredValues {
    const char* port;
    const char* enable;
    int expectedPort;
    bool expectedEnable;
};

class ReadCases : public testing::TestWithParam<StoredValues> {};

TEST_P(ReadCases, UnreadableValuesGiveTheirDefaults)
{
    MemoryStore store;
    if (GetParam().port != nullptr)
        store.write("Tabwright", "Communication", "ComPort", GetParam().port);
    if (GetParam().enable != nullptr)
        store.write("Tabwright", "Excel Macro", "Enable", GetParam().enable);
    const CaptureSettings settings = readCaptureSettings(store);
    EXPECT_EQ(settings.comPort, GetParam().expectedPort);
    EXPECT_EQ(settings.macroEnabled, GetParam().expectedEnable);
    EXPECT_EQ(settings.macroName, "");
}

INSTANTIATE_TEST_SUITE_P(
    CaptureSettings, ReadCases,
    testing::Values(StoredValues{nullptr, nullptr, 1, false}, StoredValues{"7", "True", 7, true},
                    StoredValues{" 3 ", "false", 3, false}, StoredValues{"COM3", "yes", 1, false},
                    StoredValues{"40000", "-1", 1, true}, StoredValues{"-5", "0", -5, false},
                    // Blanks are spaces and tabs; a "+" may stand before a signed number.
                    StoredValues{"\t+4\t", " TRUE\t", 4, true}, StoredValues{"+-2", "+-1", -2, true},
                    StoredValues{"32767", "+0", 32767, false}, StoredValues{"-32768", "2.5", -32768, false},
                    StoredValues{"--2", "-+1", 1, false}, StoredValues{"+ 4", "1 0", 1, false}));

}  // namespace
}  // namespace tabwright
