#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logfetch/convert/byte_source.h"
#include "logfetch/convert/line_sink.h"

namespace testing_support {

// A .BIN held in memory, handed out one byte at a time.
class MemoryByteSource : public logfetch::ByteSource {
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    MemoryByteSource(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}

    int next() override { return position_ < bytes_.size() ? bytes_[position_++] : kEnd; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Keeps the lines as one text with CR LF ends, as the file would hold them.
class TextLineSink : public logfetch::LineSink {
public:
    void writeLine(std::string_view line) override { text.append(line).append("\r\n"); }
    std::string text;
};

}  // namespace testing_support
