// The comment queue: items saved by clients per document and user, unpublished until their
// author publishes, then numbered with the document's next revision.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "server/sqlite_db.h"

namespace quillserver {

struct QueueItem {
    std::int64_t qId = 0;
    std::string docId;
    std::string qType;
    int pageNo = -1;
    int movePageNo = -1;
    int actionType = -1;
    std::string userId;
    std::string targetId;
    std::string nm;
    std::string irt;
    std::string object;  // the comment blob's bytes; empty for deletions and moves
    bool hasFile = false;
    std::string creationDate;
    int revision = -1;  // -1 while unpublished
};

class QueueStore {
public:
    explicit QueueStore(SqliteDb& db) : db_(db) {}

    // Stores an unpublished item and returns its queue id.
    std::int64_t Save(const QueueItem& item);
    // Items of the user on the document that are not published yet.
    int CountUnpublished(const std::string& docId, const std::string& userId);
    // Drops them; returns how many were dropped.
    int DropUnpublished(const std::string& docId, const std::string& userId);
    // Gives the user's unpublished items the document's next revision and returns the document's
    // latest revision afterwards (unchanged when the user had nothing to publish).
    int Publish(const std::string& docId, const std::string& userId);
    // Comments and replies (distinct names) published after the revision.
    int CountPublishedAfter(const std::string& docId, int revision);
    // Published items after the revision without an embedded file, in revision and save order.
    std::vector<QueueItem> ItemsAfter(const std::string& docId, int revision);
    // Revisions after the given one that hold items with an embedded file, ascending.
    std::vector<int> FileRevisionsAfter(const std::string& docId, int revision);
    // Items with an embedded file published in exactly that revision, in save order.
    std::vector<QueueItem> FileItemsAt(const std::string& docId, int revision);
    // The latest revision of the document (0 when nothing was published).
    int LatestRevision(const std::string& docId);
    // Per user: the time ("YYYYMMDDhhmmss") of the user's last publish on the document.
    std::map<std::string, std::string> LastPublishTimes(const std::string& docId);

    // Publishes an item as it stands (used by the demo seed); returns its queue id.
    static std::int64_t SavePublished(Connection& conn, const QueueItem& item,
                                      const std::string& when);
    static int BumpRevision(Connection& conn, const std::string& docId);

private:
    static std::int64_t Insert(Connection& conn, const QueueItem& item);
    std::vector<QueueItem> ReadItems(Statement& st);

    SqliteDb& db_;
};

}  // namespace quillserver
