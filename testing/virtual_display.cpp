#include "testing/virtual_display.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace testing_support {

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a free display number itself and writes it to the descriptor it is given.
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("no pipe for Xvfb");
    server_ = fork();
    if (server_ == 0) {
        // A test that dies must not leave its display running: it would hold the test's
        // output open, and the test runner would wait for it until its timeout.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(pipeEnds[0]);
        const std::string descriptor = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    if (server_ < 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start Xvfb");
    }
    std::string number;
    char digit = 0;
    while (read(pipeEnds[0], &digit, 1) == 1 && digit != '\n')
        number += digit;
    close(pipeEnds[0]);
    if (number.empty()) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
        throw std::runtime_error("Xvfb did not start (is the xvfb package installed?)");
    }
    name_ = ":" + number;
    if (const char* former = std::getenv("DISPLAY"))
        formerDisplay_ = former;
    setenv("DISPLAY", name_.c_str(), 1);
}

VirtualDisplay::~VirtualDisplay()
{
    if (formerDisplay_)
        setenv("DISPLAY", formerDisplay_->c_str(), 1);
    else
        unsetenv("DISPLAY");
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
}

bool VirtualDisplay::hasWindowTitled(const std::string& title) const
{
    const std::string command = "xwininfo -display " + name_ + " -root -tree 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> listing(popen(command.c_str(), "r"), pclose);
    if (!listing)
        return false;
    // Each window's line holds its title in double quotes.
    const std::string quoted = "\"" + title + "\"";
    std::array<char, 4096> line{};
    bool found = false;
    while (std::fgets(line.data(), static_cast<int>(line.size()), listing.get()) != nullptr)
        found = found || std::string(line.data()).find(quoted) != std::string::npos;
    return found;
}

}  // namespace testing_support
