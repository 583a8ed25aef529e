#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <com/sun/star/frame/XDesktop2.hpp>

#include "tabwright/calc/office_process.h"

namespace tabwright {

// One private LibreOffice process: its own profile folder (which holds its temporary
// folder) and its own UNO pipe, connected. Should this program end without quitting or
// releasing it, the process's watchdog ends it and removes those.
class OfficeInstance {
public:
    struct Settings {
        std::string program;         // the soffice launcher
        std::string profilesFolder;  // parent of the private profile folder
        bool headless = true;
        std::chrono::milliseconds startTimeout{120'000};
    };

    // Starts the process and connects to it. Throws std::runtime_error when it cannot;
    // a process that started but never answered is ended first.
    explicit OfficeInstance(const Settings& settings);
    OfficeInstance(const OfficeInstance&) = delete;
    OfficeInstance& operator=(const OfficeInstance&) = delete;
    // Leaves the process running: an instance stays open for the user.
    ~OfficeInstance();

    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }
    OfficeProcess& process() { return *process_; }
    const std::string& pipe() const { return pipe_; }
    bool headless() const { return headless_; }

    // Waits up to `timeout` for the process to end, ends it by force after that, and
    // removes the private profile folder.
    void finish(std::chrono::milliseconds timeout);
    // Gives up the process, left running for the user; the instance is unusable afterwards.
    std::unique_ptr<OfficeProcess> release();

private:
    void discardProfile();
    // The profile folder (with the instance's temporary files) and the pipe sockets: what
    // an instance that is killed would leave.
    std::vector<std::string> leftovers() const;
    void removeLeftovers();

    std::string profileFolder_;
    std::string pipe_;
    bool headless_;
    std::unique_ptr<OfficeProcess> process_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

}  // namespace tabwright
