// The text tool's font box: the installed fonts by face name.
#pragma once

#include <QFontComboBox>

namespace quill::widgets {

class CFontList : public QFontComboBox {
    Q_OBJECT
public:
    explicit CFontList(QWidget* parent = nullptr);

    // The face name shown.
    QString FaceName() const { return currentFont().family(); }
    // Selects the installed face of that name (case ignored). False, leaving the selection as
    // it was, when no installed font has it: a face from a comment made elsewhere may be missing.
    bool SelectFace(const QString& faceName);
    // Every face name offered, in list order.
    QStringList FaceNames() const;
};

}  // namespace quill::widgets
