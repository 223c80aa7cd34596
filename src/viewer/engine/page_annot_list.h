// PageAnnotList: the top-level annotations of one page in index order, with positions found
// and removals made in logarithmic time so that merging many comments into one page stays fast.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

#include "viewer/engine/annot_record.h"

namespace quill::engine {

class PageAnnotList {
    using Slots = std::vector<std::unique_ptr<AnnotRecord>>;

public:
    // Walks the annotations in index order, stepping over the places of removed ones.
    class Iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = std::unique_ptr<AnnotRecord>;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::unique_ptr<AnnotRecord>*;
        using reference = const std::unique_ptr<AnnotRecord>&;

        Iterator() = default;
        Iterator(const Slots* slots, size_t at) : slots_(slots), at_(at) { SkipForward(); }

        reference operator*() const { return (*slots_)[at_]; }
        pointer operator->() const { return &(*slots_)[at_]; }
        Iterator& operator++() {
            ++at_;
            SkipForward();
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        Iterator& operator--() {
            do --at_;
            while (at_ > 0 && !(*slots_)[at_]);
            return *this;
        }
        Iterator operator--(int) {
            Iterator before = *this;
            --*this;
            return before;
        }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }
        bool operator!=(const Iterator& other) const { return at_ != other.at_; }

    private:
        void SkipForward() {
            while (at_ < slots_->size() && !(*slots_)[at_]) ++at_;
        }
        const Slots* slots_ = nullptr;
        size_t at_ = 0;
    };
    using const_iterator = Iterator;
    using const_reverse_iterator = std::reverse_iterator<Iterator>;

    PageAnnotList() = default;
    PageAnnotList(PageAnnotList&&) noexcept = default;
    PageAnnotList& operator=(PageAnnotList&&) noexcept = default;
    PageAnnotList(const PageAnnotList&) = delete;
    PageAnnotList& operator=(const PageAnnotList&) = delete;

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    Iterator begin() const { return Iterator(&slots_, 0); }
    Iterator end() const { return Iterator(&slots_, slots_.size()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

    // The annotation at an index; nullptr when out of range.
    AnnotRecord* At(size_t index) const;
    // Index of an annotation held here; -1 when it is not.
    int IndexOf(const AnnotRecord* record) const;
    void PushBack(std::unique_ptr<AnnotRecord> record);
    // Takes the annotation out; those behind it move one index up. nullptr when not held here.
    std::unique_ptr<AnnotRecord> Take(const AnnotRecord* record);
    void Clear();

private:
    // Live annotations in slots 1..at (one-based, as the tree counts).
    size_t CountUpTo(size_t at) const;
    void Add(size_t at, int delta);
    // Drops the places of removed annotations once they outnumber the live ones.
    void Compact();

    Slots slots_;            // removed annotations leave an empty place behind
    std::vector<int> tree_;  // live annotations per slot range, one-based (tree_[0] unused)
    size_t count_ = 0;
};

}  // namespace quill::engine
