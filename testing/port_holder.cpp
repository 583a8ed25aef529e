#include "testing/port_holder.h"

#include <stdexcept>
#include <string>

#include "testing/event_loop.h"

namespace testing_support {

namespace {

constexpr int kWaitMilliseconds = 10000;

}  // namespace

PortHolder::PortHolder(int portNumber)
{
    ensureCoreApplication();
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(HOLD_SERIAL_PORT_PROGRAM), {QString::number(portNumber)});
    // "open" comes once the port is held; an early end means it could not be.
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(kWaitMilliseconds)) {
            process_.kill();
            process_.waitForFinished(kWaitMilliseconds);
            throw std::runtime_error("the holding program could not open COM" + std::to_string(portNumber));
        }
    }
}

PortHolder::~PortHolder()
{
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kWaitMilliseconds)) {
        process_.kill();
        process_.waitForFinished(kWaitMilliseconds);
    }
}

}  // namespace testing_support
