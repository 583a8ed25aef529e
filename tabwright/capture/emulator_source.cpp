#include "tabwright/capture/emulator_source.h"

#include "tabwright/capture/single_tab.h"

namespace tabwright {

void EmulatorSource::turnOn()
{
    switchTo(true);
}

void EmulatorSource::turnOff()
{
    if (on_ && open_ && linkLost_)
        linkLost_(kEmulatorClosedReason);
    switchTo(false);
}

void EmulatorSource::switchTo(bool on)
{
    if (on_ == on)
        return;
    on_ = on;
    if (switched_)
        switched_();
}

void EmulatorSource::say(std::string output)
{
    if (!open_)
        outputs_.clear();
    outputs_.push_back(std::move(output));
}

std::string EmulatorSource::pendingText() const
{
    std::string text;
    for (const std::string& output : outputs_)
        text += output;
    return text;
}

std::string EmulatorSource::takePendingText()
{
    if (!open_ || outputs_.empty())
        return {};
    if (injectSingleTab_ && !outputs_.front().empty()) {
        outputs_.front() = injectSingleTab(outputs_.front());
        clearInjectSingleTab();
    }
    std::string text = pendingText();
    outputs_.clear();
    return text;
}

void EmulatorSource::clearInjectSingleTab()
{
    injectSingleTab_ = false;
    if (injectSingleTabCleared_)
        injectSingleTabCleared_();
}

}  // namespace tabwright
