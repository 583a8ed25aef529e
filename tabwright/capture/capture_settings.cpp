#include "tabwright/capture/capture_settings.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "common/core/letter_case.h"
#include "common/core/whole_number.h"
#include "tabwright/capture/program_identity.h"

namespace tabwright {

namespace {

constexpr std::string_view kCommunication = "Communication";
constexpr std::string_view kComPort = "ComPort";
constexpr std::string_view kExcelMacro = "Excel Macro";
constexpr std::string_view kEnable = "Enable";
constexpr std::string_view kName = "Name";
constexpr std::string_view kView = "View";
constexpr std::string_view kFollowNewestRow = "FollowNewestRow";
constexpr std::string_view kMacros = "Macros";
constexpr std::string_view kTrustedFolders = "TrustedFolders";

// Values in the settings file may be edited by hand.
constexpr common::WholeNumberRule kSettingsNumber{common::Blanks::SpacesAndTabs,
                                                  common::Sign::PlusBeforeSigned};

std::optional<int> portNumber(std::string_view text)
{
    const auto value = common::wholeNumber(text, kSettingsNumber, std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max());
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<bool> truth(std::string_view text)
{
    const std::string word = common::lowerCase(common::withoutBlanks(text, kSettingsNumber.blanks));
    if (word == "true")
        return true;
    if (word == "false")
        return false;
    if (const auto value = common::wholeNumber(text, kSettingsNumber))
        return *value != 0;
    return std::nullopt;
}

}  // namespace

CaptureSettings readCaptureSettings(const SettingsStore& store)
{
    CaptureSettings settings;
    if (const auto port = store.read(kProgramTitle, kCommunication, kComPort))
        settings.comPort = portNumber(*port).value_or(settings.comPort);
    if (const auto enable = store.read(kProgramTitle, kExcelMacro, kEnable))
        settings.macroEnabled = truth(*enable).value_or(settings.macroEnabled);
    if (const auto name = store.read(kProgramTitle, kExcelMacro, kName))
        settings.macroName = *name;
    if (const auto follow = store.read(kProgramTitle, kView, kFollowNewestRow))
        settings.followNewestRow = truth(*follow).value_or(settings.followNewestRow);
    return settings;
}

std::string readTrustedFolders(const SettingsStore& store)
{
    return store.readRaw(kProgramTitle, kMacros, kTrustedFolders).value_or("");
}

void writeCaptureSettings(SettingsStore& store, const CaptureSettings& settings)
{
    store.write(kProgramTitle, kCommunication, kComPort, std::to_string(settings.comPort));
    store.write(kProgramTitle, kExcelMacro, kEnable, settings.macroEnabled ? "True" : "False");
    store.write(kProgramTitle, kExcelMacro, kName, settings.macroName);
    store.write(kProgramTitle, kView, kFollowNewestRow, settings.followNewestRow ? "True" : "False");
}

}  // namespace tabwright
