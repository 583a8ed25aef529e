#include "logfetch/testing/simulated_instrument.h"

#include <stdexcept>
#include <utility>

#include "logfetch/testing/bin_builder.h"

namespace testing_support {

std::uint8_t checkByteOf(std::string_view block)
{
    unsigned sum = 0;
    for (char c : block)
        sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>(sum % 256);
}

SimulatedInstrument::SimulatedInstrument(InstrumentScript script) : silentAfter_(script.silentAfter)
{
    plan(script);
}

void SimulatedInstrument::plan(const InstrumentScript& script)
{
    Step opening;
    for (const std::string& line : script.textLines)
        opening.send += line + "\r\n";
    opening.send += script.beforeSync + script.sync;
    opening.echo = script.sync;
    steps_.push_back(std::move(opening));

    // Each block goes out with its check byte and waits for that byte back.
    // The last block's check byte is the closing byte; when the data end on a
    // block boundary the PC echoes it twice, as check byte and closing byte.
    const std::string& data = script.data;
    for (std::size_t start = 0, block = 1; start < data.size(); start += kBlockSize, ++block) {
        const std::string piece = data.substr(start, kBlockSize);
        const bool last = start + kBlockSize >= data.size();
        std::uint8_t check = checkByteOf(piece);
        if (static_cast<int>(block) == script.badCheckByteBlock)
            ++check;
        Step step{piece, {}};
        if (!last || script.closingByte) {
            step.send.push_back(static_cast<char>(check));
            step.echo.push_back(static_cast<char>(check));
        }
        if (last && script.closingByte && piece.size() == kBlockSize)
            step.echo.push_back(static_cast<char>(check));
        steps_.push_back(std::move(step));
    }
}

std::optional<std::uint8_t> SimulatedInstrument::nextByte()
{
    if (!awaited_.empty() || steps_.empty() || (silentAfter_ && sent_ >= *silentAfter_))
        return std::nullopt;
    Step& step = steps_.front();
    const auto byte = static_cast<std::uint8_t>(step.send[offset_++]);
    ++sent_;
    if (offset_ == step.send.size()) {
        awaited_ = std::move(step.echo);
        steps_.pop_front();
        offset_ = 0;
    }
    return byte;
}

void SimulatedInstrument::received(std::uint8_t byte)
{
    fromPc_.push_back(static_cast<char>(byte));
    if (awaited_.empty())
        return;  // not listening while it talks
    if (static_cast<std::uint8_t>(awaited_.front()) != byte) {
        faults_.push_back("echo " + std::to_string(byte) + " from the PC after " + std::to_string(sent_) +
                          " bytes sent");
        steps_.clear();  // a confused instrument stops talking
        awaited_.clear();
        return;
    }
    awaited_.erase(0, 1);
}

bool SimulatedInstrument::done() const
{
    return steps_.empty() && awaited_.empty() && faults_.empty();
}

std::string makeDataLog(std::size_t length)
{
    constexpr std::size_t kFrame = 21 + kEndMarker.size();
    if (length < kFrame)
        throw std::invalid_argument("a data log holds at least its header and end marker");
    BinBuilder bin = BinBuilder::interval(1);
    bin.header({});
    std::size_t left = length - kFrame;
    for (int digits = 0; left >= 2; left -= 2, digits = (digits + 7) % 1024)
        bin.reading2(digits % 3 == 0, digits % 4, digits);
    if (left == 1)
        bin.raw({0x01});
    bin.endMarker();
    const Bytes& bytes = bin.bytes();
    return {bytes.begin(), bytes.end()};
}

}  // namespace testing_support
