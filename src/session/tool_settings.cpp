#include "session/tool_settings.h"
#include "session/session_names.h"

#include <charconv>

namespace quill::session {

namespace {

// The drawing tools whose keys the start-up load knows, in the order it reads them.
constexpr const char* kLoadedTools[] = {"CLOUDY", "ARROW",   "LINE",     "RECTANGLE",
                                        "CIRCLE", "POLYGON", "POLYLINE", "PENCIL"};
// Value data longer than this is cut, as a fixed read buffer would.
constexpr size_t kMaxValueBytes = 260;

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

ToolSettings::ToolSettings(platform::RegistryStore store) : store_(std::move(store)) {}

std::string ToolSettings::ToolKeyPath(const std::string& tool) {
    return std::string(platform::kCurrentToolKey) + tool;
}

void ToolSettings::LoadToolSettings() {
    values_.clear();
    for (const char* tool : kLoadedTools) {
        auto key = store_.ReadKey(ToolKeyPath(tool));
        if (!key) {
            SaveToolSetting(tool, kThicknessValue, "1");
            SaveToolSetting(tool, kBorderStyleValue, std::string(tool) == "CLOUDY" ? "9" : "1");
            continue;
        }
        for (const auto& [name, value] : *key)
            values_[tool][name] = value.substr(0, kMaxValueBytes);
    }
}

void ToolSettings::SaveToolSetting(const std::string& tool, const std::string& name,
                                   const std::string& value) {
    // The style is remembered for this run even when the registry refuses it.
    store_.WriteValue(ToolKeyPath(tool), name, value);
    values_[tool][name] = value;
}

std::string ToolSettings::Value(const std::string& tool, const std::string& name) const {
    auto t = values_.find(tool);
    if (t == values_.end()) return {};
    auto v = t->second.find(name);
    return v == t->second.end() ? std::string() : v->second;
}

std::optional<int16_t> StoredThickness(const std::string& text) {
    // Width 0 would remove the border and the comment with it: only a visible line counts.
    auto value = WholeNumber(text);
    if (!value || *value < 1 || *value > kMaxStoredThickness) return std::nullopt;
    return static_cast<int16_t>(*value);
}

std::optional<int16_t> StoredBorderStyle(const std::string& text) {
    auto value = WholeNumber(text);
    if (!value || *value < 1 || *value > 9) return std::nullopt;
    return static_cast<int16_t>(*value);
}

}  // namespace quill::session
