#pragma once

#include <QProcess>

namespace testing_support {

// Another program that has a COM port open, as a terminal program or a
// second copy of Logfetch would: a child process opens the port through the
// serial service (with the COM numbers mapped as in this process) and holds
// it until the object goes. Throws std::runtime_error when the child cannot
// open the port.
class PortHolder {
public:
    explicit PortHolder(int portNumber);
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

private:
    QProcess process_;
};

}  // namespace testing_support
