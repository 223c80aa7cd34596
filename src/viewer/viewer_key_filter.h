// The viewer dialog's keyboard hook: an application-wide filter that offers every key press
// and release meant for the dialog or the control to the dialog before the control sees it.
#pragma once
#include "viewer/viewer_names.h"

#include <QObject>

namespace quill::viewer {

class CPdfViewerDlg;
class ViewerKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit ViewerKeyFilter(CPdfViewerDlg* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CPdfViewerDlg* dialog_;
};

}  // namespace quill::viewer
