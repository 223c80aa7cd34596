#include "session/reply_lookup.h"
#include "session/session_names.h"

#include <map>
#include <set>

#include "sync/page_annot_map.h"

namespace quill::session {

namespace {

// Reply chains from outside may be deep or even loop through their names: both walks stop.
constexpr int kMaxDepth = 1000;

void NewestUnder(const control::PdfReplyList& replies, control::PdfReply& winner, double& date,
                 int depth) {
    if (depth > kMaxDepth) return;
    // The count is read again before each reply: the list is live.
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        const control::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        if (reply.GetDate() > date) {
            winner = reply;
            date = reply.GetDate();
        }
        NewestUnder(reply.GetReplies(), winner, date, depth + 1);
    }
}

control::PdfReply FindUnder(const control::PdfReplyList& replies, const std::string& name,
                            int depth) {
    if (depth > kMaxDepth) return {};
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        const control::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        if (reply.GetName() == name) return reply;
        control::PdfReply deeper = FindUnder(reply.GetReplies(), name, depth + 1);
        if (deeper.IsValid()) return deeper;
    }
    return {};
}

void CollectDeepestFirst(const std::multimap<std::string, std::string>& children,
                         const std::string& name, std::set<std::string>& seen,
                         std::vector<std::string>& out, int depth) {
    if (depth > kMaxDepth) return;
    auto [from, to] = children.equal_range(name);
    for (auto it = from; it != to; ++it) {
        if (!seen.insert(it->second).second) continue;
        CollectDeepestFirst(children, it->second, seen, out, depth + 1);
        out.push_back(it->second);
    }
}

}  // namespace

control::PdfReply NewestReply(const control::PdfReplyList& replies) {
    control::PdfReply winner;
    double date = 0;
    NewestUnder(replies, winner, date, 0);
    return winner;
}

control::PdfReply FindReplyByName(const control::PdfReplyList& replies,
                                  const std::string& uniqueName) {
    if (uniqueName.empty()) return {};
    return FindUnder(replies, uniqueName, 0);
}

control::PdfReply ReplyOfEvent(const control::PdfReplyList& replies,
                               const std::string& uniqueName) {
    control::PdfReply reply = FindReplyByName(replies, uniqueName);
    return reply.IsValid() ? reply : NewestReply(replies);
}

std::vector<std::string> RecordedDescendants(const PageAnnotMap& maps, int page,
                                             const std::string& uniqueName) {
    std::vector<std::string> out;
    if (!maps.ValidPage(page) || uniqueName.empty()) return out;
    // By the in-reply-to names rather than the records' links: a reply that came before its
    // parent is not linked yet, and must not stay behind on the server.
    std::multimap<std::string, std::string> children;
    for (const auto& [name, record] : maps.Page(page)) {
        if (!record->inReplyTo.empty()) children.emplace(record->inReplyTo, name);
    }
    std::set<std::string> seen{uniqueName};
    CollectDeepestFirst(children, uniqueName, seen, out, 0);
    return out;
}

}  // namespace quill::session
