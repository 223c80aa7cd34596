// The user's custom colours of the colour picker, remembered in the registry store.
#pragma once

#include <QColor>
#include <QList>

#include <string>

#include "platform/registry_store.h"

namespace quill::widgets {

// Key of the custom colours; values "Color0" to "Color15", each "#RRGGBB".
inline constexpr const char* kCustomColoursKey = "SOFTWARE\\Orvane\\Quillmark\\CustomColors\\";

class CustomColours {
public:
    // As many as the colour dialog has custom slots.
    static constexpr int kCount = 16;

    explicit CustomColours(platform::RegistryStore store = platform::RegistryStore());

    // The stored colours by slot; a slot missing or not "#RRGGBB" in the store is invalid.
    QList<QColor> Load() const;
    // Stores the valid colours of the first kCount slots; an invalid one clears its slot.
    bool Save(const QList<QColor>& colours);

    // "#RRGGBB" only (the file is edited by hand now and then): anything else is invalid.
    static QColor Parse(const std::string& text);

private:
    platform::RegistryStore store_;
};

}  // namespace quill::widgets
