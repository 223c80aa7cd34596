#include "server/review_server.h"

#include <csignal>
#include <filesystem>
#include <fstream>

#include "server/admin_routes.h"
#include "server/autosave_routes.h"
#include "server/content_catalog.h"
#include "server/content_store_routes.h"
#include "server/demo_seed.h"
#include "server/http_service.h"
#include "server/review_routes.h"
#include "server/review_services.h"
#include "server/schema.h"

namespace quillserver {

namespace fs = std::filesystem;

struct ReviewServer::Parts {
    explicit Parts(const ServerOptions& o)
        : db((fs::path(o.dataDir) / "review.db").string()),
          queue(db),
          records(db),
          contents(db, fs::path(o.dataDir) / "ecm"),
          services{queue,         records, contents, faults, fs::path(o.dataDir) / "documents",
                   o.maxFormBytes},
          review(faults, {o.threads, o.keepAliveSeconds, o.maxFormBytes, o.verbose}),
          ecm(faults, {o.threads, o.keepAliveSeconds, kMaxContentBytes, o.verbose}) {}

    SqliteDb db;
    QueueStore queue;
    ReviewRecords records;
    ContentCatalog contents;
    FaultInjector faults;
    ContentSessions sessions;
    ReviewServices services;
    HttpService review;
    HttpService ecm;
};

ReviewServer::ReviewServer(ServerOptions options) : options_(std::move(options)) {}

ReviewServer::~ReviewServer() {
    Stop();
    Wait();
}

bool ReviewServer::Start(std::string& error) {
    // A client that goes away mid-reply must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        fs::create_directories(fs::path(options_.dataDir) / "documents");
        parts_ = std::make_unique<Parts>(options_);
        parts_->db.Write([](Connection& conn) { CreateSchema(conn); });
        for (const auto& doc : options_.documents) {
            fs::path source(doc);
            if (!IsSafeDocumentName(source.filename().string())) {
                error = "document name must be letters, digits, - _ . and end in .pdf: " + doc;
                return false;
            }
            fs::copy_file(source, parts_->services.documentsFolder / source.filename(),
                          fs::copy_options::overwrite_existing);
        }
        if (options_.seed == "demo") SeedDemo(parts_->db, parts_->services.documentsFolder);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    for (const auto& rule : options_.faults) parts_->faults.Add(rule);

    auto& review = parts_->review.server();
    AddAdminRoutes(review, parts_->services);
    AddReviewRoutes(review, parts_->services);
    AddAutosaveRoutes(review, parts_->services);
    auto& ecm = parts_->ecm.server();
    AddFaultRoutes(ecm, parts_->faults);
    AddContentStoreRoutes(ecm, parts_->contents, parts_->sessions);

    reviewPort_ = parts_->review.Bind(options_.host, options_.port);
    if (reviewPort_ < 0) {
        error = "cannot listen on " + options_.host + ":" + std::to_string(options_.port);
        return false;
    }
    ecmPort_ = parts_->ecm.Bind(options_.host, options_.ecmPort);
    if (ecmPort_ < 0) {
        error = "cannot listen on " + options_.host + ":" + std::to_string(options_.ecmPort);
        return false;
    }
    reviewThread_ = std::thread([this] { parts_->review.Run(); });
    ecmThread_ = std::thread([this] { parts_->ecm.Run(); });
    if (!options_.portFile.empty()) {
        std::string part = options_.portFile + ".part";
        {
            std::ofstream out(part, std::ios::trunc);
            out << "review=" << reviewPort_ << "\necm=" << ecmPort_ << "\n";
        }
        std::error_code ec;
        fs::rename(part, options_.portFile, ec);
        if (ec) {
            error = "cannot write " + options_.portFile;
            return false;
        }
    }
    return true;
}

void ReviewServer::Wait() {
    if (reviewThread_.joinable()) reviewThread_.join();
    if (ecmThread_.joinable()) ecmThread_.join();
}

void ReviewServer::Stop() {
    if (!parts_) return;
    parts_->review.Stop();
    parts_->ecm.Stop();
}

}  // namespace quillserver
