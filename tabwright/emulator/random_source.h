#pragma once

namespace tabwright {

// Where the emulated instruments draw their readings from.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number uniform on [0, 1); never 1.
    virtual float nextUniform() = 0;
};

}  // namespace tabwright
