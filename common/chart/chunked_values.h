#pragma once

#include <cstddef>
#include <vector>

namespace common {

// Values appended one by one and read by index, held in chunks of kChunk so that growing
// never moves those already held: a series of millions of readings grows without copying
// itself over and over. The first chunk grows as a vector does, so a short series holds
// little; every later chunk is a whole kChunk from the start.
template <typename T>
class ChunkedValues {
public:
    static constexpr std::size_t kChunk = std::size_t{1} << 16;

    void push_back(T value)
    {
        if (chunks_.empty() || chunks_.back().size() == kChunk) {
            chunks_.emplace_back();
            if (chunks_.size() > 1)
                chunks_.back().reserve(kChunk);
        }
        chunks_.back().push_back(value);
        ++size_;
    }
    T operator[](std::size_t index) const { return chunks_[index / kChunk][index % kChunk]; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear()
    {
        chunks_.clear();
        size_ = 0;
    }
    // The last `count` values, where they lie together: `count` must divide kChunk and the
    // size.
    const T* last(std::size_t count) const { return chunks_.back().data() + chunks_.back().size() - count; }
    // Bytes held, room for growth included.
    std::size_t bytesHeld() const
    {
        std::size_t bytes = chunks_.capacity() * sizeof(std::vector<T>);
        for (const std::vector<T>& chunk : chunks_)
            bytes += chunk.capacity() * sizeof(T);
        return bytes;
    }

private:
    std::vector<std::vector<T>> chunks_;
    std::size_t size_ = 0;
};

}  // namespace common
