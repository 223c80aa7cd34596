#include "sync/waiting_replies.h"
#include "sync/sync_names.h"

namespace quill::sync {

WaitingReplies::ByParent& WaitingReplies::Touch(int page) {
    auto [it, fresh] = pages_.try_emplace(page);
    if (fresh && maps_.ValidPage(page)) {
        for (const auto& [name, record] : maps_.Page(page)) {
            if (!record->inReplyTo.empty() && !record->parent)
                it->second.emplace(record->inReplyTo, name);
        }
    }
    return it->second;
}

void WaitingReplies::Note(const CNMObject& reply) {
    if (reply.inReplyTo.empty() || reply.parent) return;
    const bool known = pages_.count(reply.page) != 0;
    ByParent& waiting = Touch(reply.page);
    // A page scanned just now already holds the reply.
    if (known) waiting.emplace(reply.inReplyTo, reply.uniqueName);
}

void WaitingReplies::Adopt(CNMObject& record) {
    if (!maps_.ValidPage(record.page)) return;
    ByParent& waiting = Touch(record.page);
    auto [first, last] = waiting.equal_range(record.uniqueName);
    for (auto it = first; it != last; ++it) {
        CNMObject* reply = maps_.Find(record.page, it->second);
        if (!reply || reply == &record || reply->parent || reply->inReplyTo != record.uniqueName)
            continue;
        reply->parent = &record;
        record.replies.push_back(reply);
    }
    waiting.erase(first, last);
}

}  // namespace quill::sync
