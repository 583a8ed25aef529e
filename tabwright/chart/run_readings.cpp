#include "tabwright/chart/run_readings.h"

namespace tabwright {

void RunReadings::restart()
{
    readings_.clear();
    extraction_ = std::make_unique<ReadingsFromRows>(readings_, clock_);
}

}  // namespace tabwright
