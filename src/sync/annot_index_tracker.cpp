#include "sync/annot_index_tracker.h"
#include "sync/sync_names.h"

#include <algorithm>

namespace quill::sync {

void AnnotIndexTracker::Page::Add(int slot, int delta) {
    for (int i = slot + 1; i <= capacity; i += i & -i) tree[static_cast<size_t>(i)] += delta;
}

int AnnotIndexTracker::Page::Before(int slot) const {
    int sum = 0;
    for (int i = slot; i > 0; i -= i & -i) sum += tree[static_cast<size_t>(i)];
    return sum;
}

int AnnotIndexTracker::Page::SlotAtRank(int rank) const {
    // The first slot whose live count up to and including it exceeds rank.
    int position = 0;
    int step = 1;
    while (step * 2 <= capacity) step *= 2;
    for (; step > 0; step /= 2) {
        const int next = position + step;
        if (next <= capacity && tree[static_cast<size_t>(next)] <= rank) {
            position = next;
            rank -= tree[static_cast<size_t>(next)];
        }
    }
    return position;
}

void AnnotIndexTracker::Page::Rebuild(int newCapacity) {
    capacity = newCapacity;
    tree.assign(static_cast<size_t>(capacity) + 1, 0);
    for (int i = 1; i <= Size(); ++i)
        tree[static_cast<size_t>(i)] = live[static_cast<size_t>(i - 1)];
    for (int i = 1; i <= capacity; ++i) {
        const int parent = i + (i & -i);
        if (parent <= capacity) tree[static_cast<size_t>(parent)] += tree[static_cast<size_t>(i)];
    }
}

int AnnotIndexTracker::Page::Append(bool isLive) {
    const int slot = Size();
    live.push_back(0);
    holders.emplace_back();
    if (Size() > capacity) Rebuild(std::max(16, capacity * 2));
    if (isLive) {
        live[static_cast<size_t>(slot)] = 1;
        ++liveCount;
        Add(slot, 1);
    }
    return slot;
}

AnnotIndexTracker::Page& AnnotIndexTracker::Touch(int page) {
    const bool valid = maps_.ValidPage(page);
    std::unique_ptr<Page>& slot = pages_[valid ? static_cast<size_t>(page) : pages_.size() - 1];
    if (slot) return *slot;
    slot = std::make_unique<Page>();
    Page& p = *slot;
    if (!valid) return p;
    std::vector<CNMObject*> comments;
    for (auto& [name, record] : maps_.Page(page)) {
        if (record->annotIndex >= 0) comments.push_back(record.get());
    }
    std::stable_sort(comments.begin(), comments.end(), [](const CNMObject* a, const CNMObject* b) {
        return a->annotIndex < b->annotIndex;
    });
    const int slots = comments.empty() ? 0 : comments.back()->annotIndex + 1;
    p.live.assign(static_cast<size_t>(slots), 1);
    p.holders.resize(static_cast<size_t>(slots));
    p.liveCount = slots;
    for (CNMObject* record : comments) {
        p.holders[static_cast<size_t>(record->annotIndex)].push_back(record);
        p.slotOf[record] = record->annotIndex;
    }
    p.Rebuild(std::max(16, slots * 2));
    return p;
}

int AnnotIndexTracker::IndexOf(int page, const CNMObject* record) {
    Page& p = Touch(page);
    auto it = p.slotOf.find(record);
    if (it == p.slotOf.end()) return -1;
    return p.Before(it->second);
}

void AnnotIndexTracker::Remove(int page, const CNMObject* record) {
    Page& p = Touch(page);
    auto it = p.slotOf.find(record);
    if (it == p.slotOf.end()) return;
    const int slot = it->second;
    p.slotOf.erase(it);
    auto& holders = p.holders[static_cast<size_t>(slot)];
    holders.erase(std::remove(holders.begin(), holders.end(), record), holders.end());
    if (holders.empty() && p.live[static_cast<size_t>(slot)]) {
        p.live[static_cast<size_t>(slot)] = 0;
        --p.liveCount;
        p.Add(slot, -1);
    }
}

void AnnotIndexTracker::Replace(int page, const CNMObject* oldRecord, const CNMObject* newRecord) {
    Page& p = Touch(page);
    auto it = p.slotOf.find(oldRecord);
    if (it == p.slotOf.end()) return;
    const int slot = it->second;
    p.slotOf.erase(it);
    for (CNMObject*& holder : p.holders[static_cast<size_t>(slot)]) {
        if (holder == oldRecord) holder = const_cast<CNMObject*>(newRecord);
    }
    p.slotOf[newRecord] = slot;
}

void AnnotIndexTracker::Enter(int page, const CNMObject* record) {
    if (!record || record->annotIndex < 0 || !maps_.ValidPage(page)) return;
    Page& p = Touch(page);
    if (p.slotOf.count(record)) Remove(page, record);
    const int index = record->annotIndex;
    int slot;
    if (index < p.liveCount) {
        slot = p.SlotAtRank(index);
    } else {
        // Annotations the client keeps no record of fill the gap.
        while (p.liveCount < index) p.Append(true);
        slot = p.Append(true);
    }
    p.holders[static_cast<size_t>(slot)].push_back(const_cast<CNMObject*>(record));
    p.slotOf[record] = slot;
}

void AnnotIndexTracker::Flush() {
    for (auto& p : pages_) {
        if (!p) continue;
        int rank = 0;
        for (int slot = 0; slot < p->Size(); ++slot) {
            if (!p->live[static_cast<size_t>(slot)]) continue;
            for (CNMObject* record : p->holders[static_cast<size_t>(slot)])
                record->annotIndex = rank;
            ++rank;
        }
    }
}

}  // namespace quill::sync
