#include "tabwright/emulator/emulator_pacer.h"

#include <algorithm>
#include <utility>

namespace tabwright {

EmulatorPacer::EmulatorPacer(SteadyClock& clock, std::function<void(std::string)> say)
    : clock_(clock), say_(std::move(say))
{
}

void EmulatorPacer::start()
{
    started_ = clock_.now();
    passed_ = 0;
}

std::int64_t EmulatorPacer::dueByNow()
{
    const auto elapsed = clock_.now() - started_;
    return elapsed.count() < 0 ? 0 : elapsed / kOutputInterval;
}

std::optional<std::string> EmulatorPacer::tick(InstrumentModel* model)
{
    const std::int64_t due = dueByNow();
    if (model == nullptr) {
        passed_ = std::max(passed_, due);
        return std::nullopt;
    }
    std::optional<std::string> last;
    while (passed_ < due) {
        try {
            last = model->nextOutput();
        } catch (...) {
            passed_ = due;
            throw;
        }
        ++passed_;
        say_(*last);
    }
    return last;
}

}  // namespace tabwright
