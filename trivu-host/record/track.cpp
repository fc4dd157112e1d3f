#include "trivu-host/record/track.h"

#include <algorithm>
#include <bit>

namespace standin {

size_t Track::blockOf(size_t k) {
    if (k < kGrown) return static_cast<size_t>(std::bit_width(k / kFirstBlock + 1)) - 1;
    return kGrowingBlocks + (k - kGrown) / kBlock;
}

size_t Track::startOf(size_t block) {
    if (block < kGrowingBlocks) return kFirstBlock * ((size_t{1} << block) - 1);
    return kGrown + (block - kGrowingBlocks) * kBlock;
}

size_t Track::sizeOf(size_t block) { return block < kGrowingBlocks ? kFirstBlock << block : kBlock; }

Track::Track(const Track& other) : placed_(other.placed_), size_(other.size_), first_(other.first_) {
    for (size_t b = 0; b < other.blocks_.size(); ++b) {
        blocks_.push_back(std::make_unique<Place[]>(sizeOf(b)));
        std::copy_n(other.blocks_[b].get(), sizeOf(b), blocks_[b].get());
    }
}

Track& Track::operator=(const Track& other) {
    if (this != &other) *this = Track(other);
    return *this;
}

void Track::push(int64_t tick, int32_t x, int32_t y, bool placed) {
    if (size_ == 0) first_ = tick;
    const size_t block = blockOf(size_);
    if (block == blocks_.size()) blocks_.push_back(std::make_unique<Place[]>(sizeOf(block)));
    blocks_[block][size_ - startOf(block)] = {x, y};
    if (placed) placed_.push_back(static_cast<uint32_t>(size_));
    ++size_;
}

Track::Point Track::operator[](size_t k) const {
    const size_t block = blockOf(k);
    const Place& at = blocks_[block][k - startOf(block)];
    const bool placed = !placed_.empty() && std::binary_search(placed_.begin(), placed_.end(), static_cast<uint32_t>(k));
    return {first_ + static_cast<int64_t>(k), at.x, at.y, placed};
}

size_t Track::indexOf(int64_t tick) const {
    if (size_ == 0 || tick < first_ || tick - first_ >= static_cast<int64_t>(size_)) return size_;
    return static_cast<size_t>(tick - first_);
}

Track Track::slice(int64_t from, int64_t to) const {
    Track out;
    if (size_ == 0) return out;
    const int64_t last = first_ + static_cast<int64_t>(size_) - 1;
    for (int64_t tick = std::max(from, first_); tick <= std::min(to, last); ++tick) {
        const Point p = (*this)[static_cast<size_t>(tick - first_)];
        out.push(p.tick, p.x, p.y, p.placed);
    }
    return out;
}

}  // namespace standin
