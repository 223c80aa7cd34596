// SQLite access of the review server: prepared statements, one writer, a pool of readers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quillserver {

// A failure of the database itself (disk full, corrupt file, locked too long).
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement borrowed from its connection's cache; reset when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindBlob(int index, std::string_view bytes);
    Statement& BindNull(int index);

    // Advances to the next row; false when there is none.
    bool Step();
    // Runs a statement that yields no rows.
    void Run();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::string Blob(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

// One open database connection with its statement cache.
class Connection {
public:
    Connection(const std::string& path, bool readOnly);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The statement of this SQL text, prepared once per connection.
    Statement Prepare(const std::string& sql);
    // Runs SQL text without parameters (schema, pragmas, transactions).
    void Exec(const std::string& sql);
    std::int64_t Changes() const;
    std::int64_t LastInsertId() const;

private:
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

// The database file: writes run one at a time inside a transaction on the writer connection;
// reads run in parallel on pooled connections (write-ahead log mode).
class SqliteDb {
public:
    explicit SqliteDb(const std::string& path);
    ~SqliteDb();

    template <class F>
    auto Write(F&& work) -> decltype(work(std::declval<Connection&>())) {
        std::lock_guard<std::mutex> lock(writeMutex_);
        writer_->Exec("BEGIN IMMEDIATE");
        try {
            if constexpr (std::is_void_v<decltype(work(*writer_))>) {
                work(*writer_);
                writer_->Exec("COMMIT");
            } else {
                auto result = work(*writer_);
                writer_->Exec("COMMIT");
                return result;
            }
        } catch (...) {
            try {
                writer_->Exec("ROLLBACK");
            } catch (...) {
            }
            throw;
        }
    }

    template <class F>
    auto Read(F&& work) -> decltype(work(std::declval<Connection&>())) {
        Lease lease(*this);
        // One read transaction, so that every query of the work sees the same snapshot.
        lease.conn->Exec("BEGIN");
        try {
            if constexpr (std::is_void_v<decltype(work(*lease.conn))>) {
                work(*lease.conn);
                lease.conn->Exec("COMMIT");
            } else {
                auto result = work(*lease.conn);
                lease.conn->Exec("COMMIT");
                return result;
            }
        } catch (...) {
            try {
                lease.conn->Exec("ROLLBACK");
            } catch (...) {
            }
            throw;
        }
    }

private:
    struct Lease {
        explicit Lease(SqliteDb& db);
        ~Lease();
        SqliteDb& db;
        std::unique_ptr<Connection> conn;
    };

    std::string path_;
    std::mutex writeMutex_;
    std::unique_ptr<Connection> writer_;
    std::mutex poolMutex_;
    std::vector<std::unique_ptr<Connection>> readers_;
};

}  // namespace quillserver
