#include "server/review_routes.h"

#include <fstream>
#include <memory>

#include "server/route_support.h"

namespace quillserver {

namespace {

constexpr size_t kIdMax = 128;
constexpr size_t kTextMax = 8192;

ReviewKey KeyOf(const RequestParams& p) {
    return ReviewKey{p.NeedInt("squrvwmno"), p.NeedInt("rvwfileseq")};
}

std::string NeedFlag(const RequestParams& p, const char* key) {
    std::string v = p.Need(key, 1);
    if (v != "Y" && v != "N") throw BadRequest(kBadValue, std::string(key) + " must be Y or N.");
    return v;
}

void AddQueueCommands(httplib::Server& svr, ReviewServices& s) {
    svr.Get("/Comm/revision.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                std::string docId = p.Need("docId", kIdMax);
                int rev = p.NeedInt("rev");
                ReviewKey key = KeyOf(p);
                // A review consolidated into its target is closed for good: its clients end.
                if (s.records.Status(key) == "99")
                    throw BadRequest(kReviewClosed, "This squad check is closed.");
                int count = s.queue.CountPublishedAfter(docId, rev);
                JsonText json;
                json.BeginObject().Member("revno", std::to_string(count)).EndObject();
                ReplyJson(res, json.str());
            }));
    svr.Get("/Comm/publish.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                std::string userId = p.Need("userid", kIdMax);
                std::string docId = p.Need("docid", kIdMax);
                ReplyText(res, std::to_string(s.queue.Publish(docId, userId)));
            }));
    svr.Get("/Comm/checkautosaved.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                std::string docId = p.Need("docId", kIdMax);
                std::string userId = p.Need("userId", kIdMax);
                ReplyText(res, std::to_string(s.queue.CountUnpublished(docId, userId)));
            }));
    svr.Get("/Comm/deletequeue.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                std::string docId = p.Need("docId", kIdMax);
                std::string userId = p.Need("userId", kIdMax);
                s.queue.DropUnpublished(docId, userId);
                ReplyText(res, "0");
            }));
}

void AddReviewQueries(httplib::Server& svr, ReviewServices& s) {
    svr.Get("/Comm/revcmnt.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                JsonText json;
                json.BeginObject().Key("cmntReview").BeginArray();
                for (const auto& [id, decision] : s.records.Decisions(KeyOf(p)))
                    json.BeginObject().Member("CMNT_ID", id).Member("RVW_YN", decision).EndObject();
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
    // The decisions and the feedback with their texts, for the comment-resolution sheet.
    svr.Get("/Comm/cmntoutcome.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                JsonText json;
                json.BeginObject().Key("cmntOutcome").BeginArray();
                for (const CommentOutcome& o : s.records.Outcomes(KeyOf(p))) {
                    json.BeginObject()
                        .Member("CMNT_ID", o.cmntId)
                        .Member("RVW_YN", o.decision)
                        .Member("RVW_CONT", o.decisionSummary)
                        .Member("FDBK_YN", o.feedback)
                        .Member("FDBK_CONT", o.feedbackText)
                        .EndObject();
                }
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
    svr.Get("/Comm/cmntuser.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                std::string site = p.Optional("sitecd", kIdMax);
                JsonText json;
                json.BeginObject().Key("cmnt").BeginArray();
                for (const auto& u : s.records.Participants(key, site)) {
                    json.BeginObject()
                        .Member("PATCP_SEQ", u.patcpSeq)
                        .Member("FST_REG_USER_ID", u.userId)
                        .Member("SITE_USE_NM", u.siteUseNm)
                        .Member("USER_KNM", u.userKnm)
                        .EndObject();
                }
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
    svr.Get("/Comm/lastmodifieddate.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                auto times = s.queue.LastPublishTimes(DocIdOf(key.squrvwmno, key.rvwfileseq));
                JsonText json;
                json.BeginObject().Key("lastmodifieddate").BeginArray();
                for (const auto& row : s.records.LastModified(key, times)) {
                    json.BeginObject()
                        .Member("SQURVW_CMNT_MNO", std::to_string(key.squrvwmno))
                        .Member("FST_REG_USER_ID", row.userId)
                        .Member("FINISH_DT", row.finishDt)
                        .Member("CMNT_DT", row.commentDt)
                        .EndObject();
                }
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
    svr.Get("/Comm/feedbacksummary.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                auto summary =
                    s.records.Summary(key, p.NeedInt("patcpseq"), p.NeedInt("repatcpseq"));
                JsonText json;
                json.BeginObject().Key("summary").BeginArray();
                if (summary.found) {
                    json.BeginObject()
                        .Member("CMPLT_RPT_CONT", summary.finishReport)
                        .Member("OUTCOM_CONT", summary.resultSummary)
                        .EndObject();
                }
                json.EndArray().EndObject();
                ReplyJson(res, json.str());
            }));
}

void AddReviewSteps(httplib::Server& svr, ReviewServices& s) {
    svr.Get("/Comm/review.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                int patcp = p.NeedInt("patcpseq"), repatcp = p.NeedInt("repatcpseq");
                std::string id = p.Need("cmntid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                std::string yesno = NeedFlag(p, "yesno");
                std::string user = p.Need("userid", kIdMax);
                std::string contents = p.Optional("contents", kTextMax);
                s.records.SaveDecision(key, id, yesno, cmnt, contents, patcp, repatcp, user);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/feedback.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                std::string id = p.Need("cmntid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                std::string agree = NeedFlag(p, "agree");
                std::string user = p.Need("userid", kIdMax);
                s.records.SaveFeedback(key, id, agree, cmnt, user);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/finish.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                int patcp = p.NeedInt("patcpseq"), repatcp = p.NeedInt("repatcpseq");
                std::string user = p.Need("userid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                int finish = p.NeedInt("finish");
                s.records.SaveFinish(key, user, patcp, repatcp, cmnt, finish);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/finishall.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                int patcp = p.NeedInt("patcpseq");
                std::string opener = p.Need("userid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                s.records.SaveFinishAll(key, patcp, opener, cmnt);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/cmntDtl.do", Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                int patcp = p.NeedInt("patcpseq"), repatcp = p.NeedInt("repatcpseq");
                std::string user = p.Need("userid", kIdMax);
                std::string inCharge = p.Optional("inchrguserid", kIdMax);
                std::string id = p.Need("cmntid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                s.records.SaveCommentDetail(key, id, patcp, repatcp, user, inCharge, cmnt);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/delCmntDtl.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                p.NeedInt("patcpseq");
                p.NeedInt("repatcpseq");
                s.records.DeleteCommentDetail(key, p.Need("cmntid", kIdMax));
                ReplyText(res, "0");
            }));
}

void AddConsolidation(httplib::Server& svr, ReviewServices& s) {
    auto target = [](const RequestParams& p) {
        int tgt = p.NeedInt("tgtsqurvwmno");
        if (tgt <= 0) throw BadRequest(kBadValue, "tgtsqurvwmno names no target review.");
        return tgt;
    };
    svr.Get("/Comm/merge.do",
            Guarded([&s, target](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                int tgt = target(p);
                ReviewKey key = KeyOf(p);
                int patcp = p.NeedInt("patcpseq"), repatcp = p.NeedInt("repatcpseq");
                std::string user = p.Need("userid", kIdMax);
                std::string id = p.Need("cmntid", kIdMax);
                std::string cmnt = p.Optional("cmnt", kTextMax);
                s.records.SaveMerge(tgt, key, patcp, repatcp, user, id, cmnt);
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/mergeCommentDtl.do",
            Guarded([&s, target](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                int tgt = target(p);
                ReviewKey key = KeyOf(p);
                p.NeedInt("patcpseq");
                p.NeedInt("repatcpseq");
                s.records.MergeCommentDetails(tgt, key, p.Need("userid", kIdMax));
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/finishinternalreview.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                s.records.FinishInternalReview(KeyOf(p), p.Need("userid", kIdMax));
                ReplyText(res, "0");
            }));
    svr.Get("/Comm/closesquad.do",
            Guarded([&s](const httplib::Request& req, httplib::Response& res) {
                auto p = QueryParams(req);
                ReviewKey key = KeyOf(p);
                std::string user = p.Need("userid", kIdMax);
                std::string status = p.Need("stscd", 8);
                s.records.CloseSquad(key, user, status);
                ReplyText(res, "0");
            }));
    svr.Get("/qendra/co/common/sign/savePdfConvertResult.xpl",
            [&s](const httplib::Request& req, httplib::Response& res) {
                // The conversion service answers "true" or "false" only.
                try {
                    auto p = QueryParams(req);
                    ReviewKey key{p.NeedInt("squrvwMno"), p.NeedInt("rvwFileSeq")};
                    std::string sysDiv = p.Optional("sysDiv", 16);
                    std::string prog = p.Optional("progClscd", kIdMax);
                    std::string file = p.Need("fileNm", 1024);
                    std::string ecmNo = p.Need("ecmNo", kIdMax);
                    std::string site = p.Optional("siteCd", kIdMax);
                    if (!s.contents.Find(ecmNo)) {
                        ReplyText(res, "false");
                        return;
                    }
                    s.records.SaveConvertResult(key, sysDiv, prog, file, ecmNo, site);
                    ReplyText(res, "true");
                } catch (const std::exception&) {
                    ReplyText(res, "false");
                }
            });
}

void AddDownload(httplib::Server& svr, ReviewServices& s) {
    svr.Get("/Comm/download.do", [&s](const httplib::Request& req, httplib::Response& res) {
        std::string name = req.get_param_value("file");
        auto path = s.documentsFolder / name;
        std::error_code ec;
        if (!IsSafeDocumentName(name) || !std::filesystem::is_regular_file(path, ec)) {
            res.status = 404;
            res.set_content("ERROR: no such document", "text/plain");
            return;
        }
        auto size = std::filesystem::file_size(path, ec);
        auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
        if (ec || !*file) {
            res.status = 404;
            res.set_content("ERROR: no such document", "text/plain");
            return;
        }
        ReplyFileStream(res, file, static_cast<size_t>(size), "application/pdf");
    });
}

}  // namespace

std::string DocIdOf(int squrvwmno, int rvwfileseq) {
    return std::to_string(squrvwmno) + std::to_string(rvwfileseq);
}

bool IsSafeDocumentName(const std::string& name) {
    if (name.size() < 5 || name.size() > 200 || name[0] == '.') return false;
    if (name.compare(name.size() - 4, 4, ".pdf") != 0) return false;
    for (char c : name) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_' || c == '.';
        if (!ok) return false;
    }
    return name.find("..") == std::string::npos;
}

void AddReviewRoutes(httplib::Server& svr, ReviewServices& services) {
    AddQueueCommands(svr, services);
    AddReviewQueries(svr, services);
    AddReviewSteps(svr, services);
    AddConsolidation(svr, services);
    AddDownload(svr, services);
}

}  // namespace quillserver
