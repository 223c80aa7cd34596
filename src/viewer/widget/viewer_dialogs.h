// ViewerDialogs: the modal questions the viewer asks (a file to attach, the printer, a known
// distance); tests and scripted runs replace them.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;
class QPrinter;

namespace quill::widget {

struct KnownDistance {
    double distance = 0;
    QString unit;
};

struct ViewerDialogs {
    // A file to open; empty when the user cancels. filter: a QFileDialog name filter.
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter)> openFile;
    // Sets the printer up; false when the user cancels.
    std::function<bool(QWidget* parent, QPrinter& printer)> setupPrinter;
    // The real distance between two calibration points; nullopt when cancelled.
    std::function<std::optional<KnownDistance>(QWidget* parent, double measured,
                                               const QString& unit)>
        knownDistance;

    // The interactive dialogs (QFileDialog, QPrintDialog, an input dialog).
    static ViewerDialogs Interactive();
};

}  // namespace quill::widget
