#include "server/admin_routes.h"

#include <fstream>

#include "server/http_service.h"
#include "server/review_routes.h"
#include "server/route_support.h"

namespace quillserver {

namespace {

bool RefuseRemote(const httplib::Request& req, httplib::Response& res) {
    if (IsLoopbackPeer(req)) return false;
    res.status = 403;
    res.set_content("ERROR: administration is for loopback peers only", "text/plain");
    return true;
}

// Parameters from the query and, for a small form body, the body.
RequestParams AdminParams(const httplib::Request& req) { return QueryParams(req); }

}  // namespace

void AddFaultRoutes(httplib::Server& svr, FaultInjector& faults) {
    svr.Get("/__health",
            [](const httplib::Request&, httplib::Response& res) { ReplyText(res, "ok"); });
    svr.Get("/__faults", [&faults](const httplib::Request& req, httplib::Response& res) {
        if (RefuseRemote(req, res)) return;
        ReplyText(res, faults.Describe());
    });
    svr.Delete("/__faults", [&faults](const httplib::Request& req, httplib::Response& res) {
        if (RefuseRemote(req, res)) return;
        faults.Clear();
        ReplyText(res, "0");
    });
    svr.Post("/__faults", [&faults](const httplib::Request& req, httplib::Response& res) {
        if (RefuseRemote(req, res)) return;
        auto p = AdminParams(req);
        FaultRule rule;
        std::string error;
        if (p.Has("rule")) {
            if (!FaultInjector::ParseRule(p.Get("rule"), rule, error)) {
                res.status = 400;
                res.set_content("ERROR: " + error, "text/plain");
                return;
            }
        } else {
            try {
                if (!FaultInjector::ParseKind(p.Need("kind", 16), rule.kind))
                    throw BadRequest(kBadValue, "kind must be status, delay, garbage or drop");
                rule.path = p.Need("path", 256);
                rule.count = p.OptionalInt("count", 1);
                rule.status = p.OptionalInt("status", 500);
                rule.delayMs = p.OptionalInt("delay_ms", 0);
                if (rule.count == 0 || rule.count < -1)
                    throw BadRequest(kBadValue, "count must be -1 or positive");
            } catch (const BadRequest& e) {
                res.status = 400;
                res.set_content(std::string("ERROR: ") + e.what(), "text/plain");
                return;
            }
        }
        faults.Add(rule);
        ReplyText(res, "0");
    });
}

void AddAdminRoutes(httplib::Server& svr, ReviewServices& s) {
    AddFaultRoutes(svr, s.faults);
    svr.Post("/__admin/document", [&s](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& reader) {
        if (RefuseRemote(req, res)) return;
        std::string name = req.get_param_value("name");
        if (!IsSafeDocumentName(name)) {
            res.status = 400;
            res.set_content("ERROR: name must be a plain file name ending in .pdf", "text/plain");
            return;
        }
        std::string bytes;
        try {
            bytes = ReadBody(req, reader, 1024u * 1024u * 1024u);
        } catch (const BadRequest&) {
            res.status = 413;
            return;
        }
        auto part = s.documentsFolder / (name + ".part");
        {
            std::ofstream out(part, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                res.status = 500;
                res.set_content("ERROR: cannot write document", "text/plain");
                return;
            }
        }
        std::filesystem::rename(part, s.documentsFolder / name);
        ReplyText(res, "0");
    });
    svr.Post("/__admin/participant", [&s](const httplib::Request& req, httplib::Response& res) {
        if (RefuseRemote(req, res)) return;
        try {
            auto p = AdminParams(req);
            ReviewKey key{p.NeedInt("squrvwmno"), p.NeedInt("rvwfileseq")};
            Participant who;
            who.patcpSeq = p.NeedInt("patcpseq");
            who.repatcpSeq = p.OptionalInt("repatcpseq", 0);
            who.userId = p.Need("userid");
            who.userKnm = p.Need("userknm");
            who.siteUseNm = p.Need("siteusenm");
            who.siteCd = p.Optional("sitecd", 64);
            s.records.AddParticipant(key, who, p.Get("opener") == "Y");
            ReplyText(res, "0");
        } catch (const BadRequest& e) {
            res.status = 400;
            res.set_content(std::string("ERROR: ") + e.what(), "text/plain");
        }
    });
}

}  // namespace quillserver
