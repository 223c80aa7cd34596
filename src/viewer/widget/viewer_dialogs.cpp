#include "viewer/widget/viewer_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace quill::widget {

ViewerDialogs ViewerDialogs::Interactive() {
    ViewerDialogs d;
    d.openFile = [](QWidget* parent, const QString& caption, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    };
    d.setupPrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.knownDistance = [](QWidget* parent, double measured,
                         const QString& unit) -> std::optional<KnownDistance> {
        bool ok = false;
        const QString text = QInputDialog::getText(
            parent, QObject::tr("Calibrate Scale"),
            QObject::tr("Real distance between the two points (for example \"12.5 m\"):"),
            QLineEdit::Normal, QString::number(measured, 'f', 2) + " " + unit, &ok);
        if (!ok) return std::nullopt;
        static const QRegularExpression re(R"(^\s*([0-9]+(?:[.,][0-9]*)?)\s*(\S*)\s*$)");
        const auto m = re.match(text);
        if (!m.hasMatch()) return std::nullopt;
        QString number = m.captured(1);
        number.replace(',', '.');
        KnownDistance k;
        k.distance = number.toDouble(&ok);
        k.unit = m.captured(2).isEmpty() ? unit : m.captured(2);
        if (!ok || k.distance <= 0) return std::nullopt;
        return k;
    };
    return d;
}

}  // namespace quill::widget
