#include "widgets/custom_colours.h"

namespace quill::widgets {

namespace {

std::string SlotName(int slot) { return "Color" + std::to_string(slot); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

CustomColours::CustomColours(platform::RegistryStore store) : store_(std::move(store)) {}

QColor CustomColours::Parse(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return {};
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[1 + 2 * i]);
        const int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) return {};
        rgb[i] = high * 16 + low;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QList<QColor> CustomColours::Load() const {
    QList<QColor> colours;
    const auto values = store_.ReadKey(kCustomColoursKey);
    for (int slot = 0; slot < kCount; ++slot) {
        QColor colour;
        if (values) {
            auto it = values->find(SlotName(slot));
            if (it != values->end()) colour = Parse(it->second);
        }
        colours << colour;
    }
    return colours;
}

bool CustomColours::Save(const QList<QColor>& colours) {
    bool ok = true;
    for (int slot = 0; slot < kCount; ++slot) {
        const QColor colour = slot < colours.size() ? colours[slot] : QColor();
        const std::string text =
            colour.isValid() ? colour.name(QColor::HexRgb).toUpper().toStdString() : std::string();
        ok = store_.WriteValue(kCustomColoursKey, SlotName(slot), text) && ok;
    }
    return ok;
}

}  // namespace quill::widgets
