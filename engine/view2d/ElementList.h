#pragma once
// The 2D view's drawing list: its elements (TDD_Type) kept in little room
// and given back field for field as they were added. Most elements of a run
// start where the one before ended and take their colour and cutter radius
// from the element before: each keeps its kind, line and end point, an arc
// its centre, sweep and radius besides (its box is centre +- radius), and
// colour and cutter radius are kept once for each stretch of elements that
// share them. Any other element is kept whole.

#include "engine/core/data_types.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace orv {

class TElementList {
public:
    TElementList() = default;
    explicit TElementList(const std::vector<TDD_Type> &Elements);

    size_t size() const { return FEntries.size(); }
    bool empty() const { return FEntries.empty(); }
    // The element as it was added (a copy made from what is kept).
    TDD_Type operator[](size_t Index) const;
    TDD_Type front() const { return (*this)[0]; }
    TDD_Type back() const { return (*this)[size() - 1]; }
    void push_back(const TDD_Type &Element);
    void clear();
    // Bytes the list holds, reserve included.
    size_t MemoryBytes() const;
    // Visit(Element) for each element, front to back (quicker than indexing
    // each: the stretches of colour are walked along).
    template <class F> void ForEach(F &&Visit) const
    {
        size_t Run = 0;
        for (size_t Index = 0; Index < FEntries.size(); ++Index) {
            while (Run + 1 < FRuns.size() && FRuns[Run + 1].First <= Index)
                ++Run;
            Visit(Make(Index, FRuns[Run]));
        }
    }

    // Front to back; an element is made as it is read.
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TDD_Type;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TDD_Type;

        const_iterator() = default;
        const_iterator(const TElementList *List, size_t At) : FList(List), FAt(At) {}
        TDD_Type operator*() const { return (*FList)[FAt]; }
        const_iterator &operator++()
        {
            ++FAt;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator Was = *this;
            ++FAt;
            return Was;
        }
        bool operator==(const const_iterator &Other) const { return FAt == Other.FAt; }
        bool operator!=(const const_iterator &Other) const { return FAt != Other.FAt; }
        difference_type operator-(const const_iterator &Other) const
        {
            return static_cast<difference_type>(FAt) - static_cast<difference_type>(Other.FAt);
        }

    private:
        const TElementList *FList = nullptr;
        size_t FAt = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // Where the rest of an entry's element is kept.
    enum TForm : uint8_t { fmStraight, fmArc, fmWhole };
    // The point where the element leaves the tool, and its kind, line and
    // form; Extra indexes FArcs (fmArc) or FWhole (fmWhole).
    struct TEntry {
        double ToX, ToY, ToZ;
        int32_t LineNumber;
        uint32_t Extra;
        uint8_t Kind;
        TForm Form;
    };
    struct TArcData {
        double CentreX, CentreY, Sweep, Radius;
    };
    // Colour and cutter radius from element First on.
    struct TRun {
        size_t First;
        int32_t Colour;
        double CutterRadius;
    };

    const TRun &RunOf(size_t Index) const;
    TDD_Type Make(size_t Index, const TRun &Run) const;

    std::vector<TEntry> FEntries;
    std::vector<TArcData> FArcs;
    std::vector<TDD_Type> FWhole;
    std::vector<TRun> FRuns;
};

} // namespace orv
