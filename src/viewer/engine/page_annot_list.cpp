#include "viewer/engine/page_annot_list.h"

namespace quill::engine {

namespace {

size_t LowBit(size_t i) { return i & (~i + 1); }

}  // namespace

size_t PageAnnotList::CountUpTo(size_t at) const {
    size_t sum = 0;
    for (; at > 0; at -= LowBit(at)) sum += static_cast<size_t>(tree_[at]);
    return sum;
}

void PageAnnotList::Add(size_t at, int delta) {
    for (; at < tree_.size(); at += LowBit(at)) tree_[at] += delta;
}

AnnotRecord* PageAnnotList::At(size_t index) const {
    if (index >= count_) return nullptr;
    // Descend the tree to the slot holding the (index + 1)th live annotation.
    size_t remaining = index + 1;
    size_t at = 0;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
        const size_t next = at + step;
        if (next < tree_.size() && static_cast<size_t>(tree_[next]) < remaining) {
            at = next;
            remaining -= static_cast<size_t>(tree_[next]);
        }
    }
    return slots_[at].get();  // slot at + 1 (one-based) is slots_[at]
}

int PageAnnotList::IndexOf(const AnnotRecord* record) const {
    if (!record) return -1;
    const size_t slot = record->listSlot;
    if (slot >= slots_.size() || slots_[slot].get() != record) return -1;
    return static_cast<int>(CountUpTo(slot + 1)) - 1;
}

void PageAnnotList::PushBack(std::unique_ptr<AnnotRecord> record) {
    if (!record) return;
    if (tree_.empty()) tree_.push_back(0);
    const size_t at = slots_.size() + 1;
    // The new tree entry counts the slots (at - LowBit(at), at]: those before it and itself.
    const size_t covered = CountUpTo(at - 1) - CountUpTo(at - LowBit(at));
    tree_.push_back(static_cast<int>(covered) + 1);
    record->listSlot = slots_.size();
    slots_.push_back(std::move(record));
    ++count_;
}

std::unique_ptr<AnnotRecord> PageAnnotList::Take(const AnnotRecord* record) {
    if (!record) return nullptr;
    const size_t slot = record->listSlot;
    if (slot >= slots_.size() || slots_[slot].get() != record) return nullptr;
    std::unique_ptr<AnnotRecord> taken = std::move(slots_[slot]);
    Add(slot + 1, -1);
    --count_;
    // Empty places at the end go at once: no tree entry below them counts them.
    while (!slots_.empty() && !slots_.back()) {
        slots_.pop_back();
        tree_.pop_back();
    }
    const size_t removed = slots_.size() - count_;
    if (removed > 64 && removed > count_) Compact();
    return taken;
}

void PageAnnotList::Clear() {
    slots_.clear();
    tree_.clear();
    count_ = 0;
}

void PageAnnotList::Compact() {
    Slots live;
    live.reserve(count_);
    for (auto& r : slots_) {
        if (!r) continue;
        r->listSlot = live.size();
        live.push_back(std::move(r));
    }
    slots_ = std::move(live);
    // Every slot is live now; build the tree in one pass.
    tree_.assign(slots_.size() + 1, 1);
    tree_[0] = 0;
    for (size_t i = 1; i < tree_.size(); ++i) {
        const size_t parent = i + LowBit(i);
        if (parent < tree_.size()) tree_[parent] += tree_[i];
    }
}

}  // namespace quill::engine
