#include "server/sqlite_db.h"

#include <sqlite3.h>

namespace quillserver {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw StoreError(what + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

}  // namespace

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}

Statement::~Statement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

Statement& Statement::Bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
        Fail(db_, "bind");
    return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
    // An empty blob binds as a zero-length blob, not as NULL.
    static const char empty = 0;
    const char* data = bytes.empty() ? &empty : bytes.data();
    if (sqlite3_bind_blob64(stmt_, index, data, bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(db_, "bind");
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_, "step");
}

void Statement::Run() {
    while (Step()) {
    }
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
    const unsigned char* p = sqlite3_column_text(stmt_, column);
    int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
             : std::string();
}

std::string Statement::Blob(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Connection::Connection(const std::string& path, bool readOnly) {
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreError("open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 10000);
    if (!readOnly) {
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=NORMAL");
    }
    Exec("PRAGMA foreign_keys=ON");
}

Connection::~Connection() {
    for (auto& [sql, stmt] : cache_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

Statement Connection::Prepare(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
            SQLITE_OK)
            Fail(db_, "prepare");
        it = cache_.emplace(sql, stmt).first;
    }
    return Statement(db_, it->second);
}

void Connection::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw StoreError(message);
    }
}

std::int64_t Connection::Changes() const { return sqlite3_changes64(db_); }

std::int64_t Connection::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

SqliteDb::SqliteDb(const std::string& path)
    : path_(path), writer_(std::make_unique<Connection>(path, false)) {}

SqliteDb::~SqliteDb() = default;

SqliteDb::Lease::Lease(SqliteDb& owner) : db(owner) {
    {
        std::lock_guard<std::mutex> lock(db.poolMutex_);
        if (!db.readers_.empty()) {
            conn = std::move(db.readers_.back());
            db.readers_.pop_back();
        }
    }
    if (!conn) conn = std::make_unique<Connection>(db.path_, true);
}

SqliteDb::Lease::~Lease() {
    std::lock_guard<std::mutex> lock(db.poolMutex_);
    db.readers_.push_back(std::move(conn));
}

}  // namespace quillserver
