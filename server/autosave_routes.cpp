#include "server/autosave_routes.h"

#include "codec/percent_encoding.h"
#include "server/comment_blob.h"
#include "server/route_support.h"
#include "server/server_time.h"

namespace quillserver {

namespace {

constexpr size_t kIdMax = 128;

// Reads the common fields of a posted comment change.
QueueItem ItemFromForm(const RequestParams& p) {
    std::string cmd = p.Get("CMD");
    if (!cmd.empty() && cmd != "AUTOSAVE") throw BadRequest(kBadValue, "Wrong command arrived.");
    QueueItem item;
    item.docId = p.Need("docId", kIdMax);
    item.qType = p.Optional("qType", 8);
    if (item.qType.empty()) item.qType = "A";
    item.actionType = p.NeedInt("actionType");
    item.pageNo = p.NeedInt("pageNo");
    if (item.pageNo < 0) throw BadRequest(kBadValue, "pageNo must not be negative.");
    item.movePageNo = p.OptionalInt("movePageNo", -1);
    item.userId = p.Need("userId", kIdMax);
    item.targetId = p.Optional("targetId", kIdMax);
    item.nm = p.Need("NM", kIdMax);
    item.irt = p.Optional("IRT", kIdMax);
    item.creationDate = NowText();
    return item;
}

// Decodes and checks the comment blob of a create or update.
void TakeObject(const RequestParams& p, QueueItem& item) {
    std::string encoded = p.Get("object");
    if (encoded.size() > kMaxCommentBlobBytes * 3)
        throw BadRequest(kTooLong, "Comment object is too large.");
    std::string blob = PercentDecode(encoded);
    if (blob.size() > kMaxCommentBlobBytes)
        throw BadRequest(kTooLong, "Comment object is too large.");
    if (item.actionType == 2) {
        // A deletion carries no comment; whatever came along is not kept.
        return;
    }
    CommentBlobParts parts;
    if (!SplitCommentBlob(blob, parts))
        throw BadRequest(kBadCommentBlob, "Comment object is not a well-formed comment blob.");
    item.hasFile = !parts.fileContent.empty();
    item.object = std::move(blob);
}

void WriteItems(JsonText& json, const std::vector<QueueItem>& items) {
    json.Key("docQ").BeginArray();
    for (const auto& item : items) {
        json.BeginObject()
            .Member("q_ID", std::to_string(item.qId))
            .Member("DOC_ID", item.docId)
            .Member("q_TYPE", item.qType)
            .Member("PAGE_NO", item.pageNo)
            .Member("ACTION_TYPE", item.actionType)
            .Member("USER_ID", item.userId)
            .Member("TARGET_ID", item.targetId)
            .Member("NM", item.nm)
            .Member("IRT", item.irt)
            .Member("OBJECT", quill::codec::PercentEncode(item.object))
            .Member("CREATE_DATE", item.creationDate)
            .Member("REVISION_NO", item.revision)
            .EndObject();
    }
    json.EndArray();
}

std::string AutosaveError(int code, const std::string& message) {
    JsonText json;
    json.BeginObject()
        .Member("r", -1)
        .Member("errorCode", code)
        .Member("errorMsg", message)
        .EndObject();
    return json.str();
}

}  // namespace

void AddAutosaveRoutes(httplib::Server& svr, ReviewServices& s) {
    svr.Post("/Comm/autoSave.do", [&s](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& reader) {
        try {
            auto p = ParseForm(ReadBody(req, reader, s.maxFormBytes));
            QueueItem item = ItemFromForm(p);
            if (item.actionType < 0 || item.actionType > 2)
                throw BadRequest(kBadValue, "actionType must be 0, 1 or 2 here.");
            TakeObject(p, item);
            auto id = s.queue.Save(item);
            JsonText json;
            json.BeginObject().Member("r", 0).Member("q_ID", std::to_string(id)).EndObject();
            ReplyJson(res, json.str());
        } catch (const BadRequest& e) {
            // The rest of a refused body may still be on its way: end the connection.
            if (e.code() == kTooLong) res.set_header("Connection", "close");
            ReplyJson(res, AutosaveError(e.code(), e.what()));
        } catch (const StoreError& e) {
            ReplyJson(res,
                      AutosaveError(kStoreFailure, std::string("Storage failure: ") + e.what()));
        }
    });
    svr.Post("/Comm/movedcmnt.do", [&s](const httplib::Request& req, httplib::Response& res,
                                        const httplib::ContentReader& reader) {
        try {
            auto p = ParseForm(ReadBody(req, reader, s.maxFormBytes));
            QueueItem item = ItemFromForm(p);
            if (item.actionType != 3) throw BadRequest(kBadValue, "actionType must be 3 here.");
            if (item.movePageNo < 0)
                throw BadRequest(kMissingParameter, "Missing parameter movePageNo.");
            s.queue.Save(item);
            ReplyText(res, "0");
        } catch (const BadRequest& e) {
            // The rest of a refused body may still be on its way: end the connection.
            if (e.code() == kTooLong) res.set_header("Connection", "close");
            ReplyJson(res, AutosaveError(e.code(), e.what()));
        } catch (const StoreError& e) {
            ReplyJson(res,
                      AutosaveError(kStoreFailure, std::string("Storage failure: ") + e.what()));
        }
    });
    // The two item lists share their request and reply shape; only the selection differs.
    auto itemList = [&s](const char* command, auto select) {
        return Guarded([&s, command, select](const httplib::Request& req, httplib::Response& res) {
            auto p = QueryParams(req);
            std::string cmd = p.Get("CMD");
            if (!cmd.empty() && cmd != command)
                throw BadRequest(kBadValue, "Wrong command arrived.");
            std::string docId = p.Need("docId", kIdMax);
            int rev = p.NeedInt("rev");
            JsonText json;
            json.BeginObject();
            WriteItems(json, select(s.queue, docId, rev));
            json.EndObject();
            ReplyJson(res, json.str());
        });
    };
    svr.Get("/Comm/update.do", itemList("UPDATE", [](QueueStore& q, const std::string& doc,
                                                     int rev) { return q.ItemsAfter(doc, rev); }));
    svr.Get("/Comm/updateFileAttach.do",
            itemList("UPDATE_FILE_ATTACH", [](QueueStore& q, const std::string& doc, int rev) {
                return q.FileItemsAt(doc, rev);
            }));
    svr.Get("/Comm/fileAttachlist.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                std::string docId = p.Need("docId", kIdMax);
                int rev = p.NeedInt("rev");
                JsonText json;
                json.BeginObject().Key("rev").BeginArray();
                for (int r : s.queue.FileRevisionsAfter(docId, rev)) json.Str(std::to_string(r));
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
}

}  // namespace quillserver
