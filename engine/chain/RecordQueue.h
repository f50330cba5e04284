#pragma once
// A first-in first-out queue of block records for the stages' pending
// output: a ring of slots that are reused, so that a record passing through
// costs one copy in and one out, and no allocation once the ring has grown
// to the largest number of records a stage holds at once. Records taken out
// are left in their slots and overwritten whole by the next ones put in.

#include <cstddef>
#include <utility>
#include <vector>

namespace orv {

template <class T>
class TRecordQueue {
public:
    bool empty() const { return FCount == 0; }
    size_t size() const { return FCount; }
    T &front() { return FSlots[FHead]; }
    const T &front() const { return FSlots[FHead]; }

    T &back() { return FSlots[Index(FCount - 1)]; }
    T &operator[](size_t At) { return FSlots[Index(At)]; }
    const T &operator[](size_t At) const { return FSlots[Index(At)]; }

    // Front to back, for reading.
    class const_iterator {
    public:
        const_iterator(const TRecordQueue &Queue, size_t At) : FQueue(&Queue), FAt(At) {}
        const T &operator*() const { return (*FQueue)[FAt]; }
        const_iterator &operator++()
        {
            ++FAt;
            return *this;
        }
        bool operator!=(const const_iterator &Other) const { return FAt != Other.FAt; }

    private:
        const TRecordQueue *FQueue;
        size_t FAt;
    };
    const_iterator begin() const { return const_iterator(*this, 0); }
    const_iterator end() const { return const_iterator(*this, FCount); }

    // A fresh record (as T() makes it) at the back; a record with a Reset
    // is reset in its slot.
    T &emplace_back()
    {
        Grow();
        T &slot = FSlots[Index(FCount)];
        if constexpr (requires { slot.Reset(); })
            slot.Reset(); // in place, as a new record
        else
            slot = T();
        ++FCount;
        return slot;
    }

    // A slot at the back as the record last taken out of it left it, for a
    // caller that fills it whole.
    T &push_back_reused()
    {
        Grow();
        T &slot = FSlots[Index(FCount)];
        ++FCount;
        return slot;
    }

    // Item must not be a record of this queue.
    void push_back(const T &Item)
    {
        Grow();
        FSlots[Index(FCount)] = Item;
        ++FCount;
    }
    void push_back(T &&Item)
    {
        Grow();
        FSlots[Index(FCount)] = std::move(Item);
        ++FCount;
    }
    void pop_front()
    {
        FHead = Index(1);
        --FCount;
    }
    void clear()
    {
        FHead = 0;
        FCount = 0;
    }
    // At least Count slots, so that a queue holding fewer than Count records
    // refills the slot of the one last taken out only after Count - 1 more
    // were put in (the records move when the slots grow).
    void reserve(size_t Count)
    {
        if (FSlots.size() >= Count)
            return;
        std::vector<T> slots(Count);
        for (size_t i = 0; i < FCount; ++i)
            slots[i] = std::move(FSlots[Index(i)]);
        FSlots.swap(slots);
        FHead = 0;
    }

private:
    size_t Index(size_t At) const
    {
        size_t slot = FHead + At;
        return slot >= FSlots.size() ? slot - FSlots.size() : slot;
    }
    void Grow()
    {
        if (FCount < FSlots.size())
            return;
        std::vector<T> slots(FSlots.empty() ? 4 : 2 * FSlots.size());
        for (size_t i = 0; i < FCount; ++i)
            slots[i] = std::move(FSlots[Index(i)]);
        FSlots.swap(slots);
        FHead = 0;
    }

    std::vector<T> FSlots;
    size_t FHead = 0;
    size_t FCount = 0;
};

} // namespace orv
