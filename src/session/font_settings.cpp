#include "session/font_settings.h"
#include "session/session_names.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quill::session {

namespace {

// A line of the file is at most 149 characters; longer ones are cut there.
constexpr size_t kLineLimit = 150;
constexpr int kLargestSize = 1638;  // the largest point size a text field takes

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool ReadLine(FILE* file, std::string& line) {
    char buffer[kLineLimit];
    if (!std::fgets(buffer, sizeof buffer, file)) return false;
    line.assign(buffer, strnlen(buffer, sizeof buffer));
    if (line.size() == sizeof buffer - 1 && line.back() != '\n') {
        // Skip the rest of an overlong line so that the next read starts on the next line.
        int c;
        while ((c = std::fgetc(file)) != EOF && c != '\n') {
        }
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
}

// A whole decimal number, or false.
bool ReadNumber(const std::string& text, long long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

}  // namespace

FontSettings ReadFontSettings(const std::string& path) {
    FontSettings settings;
    File file(std::fopen(path.c_str(), "r"));
    if (!file) return settings;
    std::string lines[4];
    for (std::string& line : lines) {
        if (!ReadLine(file.get(), line)) return FontSettings{};
    }
    settings.face = lines[0].empty() ? FontSettings{}.face : lines[0];
    long long number = 0;
    if (ReadNumber(lines[1], number) && number > 0 && number <= kLargestSize)
        settings.size = static_cast<int>(number);
    if (ReadNumber(lines[2], number)) settings.colour = static_cast<uint32_t>(number) & 0xFFFFFFu;
    if (ReadNumber(lines[3], number) && number >= 0 && number < FontSettings::kDrawingSubTools)
        settings.drawingSubTool = static_cast<int>(number);
    return settings;
}

bool WriteFontSettings(const std::string& path, const FontSettings& settings) {
    File file(std::fopen(path.c_str(), "w+"));
    if (!file) return false;
    const int written =
        std::fprintf(file.get(), "%s\n%d\n%u\n%d\n", settings.face.c_str(), settings.size,
                     static_cast<unsigned>(settings.colour & 0xFFFFFFu), settings.drawingSubTool);
    return written > 0 && std::fflush(file.get()) == 0;
}

}  // namespace quill::session
