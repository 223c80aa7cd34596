#include "widgets/arial_font.h"

#include <QStringList>
#include <algorithm>
#include <mutex>

namespace quill::widgets {

namespace {

void EnsureSubstitution() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    });
}

// The painting code speaks the 1 to 1000 weights of the system's font API; Qt's enum uses the
// same scale.
QFont::Weight ClampWeight(int weight) {
    return static_cast<QFont::Weight>(std::clamp(weight, 1, 1000));
}

}  // namespace

QFont ArialPixelFont(int pixelHeight, int weight) {
    EnsureSubstitution();
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    font.setPixelSize(std::max(1, pixelHeight));
    font.setWeight(ClampWeight(weight));
    return font;
}

}  // namespace quill::widgets
