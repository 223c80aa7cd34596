// DraftMedia: the image or file a new comment carries, asked for and loaded into its draft.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QCoreApplication>
#include <QString>

#include "viewer/engine/annot_draft.h"
#include "viewer/widget/viewer_dialogs.h"

class QWidget;

namespace quill::widget {

class DraftMedia {
    Q_DECLARE_TR_FUNCTIONS(DraftMedia)
public:
    // Asks for the file the draft's tool needs and loads it; drafts of other tools pass as
    // they are. False when the user cancels or the file cannot be read: nothing is made.
    static bool Load(engine::AnnotDraft& draft, const ViewerDialogs& dialogs, QWidget* parent);
    // The image as RGB pixels, at most 2048 on a side, see-through parts white. A drag fits
    // it into the dragged rectangle at its own shape; a click places it with its top left at
    // the click, at most 200 points wide.
    static bool LoadImage(engine::AnnotDraft& draft, const QString& file);
    // The file's name and bytes.
    static bool LoadAttachment(engine::AnnotDraft& draft, const QString& file);
};

}  // namespace quill::widget
