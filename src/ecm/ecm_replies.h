// Readers of the content store's replies: the session token and the content identifier.
#pragma once
#include "ecm/ecm_names.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::ecm {

// Longest reply body the client takes from the content store; anything longer is no answer.
inline constexpr size_t kMaxEcmReplyBytes = 4096;
// Longest content identifier the client accepts, whatever the caller's buffer.
inline constexpr size_t kMaxIdentifierBytes = 255;

// The reply of a connect holds a session token: 32 lower- or upper-case hexadecimal digits,
// around which blanks and line breaks are allowed. token gets the digits; false otherwise.
bool ReadSessionToken(std::string_view reply, std::string& token);

// A content identifier travels plainly inside later URLs, so it may hold only letters,
// digits, ".", "_" and "-", and must not be empty or longer than kMaxIdentifierBytes.
bool IsSafeIdentifier(std::string_view identifier);

// The reply of an upload: the identifier, trimmed of blanks and line breaks. False when what
// is left is not a safe identifier.
bool ReadContentIdentifier(std::string_view reply, std::string& identifier);

}  // namespace quill::ecm
