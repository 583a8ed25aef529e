#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tabwright {

// Text read where it lies, at any offset: a journal on the disk, or text in memory.
class RecordedText {
public:
    virtual ~RecordedText() = default;
    // The bytes there are.
    virtual std::int64_t size() const = 0;
    // Adds up to `count` bytes from `offset` on to the end of `into` and returns how many;
    // fewer only at the end. Throws std::runtime_error when they cannot be read.
    virtual std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) = 0;
};

// Text held in memory, for text that is small or made on the spot.
class TextInMemory final : public RecordedText {
public:
    explicit TextInMemory(std::string text) : text_(std::move(text)) {}
    std::int64_t size() const override { return static_cast<std::int64_t>(text_.size()); }
    std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) override;

private:
    std::string text_;
};

// The run's queue between its source and its sheet: every byte the source gave, in order,
// kept where it outlives the program (the run's journal; for a replay, the journal being
// replayed). The parser reads it back at its own pace, so a backlog waits on the disk and
// not in memory.
// Its size is the bytes appended so far.
class TextQueue : public RecordedText {
public:
    // Adds bytes just taken from the source at the end.
    virtual void append(std::string_view bytes) = 0;
};

}  // namespace tabwright
