// Parameters of one request (query or form body), looked up by name without regard to case,
// with strict number reading; a missing or malformed value raises BadRequest.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillserver {

// An ill-formed request: answered with errorCode and errorMsg, never a crash.
class BadRequest : public std::runtime_error {
public:
    BadRequest(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Error codes of ill-formed requests.
enum RequestErrorCode {
    kMissingParameter = 101,
    kBadNumber = 102,
    kBadValue = 103,
    kBadCommentBlob = 104,
    kTooLong = 105,
    kReviewClosed = 110,
    kStoreFailure = 500,
};

class RequestParams {
public:
    RequestParams() = default;
    // Keys are kept as sent; the first occurrence of a key wins.
    void Add(std::string key, std::string value);

    bool Has(std::string_view key) const;
    // The value, or empty text when absent.
    std::string Get(std::string_view key) const;
    // The value; BadRequest when absent or empty, or longer than maxLength bytes.
    std::string Need(std::string_view key, size_t maxLength = 256) const;
    // The value when present (may be empty); BadRequest when longer than maxLength bytes.
    std::string Optional(std::string_view key, size_t maxLength = 4096) const;
    // A decimal 32-bit integer (optional sign, digits only); BadRequest otherwise.
    int NeedInt(std::string_view key) const;
    // As NeedInt, but fallback when the key is absent.
    int OptionalInt(std::string_view key, int fallback) const;

    size_t size() const { return values_.size(); }

private:
    struct CaseLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::map<std::string, std::string, CaseLess> values_;
};

// Reads "k=v&k=v&" with percent escapes ("+" as a blank); a "%" without two hexadecimal
// digits stays as it is. Empty pieces are skipped.
RequestParams ParseForm(std::string_view body);

// Decodes percent escapes; "+" becomes a blank; a stray "%" is kept.
std::string PercentDecode(std::string_view text);

// Reads a decimal 32-bit integer: optional sign, then one or more digits, nothing else.
bool ParseInt32(std::string_view text, int& value);

}  // namespace quillserver
