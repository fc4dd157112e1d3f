// The JSON value of every document: insertion order of object members is kept,
// and a member is found without walking the others.
#pragma once

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace trivu {

// The members of an object, in the order they were given: the order dump,
// MessagePack and the debug text show, as nlohmann's ordered_map keeps it (a
// key given twice keeps its first place; an erase keeps the others' order).
// A game looks words up in dictionaries of 200,000 members every frame, so
// past a few members a hash index of positions finds a key, and a lookup
// costs the same at any size.
//
// The vector is held, not inherited: every change passes through here, so the
// index never names a member that moved. Either there is no index (few
// members, or members being loaded) or it names every member exactly once.
// The keys are the JSON library's strings, read as string_views.
//
// The vector holds pair<Key, T>, whose move cannot throw, so an object that
// grows moves its members (a copied member would be its whole subtree) and an
// erase cannot fail half-way. The iterators show each member as a
// MemberView: the key read-only (a changed key would leave the index behind)
// and the value as a reference. A view is a value, not a reference: iterate
// with `const auto&` or `auto&&`, never `auto&`.
template <class Key, class T, class IgnoredLess = std::less<Key>,
          class Allocator = std::allocator<std::pair<const Key, T>>>
class IndexedMembers {
    using Stored = std::pair<Key, T>;
    using Container = std::vector<Stored, typename std::allocator_traits<Allocator>::template rebind_alloc<Stored>>;

public:
    using key_type = Key;
    using mapped_type = T;
    using value_type = std::pair<const Key, T>;
    using size_type = typename Container::size_type;
    using difference_type = typename Container::difference_type;
    using allocator_type = Allocator;
    using key_compare = std::equal_to<>;

    // A member seen through an iterator.
    template <bool IsConst>
    struct MemberView {
        const Key& first;
        std::conditional_t<IsConst, const T, T>& second;
        // A copy of the member, where a value_type is asked for.
        operator value_type() const { return {first, second}; }
        const MemberView* operator->() const noexcept { return this; }
    };

    template <bool IsConst>
    class Iterator {
        using Slot = std::conditional_t<IsConst, const Stored, Stored>;

    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = IndexedMembers::value_type;
        using difference_type = std::ptrdiff_t;
        using reference = MemberView<IsConst>;
        using pointer = MemberView<IsConst>;  // it->first reads through the view's own ->

        Iterator() = default;
        explicit Iterator(Slot* at) noexcept : at_(at) {}
        operator Iterator<true>() const noexcept { return Iterator<true>(at_); }

        reference operator*() const noexcept { return {at_->first, at_->second}; }
        pointer operator->() const noexcept { return **this; }
        reference operator[](difference_type n) const noexcept { return *(*this + n); }

        Iterator& operator++() noexcept { return ++at_, *this; }
        Iterator& operator--() noexcept { return --at_, *this; }
        Iterator operator++(int) noexcept { return Iterator(at_++); }
        Iterator operator--(int) noexcept { return Iterator(at_--); }
        Iterator& operator+=(difference_type n) noexcept { return at_ += n, *this; }
        Iterator& operator-=(difference_type n) noexcept { return at_ -= n, *this; }
        friend Iterator operator+(Iterator it, difference_type n) noexcept { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) noexcept { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) noexcept { return it -= n; }
        friend difference_type operator-(Iterator a, Iterator b) noexcept { return a.at_ - b.at_; }
        friend bool operator==(Iterator a, Iterator b) noexcept { return a.at_ == b.at_; }
        friend auto operator<=>(Iterator a, Iterator b) noexcept { return a.at_ <=> b.at_; }

    private:
        Slot* at_ = nullptr;
    };

    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;
    using reference = MemberView<false>;
    using const_reference = MemberView<true>;

    // Up to this many members a scan is as quick as a hash.
    static constexpr size_type kIndexFrom = 8;

    IndexedMembers() = default;
    explicit IndexedMembers(const Allocator& alloc) : members_(alloc) {}
    template <class It>
    IndexedMembers(It first, It last, const Allocator& alloc = Allocator()) : members_(alloc) {
        insert(first, last);
    }
    IndexedMembers(std::initializer_list<value_type> init, const Allocator& alloc = Allocator()) : members_(alloc) {
        insert(init.begin(), init.end());
    }
    // The positions stay those of the copy's members: the index is copied.
    IndexedMembers(const IndexedMembers&) = default;
    IndexedMembers(IndexedMembers&&) noexcept = default;
    IndexedMembers& operator=(const IndexedMembers& other) {
        IndexedMembers copy(other);  // a failed copy leaves this one as it was
        swap(copy);
        return *this;
    }
    IndexedMembers& operator=(IndexedMembers&&) noexcept = default;
    ~IndexedMembers() = default;

    void swap(IndexedMembers& other) noexcept {
        members_.swap(other.members_);
        slots_.swap(other.slots_);
    }

    iterator begin() noexcept { return iterator(members_.data()); }
    iterator end() noexcept { return iterator(members_.data() + members_.size()); }
    const_iterator begin() const noexcept { return const_iterator(members_.data()); }
    const_iterator end() const noexcept { return const_iterator(members_.data() + members_.size()); }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }
    size_type size() const noexcept { return members_.size(); }
    bool empty() const noexcept { return members_.empty(); }
    size_type max_size() const noexcept { return members_.max_size(); }
    // Also how the JSON library tells a vector of members from a tree.
    size_type capacity() const noexcept { return members_.capacity(); }
    // Whether lookups go through the index: always past kIndexFrom members,
    // once the loader has settled them.
    bool indexed() const noexcept { return !slots_.empty(); }

    void clear() noexcept {
        members_.clear();
        std::vector<uint32_t>().swap(slots_);
    }

    // ---- The JSON library's interface (that of nlohmann::ordered_map) ----

    template <class K>
    using IfKey = nlohmann::detail::enable_if_t<
        nlohmann::detail::is_usable_as_key_type<key_compare, key_type, K>::value, int>;

    std::pair<iterator, bool> emplace(const key_type& key, T&& value) { return add(key, std::move(value)); }
    template <class K, IfKey<K> = 0>
    std::pair<iterator, bool> emplace(K&& key, T&& value) {
        return add(std::forward<K>(key), std::move(value));
    }
    std::pair<iterator, bool> insert(value_type&& member) { return add(member.first, std::move(member.second)); }
    std::pair<iterator, bool> insert(const value_type& member) { return add(member.first, member.second); }
    template <class InputIt, typename = std::enable_if_t<std::is_convertible_v<
                                  typename std::iterator_traits<InputIt>::iterator_category, std::input_iterator_tag>>>
    void insert(InputIt first, InputIt last) {
        for (; first != last; ++first) {
            const auto& member = *first;  // a pair, or a view of another object's member
            add(member.first, member.second);
        }
    }

    T& operator[](const key_type& key) { return add(key, T{}).first->second; }
    template <class K, IfKey<K> = 0>
    T& operator[](K&& key) {
        return add(std::forward<K>(key), T{}).first->second;
    }

    size_type count(const key_type& key) const { return position(key) != size() ? 1 : 0; }
    template <class K, IfKey<K> = 0>
    size_type count(K&& key) const {
        return position(key) != size() ? 1 : 0;
    }

    iterator find(const key_type& key) { return begin() + static_cast<difference_type>(position(key)); }
    template <class K, IfKey<K> = 0>
    iterator find(K&& key) {
        return begin() + static_cast<difference_type>(position(key));
    }
    const_iterator find(const key_type& key) const { return begin() + static_cast<difference_type>(position(key)); }
    template <class K, IfKey<K> = 0>
    const_iterator find(K&& key) const {
        return begin() + static_cast<difference_type>(position(key));
    }

    // An erase cannot fail: members move back by move assignment, which
    // cannot throw, and the index is mended in place.
    size_type erase(const key_type& key) noexcept { return eraseKey(key); }
    template <class K, IfKey<K> = 0>
    size_type erase(K&& key) noexcept {
        return eraseKey(key);
    }
    iterator erase(iterator at) noexcept { return erase(at, std::next(at)); }
    iterator erase(iterator first, iterator last) noexcept {
        static_assert(std::is_nothrow_move_assignable_v<Stored>, "an erase must not fail half-way");
        const difference_type offset = first - begin(), count = last - first;
        if (count == 0) return first;
        if (count == 1) unindex(static_cast<size_type>(offset));
        members_.erase(members_.begin() + offset, members_.begin() + offset + count);
        if (count > 1) reindex();
        return begin() + offset;
    }

    friend bool operator==(const IndexedMembers& a, const IndexedMembers& b) { return a.members_ == b.members_; }
    friend auto operator<=>(const IndexedMembers& a, const IndexedMembers& b) { return a.members_ <=> b.members_; }

    // ---- The loader's road ----

    // Appends without a lookup (a file's n members would cost n lookups each
    // growing the index); the members are unindexed, and a key may appear
    // twice, until settleAppended().
    T& appendUnchecked(key_type&& key, T&& value) {
        std::vector<uint32_t>().swap(slots_);
        members_.emplace_back(std::move(key), std::move(value));
        return members_.back().second;
    }

    // Merges a key given twice as the library's own builder does (its first
    // place, its last value), then indexes the members.
    void settleAppended() {
        if (size() > kIndexFrom ? buildIndex() : !hasRepeatedKey()) return;
        IndexedMembers merged;
        merged.members_.reserve(size());
        for (Stored& member : members_) {
            const auto [at, added] = merged.add(std::move(member.first), std::move(member.second));
            // A key met before keeps its place; its value is the last one given
            // (the moved key of this member was not taken).
            if (!added) at->second = std::move(member.second);
        }
        swap(merged);
    }

private:
    static size_t hashOf(std::string_view key) noexcept { return std::hash<std::string_view>{}(key); }

    // The slot count that keeps the table at most half full.
    static size_t slotsFor(size_type members) {
        size_t slots = 16;
        while (slots / 2 < members) slots *= 2;
        return slots;
    }

    size_t mask() const noexcept { return slots_.size() - 1; }

    // Where `key` is, or size() when no member has it.
    size_type position(std::string_view key) const noexcept {
        if (slots_.empty()) {
            for (size_type i = 0; i < members_.size(); ++i)
                if (members_[i].first == key) return i;
            return members_.size();
        }
        for (size_t slot = hashOf(key) & mask(); slots_[slot] != 0; slot = (slot + 1) & mask())
            if (members_[slots_[slot] - 1].first == key) return slots_[slot] - 1;
        return members_.size();
    }

    bool hasRepeatedKey() const noexcept {
        for (size_type i = 1; i < members_.size(); ++i)
            for (size_type j = 0; j < i; ++j)
                if (members_[i].first == members_[j].first) return true;
        return false;
    }

    // Records member `at` in the table, which has room.
    void place(size_type at) noexcept {
        size_t slot = hashOf(members_[at].first) & mask();
        while (slots_[slot] != 0) slot = (slot + 1) & mask();
        slots_[slot] = static_cast<uint32_t>(at + 1);
    }

    // Indexes every member, unless a key is there twice (then nothing is
    // indexed and it answers false).
    bool buildIndex() {
        std::vector<uint32_t> table(slotsFor(size()));
        table.swap(slots_);
        for (size_type i = 0; i < members_.size(); ++i) {
            if (position(members_[i].first) != members_.size()) {
                std::vector<uint32_t>().swap(slots_);
                return false;
            }
            place(i);
        }
        return true;
    }

    // Indexes the members again in the table as it is: no allocation, so a
    // range erase cannot leave the index behind the members (and a table
    // grown by add() is filled the same way).
    void reindex() noexcept {
        if (slots_.empty()) return;
        std::fill(slots_.begin(), slots_.end(), 0);
        for (size_type i = 0; i < members_.size(); ++i) place(i);
    }

    // Takes member `at` out of the table before it leaves the vector: the
    // slots after it in its run move back where a lookup still finds them,
    // and the members after it are one place nearer.
    void unindex(size_type at) noexcept {
        if (slots_.empty()) return;
        size_t hole = hashOf(members_[at].first) & mask();
        while (slots_[hole] != at + 1) hole = (hole + 1) & mask();
        for (size_t slot = (hole + 1) & mask(); slots_[slot] != 0; slot = (slot + 1) & mask()) {
            const size_t home = hashOf(members_[slots_[slot] - 1].first) & mask();
            const bool between = hole <= slot ? hole < home && home <= slot : hole < home || home <= slot;
            if (between) continue;  // its home is past the hole: it stays
            slots_[hole] = slots_[slot];
            hole = slot;
        }
        slots_[hole] = 0;
        for (uint32_t& slot : slots_)
            if (slot > at + 1) --slot;
    }

    template <class K, class V>
    std::pair<iterator, bool> add(K&& key, V&& value) {
        const size_type at = position(key);
        if (at != size()) return {begin() + static_cast<difference_type>(at), false};
        // The table grows first: if that fails, nothing has changed.
        const size_type count = size() + 1;
        if (count > kIndexFrom && (slots_.empty() || count > slots_.size() / 2)) {
            std::vector<uint32_t>(slotsFor(count)).swap(slots_);
            reindex();
        }
        members_.emplace_back(std::forward<K>(key), std::forward<V>(value));
        if (!slots_.empty()) place(size() - 1);
        return {std::prev(end()), true};
    }

    template <class K>
    size_type eraseKey(const K& key) noexcept {
        const size_type at = position(key);
        if (at == size()) return 0;
        erase(begin() + static_cast<difference_type>(at));
        return 1;
    }

    Container members_;
    std::vector<uint32_t> slots_;  // 0 for a free slot, else a member's position + 1
};

using Json = nlohmann::basic_json<IndexedMembers>;

// Null, an object without members and an array without elements are empty;
// every other value (the empty string, 0, false included) is not.
inline bool isEmpty(const Json& value) {
    return value.is_null() || ((value.is_object() || value.is_array()) && value.empty());
}

}  // namespace trivu
