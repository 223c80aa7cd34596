// Text in the system code page: conversions at the edges and multi-byte aware helpers.
#pragma once

#include <cstddef>
#include <string>

namespace quill::platform {

// The code page of the wire and of stored comment data when nothing else is chosen.
inline constexpr const char* kDefaultCodePage = "CP949";

// Name of the system code page as iconv knows it ("CP949", "UTF-8", ...): $QUILLMARK_CODEPAGE,
// else the registry value CODEPAGE, else CP949, whatever the locale; read once, then cached.
// Text on screen is Unicode and file names on disk are UTF-8 whatever this says.
const std::string& SystemCodePage();
// For tests: force a code page for the rest of the process (empty: back to the default).
void SetSystemCodePageForTesting(const std::string& name);

// Conversions; undecodable bytes are replaced rather than dropped silently.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
std::u16string AnsiToUtf16(const std::string& ansi);
std::string Utf16ToAnsi(const std::u16string& utf16);

// Length in bytes of the character at text[pos] in the system code page (1 at least,
// never past the end).
size_t CharLength(const std::string& text, size_t pos);

// Removes blanks, tabs, carriage returns and line feeds at both ends.
std::string TrimMultiByte(const std::string& text);
// The same for UTF-8 text such as a path on disk, whatever the system code page: in UTF-8 a
// blank is never part of a longer character.
std::string TrimUtf8(const std::string& text);
// Upper-cases ASCII letters that are whole characters; bytes of multi-byte
// characters are left alone.
std::string UpperMultiByte(const std::string& text);
std::string LowerMultiByte(const std::string& text);

}  // namespace quill::platform
