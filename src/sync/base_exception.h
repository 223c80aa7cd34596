// The exception of the FDF and queue operations: a message for the user and a numeric code.
#pragma once
#include "sync/sync_names.h"

#include <exception>
#include <string>

namespace quill::sync {

// Codes that the FDF and blob readers give their exceptions.
inline constexpr int kFdfParseErrorCode = -999;  // not an FDF, or a damaged / truncated one
inline constexpr int kBlobErrorCode = -998;      // a comment blob whose lengths do not fit
inline constexpr int kFdfFileErrorCode = -997;   // an FDF file that cannot be read or written

inline constexpr const char* kCannotParseFdf = "Cannot parse FDF file.";
inline constexpr const char* kCannotLocateFdf = "Cannot loacate exported FDF file.";

class BaseException : public std::exception {
public:
    explicit BaseException(std::string message, int code = 0)
        : message_(std::move(message)), code_(code) {}

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    int code() const { return code_; }

private:
    std::string message_;
    int code_;
};

}  // namespace quill::sync
