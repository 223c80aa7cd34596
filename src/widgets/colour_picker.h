// The text tool's colour button: a swatch of the current colour and a pop-up of named colours,
// with the colour dialog and its remembered custom colours behind "More Colors...".
#pragma once

#include <QColor>
#include <QToolButton>

#include <vector>

#include "widgets/custom_colours.h"

class QMenu;

namespace quill::widgets {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

// The colours offered by name, in the order of the pop-up.
const std::vector<NamedColour>& NamedColours();

class CColourPicker : public QToolButton {
    Q_OBJECT
public:
    explicit CColourPicker(CustomColours customColours = CustomColours(),
                           QWidget* parent = nullptr);

    QColor Colour() const { return colour_; }
    // Shows colour on the swatch; no signal.
    void SetColour(const QColor& colour);
    // The pop-up of named colours (for the main window's own placement and for tests).
    QMenu* ColourMenu() const { return menu_; }
    // Runs the colour dialog with the remembered custom colours, stores the custom colours as
    // the user left them, and takes the colour chosen (false when cancelled).
    bool ChooseMoreColours();

signals:
    // The user picked a colour.
    void ColourChosen(const QColor& colour);

private:
    void Choose(const QColor& colour);
    void UpdateSwatch();

    CustomColours customColours_;
    QColor colour_ = Qt::black;
    QMenu* menu_ = nullptr;
};

}  // namespace quill::widgets
