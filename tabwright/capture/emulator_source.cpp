#include "tabwright/capture/emulator_source.h"

#include "tabwright/capture/single_tab.h"

namespace tabwright {

std::string EmulatorSource::takePendingText()
{
    if (!open_)
        return {};
    std::string output = std::exchange(pendingOutput_, {});
    if (output.empty() || !injectSingleTab_)
        return output;
    clearInjectSingleTab();
    return injectSingleTab(output);
}

void EmulatorSource::clearInjectSingleTab()
{
    injectSingleTab_ = false;
    if (injectSingleTabCleared_)
        injectSingleTabCleared_();
}

}  // namespace tabwright
