// The demo review: the review of the client's built-in debug start (review 1001, file 1,
// document "10011"), its participants, the sample drawing and published comments of others.
#pragma once

#include <filesystem>

#include "server/sqlite_db.h"

namespace quillserver {

// Creates the demo review unless it is there already; a second run changes nothing.
// Returns true when it seeded.
bool SeedDemo(SqliteDb& db, const std::filesystem::path& documentsFolder);

// The names the demo review uses.
inline constexpr int kDemoReview = 1001;
inline constexpr int kDemoFileSeq = 1;
inline constexpr const char* kDemoDocId = "10011";
inline constexpr const char* kDemoDocument = "sample-drawing.pdf";

}  // namespace quillserver
