// An instance's positions, one a tick from the first: what a run's record
// holds most of. Each costs 8 bytes, in blocks that never move (a long run
// grows without copying what it has, and a short one takes a small block),
// the ticks implied by the places and the few positions the game set kept
// apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace standin {

class Track {
public:
    struct Point {
        int64_t tick;
        int32_t x, y;
        bool placed;  // the game put it here
    };

    Track() = default;
    Track(const Track& other);
    Track& operator=(const Track& other);
    Track(Track&&) noexcept = default;
    Track& operator=(Track&&) noexcept = default;
    ~Track() = default;

    // The position of the next tick (the first sets the track's first tick).
    void push(int64_t tick, int32_t x, int32_t y, bool placed = false);
    void clear() { *this = Track(); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    int64_t firstTick() const { return first_; }
    Point operator[](size_t k) const;
    Point front() const { return (*this)[0]; }
    Point back() const { return (*this)[size_ - 1]; }
    // Where the position of `tick` is, size() when the track has none.
    size_t indexOf(int64_t tick) const;

    // The positions of ticks `from` to `to`, both included.
    Track slice(int64_t from, int64_t to) const;

    class Iterator {
    public:
        Iterator(const Track& track, size_t k) : track_(&track), k_(k) {}
        Point operator*() const { return (*track_)[k_]; }
        Iterator& operator++() {
            ++k_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return k_ != other.k_; }

    private:
        const Track* track_;
        size_t k_;
    };
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size_}; }

private:
    struct Place {
        int32_t x, y;
    };
    // Blocks of 16, 32, ... 512 places, then of 1024 each.
    static constexpr size_t kFirstBlock = 16, kGrowingBlocks = 6, kBlock = 1024;
    static constexpr size_t kGrown = kFirstBlock * ((size_t{1} << kGrowingBlocks) - 1);  // places in the growing blocks
    static size_t blockOf(size_t k);
    static size_t startOf(size_t block);
    static size_t sizeOf(size_t block);

    std::vector<std::unique_ptr<Place[]>> blocks_;
    std::vector<uint32_t> placed_;  // indices of the positions the game set, ascending
    size_t size_ = 0;
    int64_t first_ = 0;
};

}  // namespace standin
