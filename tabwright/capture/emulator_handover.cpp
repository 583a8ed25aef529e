#include "tabwright/capture/emulator_handover.h"

namespace tabwright {

void EmulatorHandover::clearInjectSingleTab()
{
    injectSingleTab_ = false;
    if (injectSingleTabCleared_)
        injectSingleTabCleared_();
}

}  // namespace tabwright
