#include "tabwright/calc/office_profile.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tabwright {

namespace {

constexpr const char* kSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="FirstStartWizardCompleted" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>99.0</value></prop></item>
</oor:items>
)";

}  // namespace

std::string createProfileFolder(const std::string& parent)
{
    std::string pattern = parent + "/instance-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a profile folder in " + parent);
    const std::filesystem::path user = std::filesystem::path(pattern) / "user";
    std::error_code error;
    std::filesystem::create_directory(user, error);
    std::ofstream settings(user / "registrymodifications.xcu");
    settings << kSettings;
    settings.close();
    if (error || !settings)
        throw std::runtime_error("cannot write the profile folder " + pattern);
    return pattern;
}

}  // namespace tabwright
