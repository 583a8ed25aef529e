#include "tabwright/emulator/emulated_instruments.h"

namespace tabwright {

EmulatedInstruments::EmulatedInstruments()
{
    k7rx.reset();
    vq480.reset();
}

}  // namespace tabwright
