#include "server/queue_store.h"

#include "server/server_time.h"

namespace quillserver {

namespace {

const char kItemColumns[] =
    "q_id, doc_id, q_type, page_no, move_page_no, action_type, user_id, target_id, nm, irt, "
    "object, has_file, creation_date, revision";

}  // namespace

std::int64_t QueueStore::Insert(Connection& conn, const QueueItem& item) {
    auto st = conn.Prepare(
        "INSERT INTO queue_items(doc_id, q_type, page_no, move_page_no, action_type, user_id, "
        "target_id, nm, irt, object, has_file, creation_date) "
        "VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12)");
    st.Bind(1, item.docId)
        .Bind(2, item.qType)
        .Bind(3, item.pageNo)
        .Bind(4, item.movePageNo)
        .Bind(5, item.actionType)
        .Bind(6, item.userId)
        .Bind(7, item.targetId)
        .Bind(8, item.nm)
        .Bind(9, item.irt)
        .BindBlob(10, item.object)
        .Bind(11, item.hasFile ? 1 : 0)
        .Bind(12, item.creationDate);
    st.Run();
    return conn.LastInsertId();
}

std::int64_t QueueStore::Save(const QueueItem& item) {
    return db_.Write([&](Connection& conn) { return Insert(conn, item); });
}

int QueueStore::CountUnpublished(const std::string& docId, const std::string& userId) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT COUNT(*) FROM queue_items WHERE doc_id=?1 AND user_id=?2 AND revision IS NULL");
        st.Bind(1, docId).Bind(2, userId);
        return st.Step() ? static_cast<int>(st.Int(0)) : 0;
    });
}

int QueueStore::DropUnpublished(const std::string& docId, const std::string& userId) {
    return db_.Write([&](Connection& conn) {
        auto st = conn.Prepare(
            "DELETE FROM queue_items WHERE doc_id=?1 AND user_id=?2 AND revision IS NULL");
        st.Bind(1, docId).Bind(2, userId).Run();
        return static_cast<int>(conn.Changes());
    });
}

int QueueStore::BumpRevision(Connection& conn, const std::string& docId) {
    int latest = 0;
    {
        auto st = conn.Prepare("SELECT latest_revision FROM documents WHERE doc_id=?1");
        st.Bind(1, docId);
        if (st.Step()) latest = static_cast<int>(st.Int(0));
    }
    auto st = conn.Prepare(
        "INSERT INTO documents(doc_id, latest_revision) VALUES(?1, ?2) "
        "ON CONFLICT(doc_id) DO UPDATE SET latest_revision=excluded.latest_revision");
    st.Bind(1, docId).Bind(2, latest + 1).Run();
    return latest + 1;
}

int QueueStore::Publish(const std::string& docId, const std::string& userId) {
    return db_.Write([&](Connection& conn) {
        int count = 0;
        {
            auto st = conn.Prepare(
                "SELECT COUNT(*) FROM queue_items WHERE doc_id=?1 AND user_id=?2 AND revision IS "
                "NULL");
            st.Bind(1, docId).Bind(2, userId);
            if (st.Step()) count = static_cast<int>(st.Int(0));
        }
        if (count == 0) {
            auto st = conn.Prepare("SELECT latest_revision FROM documents WHERE doc_id=?1");
            st.Bind(1, docId);
            return st.Step() ? static_cast<int>(st.Int(0)) : 0;
        }
        int revision = BumpRevision(conn, docId);
        auto st = conn.Prepare(
            "UPDATE queue_items SET revision=?3, published_at=?4 "
            "WHERE doc_id=?1 AND user_id=?2 AND revision IS NULL");
        st.Bind(1, docId).Bind(2, userId).Bind(3, revision).Bind(4, NowDigits()).Run();
        return revision;
    });
}

std::int64_t QueueStore::SavePublished(Connection& conn, const QueueItem& item,
                                       const std::string& when) {
    std::int64_t id = Insert(conn, item);
    auto st = conn.Prepare("UPDATE queue_items SET revision=?2, published_at=?3 WHERE q_id=?1");
    st.Bind(1, id).Bind(2, item.revision).Bind(3, when).Run();
    auto doc = conn.Prepare(
        "INSERT INTO documents(doc_id, latest_revision) VALUES(?1, ?2) "
        "ON CONFLICT(doc_id) DO UPDATE SET latest_revision=MAX(latest_revision, "
        "excluded.latest_revision)");
    doc.Bind(1, item.docId).Bind(2, item.revision).Run();
    return id;
}

int QueueStore::CountPublishedAfter(const std::string& docId, int revision) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT COUNT(DISTINCT nm) FROM queue_items WHERE doc_id=?1 AND revision IS NOT NULL "
            "AND revision>?2");
        st.Bind(1, docId).Bind(2, revision);
        return st.Step() ? static_cast<int>(st.Int(0)) : 0;
    });
}

std::vector<QueueItem> QueueStore::ReadItems(Statement& st) {
    std::vector<QueueItem> items;
    while (st.Step()) {
        QueueItem item;
        item.qId = st.Int(0);
        item.docId = st.Text(1);
        item.qType = st.Text(2);
        item.pageNo = static_cast<int>(st.Int(3));
        item.movePageNo = static_cast<int>(st.Int(4));
        item.actionType = static_cast<int>(st.Int(5));
        item.userId = st.Text(6);
        item.targetId = st.Text(7);
        item.nm = st.Text(8);
        item.irt = st.Text(9);
        item.object = st.Blob(10);
        item.hasFile = st.Int(11) != 0;
        item.creationDate = st.Text(12);
        item.revision = st.IsNull(13) ? -1 : static_cast<int>(st.Int(13));
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<QueueItem> QueueStore::ItemsAfter(const std::string& docId, int revision) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(std::string("SELECT ") + kItemColumns +
                               " FROM queue_items WHERE doc_id=?1 AND revision IS NOT NULL AND "
                               "revision>?2 AND has_file=0 ORDER BY revision, q_id");
        st.Bind(1, docId).Bind(2, revision);
        return ReadItems(st);
    });
}

std::vector<int> QueueStore::FileRevisionsAfter(const std::string& docId, int revision) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT DISTINCT revision FROM queue_items WHERE doc_id=?1 AND revision IS NOT NULL "
            "AND revision>?2 AND has_file=1 ORDER BY revision");
        st.Bind(1, docId).Bind(2, revision);
        std::vector<int> revisions;
        while (st.Step()) revisions.push_back(static_cast<int>(st.Int(0)));
        return revisions;
    });
}

std::vector<QueueItem> QueueStore::FileItemsAt(const std::string& docId, int revision) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(std::string("SELECT ") + kItemColumns +
                               " FROM queue_items WHERE doc_id=?1 AND revision IS NOT NULL AND "
                               "revision=?2 AND has_file=1 ORDER BY q_id");
        st.Bind(1, docId).Bind(2, revision);
        return ReadItems(st);
    });
}

int QueueStore::LatestRevision(const std::string& docId) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare("SELECT latest_revision FROM documents WHERE doc_id=?1");
        st.Bind(1, docId);
        return st.Step() ? static_cast<int>(st.Int(0)) : 0;
    });
}

std::map<std::string, std::string> QueueStore::LastPublishTimes(const std::string& docId) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT user_id, MAX(published_at) FROM queue_items WHERE doc_id=?1 AND revision IS "
            "NOT NULL GROUP BY user_id");
        st.Bind(1, docId);
        std::map<std::string, std::string> times;
        while (st.Step()) times[st.Text(0)] = st.Text(1);
        return times;
    });
}

}  // namespace quillserver
