#include "tabwright/capture/com_fifo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "testing/port_mapping.h"

namespace tabwright {
namespace {

class FixedVersion : public PlatformVersionQuery {
public:
    explicit FixedVersion(std::optional<PlatformVersion> version) : version_(version) {}
    std::optional<PlatformVersion> platformVersion() const override { return version_; }

private:
    std::optional<PlatformVersion> version_;
};

class MemorySettings : public SettingsStore {
public:
    using Address = std::tuple<std::string, std::string, std::string>;

    std::optional<std::string> read(std::string_view application, std::string_view section,
                                    std::string_view key) const override
    {
        const auto found = values.find(Address(application, section, key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override
    {
        values[Address(application, section, key)] = value;
    }

    std::map<Address, std::string> values;
};

struct VersionCase {
    int major;
    int minor;
    bool writes;
};

class ComFifoVersionRule : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ComFifoVersionRule, WritesTheFifoSettingOnlyBelowVersion3Point12)
{
    const VersionCase& c = GetParam();
    MemorySettings settings;
    DisableComFifo(2, FixedVersion(PlatformVersion{c.major, c.minor}), settings);
    if (c.writes) {
        ASSERT_EQ(settings.values.size(), 1U);
        EXPECT_EQ(settings.read("System", "386Enh", "COM2FIFO"), "0");
    } else {
        EXPECT_TRUE(settings.values.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, ComFifoVersionRule,
                         ::testing::Values(VersionCase{4, 0, false}, VersionCase{3, 12, false},
                                           VersionCase{3, 95, false}, VersionCase{6, 1, false},
                                           VersionCase{3, 11, true}, VersionCase{3, 10, true},
                                           VersionCase{3, 0, true}, VersionCase{2, 99, true}),
                         [](const auto& info) {
                             return std::string("v")
                                 .append(std::to_string(info.param.major))
                                 .append("_")
                                 .append(std::to_string(info.param.minor));
                         });

TEST(ComFifo, KeyCarriesThePortNumberInPlainDecimal)
{
    MemorySettings settings;
    DisableComFifo(16, FixedVersion(PlatformVersion{3, 10}), settings);
    EXPECT_EQ(settings.read("System", "386Enh", "COM16FIFO"), "0");
}

TEST(ComFifo, AnUnreadableVersionWritesNothing)
{
    MemorySettings settings;
    DisableComFifo(1, FixedVersion(std::nullopt), settings);
    EXPECT_TRUE(settings.values.empty());
}

TEST(ComFifo, TheRunningKernelIsPastTheThreshold)
{
    const std::optional<PlatformVersion> version = KernelVersionQuery().platformVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_FALSE(needsComFifoSetting(*version)) << version->major << "." << version->minor;
}

TEST(KernelRelease, MajorAndMinorAreTheFirstTwoNumbers)
{
    struct Case {
        const char* release;
        std::optional<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {"6.1.0-18-amd64", std::pair(6, 1)},
        {"3.10.0-1160.el7.x86_64", std::pair(3, 10)},
        {"3.12", std::pair(3, 12)},
        {"4.0-rc1", std::pair(4, 0)},
        {"5", std::nullopt},
        {"5.", std::nullopt},
        {"", std::nullopt},
        {"linux-6.1", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<PlatformVersion> parsed = parseKernelRelease(c.release);
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.release;
        if (parsed) {
            EXPECT_EQ(parsed->major, c.expected->first) << c.release;
            EXPECT_EQ(parsed->minor, c.expected->second) << c.release;
        }
    }
}

TEST(IniSettingsStore, KeepsOneFilePerApplicationInTheConfigurationFolder)
{
    testing_support::TemporaryPortMapping configFolder;  // points XDG_CONFIG_HOME at a temporary folder
    IniSettingsStore store;
    EXPECT_EQ(store.read("System", "386Enh", "COM2FIFO"), std::nullopt);

    DisableComFifo(2, FixedVersion(PlatformVersion{3, 10}), store);
    store.write("Tabwright", "Excel Macro", "Name", " Chart Readings ");

    EXPECT_EQ(IniSettingsStore::fileOf("System"), configFolder.configFolder() + "/System/System.ini");
    EXPECT_TRUE(std::filesystem::exists(configFolder.configFolder() + "/Tabwright/Tabwright.ini"));
    EXPECT_EQ(store.read("System", "386Enh", "COM2FIFO"), "0");
    EXPECT_EQ(store.read("Tabwright", "Excel Macro", "Name"), " Chart Readings ");
    EXPECT_EQ(store.read("Tabwright", "386Enh", "COM2FIFO"), std::nullopt);
}

}  // namespace
}  // namespace tabwright
