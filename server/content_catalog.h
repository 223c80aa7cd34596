// The content store's record of stored documents, and where their bytes lie on disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "server/sqlite_db.h"

namespace quillserver {

struct StoredContent {
    std::string contentId;
    std::string fileName;
    std::int64_t size = 0;
    std::string userId;
};

class ContentCatalog {
public:
    ContentCatalog(SqliteDb& db, std::filesystem::path folder);

    // Moves a finished upload into the store and records it; returns its content identifier.
    std::string Add(const std::filesystem::path& upload, const std::string& fileName,
                    std::int64_t size, const std::string& userId, const std::string& locCd,
                    const std::string& svrId);
    std::optional<StoredContent> Find(const std::string& contentId);
    std::filesystem::path PathOf(const std::string& contentId) const;
    // A fresh file name for an upload in progress.
    std::filesystem::path NewUploadPath();
    const std::filesystem::path& folder() const { return folder_; }

    // A content identifier as this store makes them: "QC", 14 date digits, "-", 8 hex digits.
    static bool IsWellFormedId(const std::string& contentId);

private:
    SqliteDb& db_;
    std::filesystem::path folder_;
};

}  // namespace quillserver
