#pragma once

namespace logfetch {

// Bytes of a .BIN, taken one at a time in order. A read failure throws
// ConversionError.
class ByteSource {
public:
    static constexpr int kEnd = -1;

    virtual ~ByteSource() = default;
    // 0..255, or kEnd once the input has run out.
    virtual int next() = 0;
};

}  // namespace logfetch
