#include "server/content_catalog.h"

#include <atomic>
#include <cstdio>
#include <random>

#include "server/server_time.h"

namespace quillserver {

namespace {

std::string RandomHex(int digits) {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (int i = 0; i < digits; ++i) out.push_back(kHex[rng() % 16]);
    return out;
}

}  // namespace

ContentCatalog::ContentCatalog(SqliteDb& db, std::filesystem::path folder)
    : db_(db), folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_ / "uploads");
}

bool ContentCatalog::IsWellFormedId(const std::string& id) {
    if (id.size() != 25 || id.compare(0, 2, "QC") != 0 || id[16] != '-') return false;
    for (size_t i = 2; i < 16; ++i)
        if (id[i] < '0' || id[i] > '9') return false;
    for (size_t i = 17; i < id.size(); ++i)
        if (!((id[i] >= '0' && id[i] <= '9') || (id[i] >= 'A' && id[i] <= 'F'))) return false;
    return true;
}

std::filesystem::path ContentCatalog::PathOf(const std::string& contentId) const {
    return folder_ / (contentId + ".bin");
}

std::filesystem::path ContentCatalog::NewUploadPath() {
    return folder_ / "uploads" / (RandomHex(16) + ".part");
}

std::string ContentCatalog::Add(const std::filesystem::path& upload, const std::string& fileName,
                                std::int64_t size, const std::string& userId,
                                const std::string& locCd, const std::string& svrId) {
    std::string id = "QC" + NowDigits() + "-" + RandomHex(8);
    std::filesystem::rename(upload, PathOf(id));
    try {
        db_.Write([&](Connection& conn) {
            auto st = conn.Prepare(
                "INSERT INTO contents(content_id, file_name, size, user_id, loc_cd, svr_id, "
                "stored_at) VALUES(?1,?2,?3,?4,?5,?6,?7)");
            st.Bind(1, id)
                .Bind(2, fileName)
                .Bind(3, size)
                .Bind(4, userId)
                .Bind(5, locCd)
                .Bind(6, svrId)
                .Bind(7, NowDigits())
                .Run();
        });
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(PathOf(id), ec);
        throw;
    }
    return id;
}

std::optional<StoredContent> ContentCatalog::Find(const std::string& contentId) {
    return db_.Read([&](Connection& conn) -> std::optional<StoredContent> {
        auto st = conn.Prepare(
            "SELECT content_id, file_name, size, user_id FROM contents WHERE content_id=?1");
        st.Bind(1, contentId);
        if (!st.Step()) return std::nullopt;
        return StoredContent{st.Text(0), st.Text(1), st.Int(2), st.Text(3)};
    });
}

}  // namespace quillserver
