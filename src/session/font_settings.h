// The text tool's font settings, kept between runs in "setFont.dat" of the installation folder.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <string>

namespace quill::session {

struct FontSettings {
    static constexpr const char* kFileName = "setFont.dat";
    static constexpr int kDefaultSize = 16;
    static constexpr uint32_t kDefaultColour = 9984315;  // red 59, green 89, blue 152
    static constexpr int kDrawingSubTools = 8;

    std::string face = "Arial";
    int size = kDefaultSize;
    uint32_t colour = kDefaultColour;  // a Windows colour value: 0x00BBGGRR
    int drawingSubTool = 0;            // 0 to 7

    bool operator==(const FontSettings&) const = default;
};

// Reads the four lines (face, size, colour, drawing sub-tool). A missing or short file gives
// every default; the file is edited by hand at times, so a size that is not a positive number
// reads as 16, a sub-tool outside 0-7 as 0, and the colour keeps its low 24 bits.
FontSettings ReadFontSettings(const std::string& path);
// Writes the file anew; false when it cannot be written.
bool WriteFontSettings(const std::string& path, const FontSettings& settings);

}  // namespace quill::session
