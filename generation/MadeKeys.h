#pragma once

// The problems a distinct run has made, by key: open addressing in one
// array, so that a look-up costs one trip to memory where a run's tens of
// thousands of them no longer fit the cache, and no problem allocates.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace sumlark {

// Every bit of a key moves the low bits the slot is taken from: a problem's
// key holds its operands in fields high up, which a multiplication alone
// would leave out of them.
inline std::size_t spreadKey(std::uint64_t key)
{
    key = (key ^ key >> 30) * 0xBF58476D1CE4E5B9u;
    key = (key ^ key >> 27) * 0x94D049BB133111EBu;
    return std::size_t(key ^ key >> 31);
}

inline std::size_t spreadKey(const std::pair<std::uint64_t, std::uint64_t>& key)
{
    return spreadKey(key.first * 0x9E3779B97F4A7C15u ^ key.second);
}

template <typename Key>
class MadeKeys {
public:
    // Room for expected keys before the array grows.
    explicit MadeKeys(std::size_t expected = 0)
    {
        std::size_t capacity = 16;
        while (capacity < 2 * expected)
            capacity *= 2;
        slots_.resize(capacity);
    }

    // False where it was there already.
    bool insert(const Key& key)
    {
        std::size_t at = find(key);
        if (slots_[at].used)
            return false;
        if (2 * (size_ + 1) > slots_.size()) {
            std::vector<Slot> old(slots_.size() * 2);
            old.swap(slots_);
            for (const Slot& slot : old) {
                if (slot.used)
                    slots_[find(slot.key)] = slot;
            }
            at = find(key);
        }
        slots_[at] = {key, true};
        ++size_;
        return true;
    }
    bool contains(const Key& key) const { return slots_[find(key)].used; }

private:
    struct Slot {
        Key key{};
        bool used = false;
    };

    std::size_t find(const Key& key) const
    {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = spreadKey(key) & mask;
        while (slots_[i].used && slots_[i].key != key)
            i = (i + 1) & mask;
        return i;
    }

    std::vector<Slot> slots_; // a power of two, never more than half full
    std::size_t size_ = 0;
};

} // namespace sumlark
