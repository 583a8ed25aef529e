#include "tabwright/calc/office_instance.h"

#include <filesystem>
#include <stdexcept>

#include <com/sun/star/frame/Desktop.hpp>

#include "tabwright/calc/office_profile.h"
#include "tabwright/calc/uno_link.h"

namespace tabwright {

namespace {

// Profiles of instances that have ended since (closed by the user) go before a new one.
std::string newProfileFolder(const std::string& parent)
{
    removeProfilesOfEndedInstances(parent);
    return createProfileFolder(parent);
}

}  // namespace

OfficeInstance::OfficeInstance(const Settings& settings)
    : profileFolder_(newProfileFolder(settings.profilesFolder)),
      pipe_(officePipeName(profileFolder_)),
      headless_(settings.headless)
{
    std::vector<std::string> arguments{
        "-env:UserInstallation=" + uno_link::toUtf8(uno_link::fileUrl(profileFolder_)),
        "--accept=pipe,name=" + pipe_ + ";urp;StarOffice.ComponentContext",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck"};
    if (headless_)
        arguments.emplace_back("--headless");
    try {
        process_ = std::make_unique<OfficeProcess>(OfficeProcess::Start{
            settings.program, arguments, {"TMPDIR=" + profileTemporaryFolder(profileFolder_)}, leftovers()});
        const auto context =
            uno_link::connect(pipe_, settings.startTimeout, [this] { return process_->running(); });
        desktop_ = css::frame::Desktop::create(context);
    } catch (const css::uno::Exception& error) {
        discardProfile();
        throw std::runtime_error(uno_link::toUtf8(error.Message));
    } catch (...) {
        discardProfile();
        throw;
    }
}

OfficeInstance::~OfficeInstance() = default;

void OfficeInstance::discardProfile()
{
    if (process_) {
        process_->kill();
        process_->letGo();
    }
    removeLeftovers();
}

void OfficeInstance::finish(std::chrono::milliseconds timeout)
{
    desktop_.clear();
    if (!process_->waitForEnd(timeout))
        process_->kill();
    process_->letGo();
    removeLeftovers();
}

std::vector<std::string> OfficeInstance::leftovers() const
{
    std::vector<std::string> files{profileFolder_};
    for (std::string& socket : officeSockets(profileFolder_))
        files.push_back(std::move(socket));
    return files;
}

void OfficeInstance::removeLeftovers()
{
    std::error_code ignored;
    for (const std::string& file : leftovers())
        std::filesystem::remove_all(file, ignored);
}

std::unique_ptr<OfficeProcess> OfficeInstance::release()
{
    desktop_.clear();
    // Left to the user: its profile and sockets go when it ends.
    process_->leaveToUser();
    return std::move(process_);
}

}  // namespace tabwright
