#include "viewer/widget/tools/sample_annots.h"

#include "viewer/engine/sample_annots.h"

namespace quill::widget {

std::vector<AnnotId> AddSampleAnnots(engine::EngineControl& engine, int32_t page) {
    const engine::PageGeometry g = engine.PageGeometryOf(page);
    // Highlight and strike-out mark words of the notes column (the right third of the
    // sample drawing) when the page has text there.
    const engine::RectF c = g.cropBox.Normalized();
    const std::vector<engine::Quad> words = engine.TextQuadsIn(
        page, {c.x1 + c.Width() * 0.66, c.y1 + c.Height() * 0.5, c.x2, c.y2 - 50});
    std::vector<AnnotId> ids;
    for (engine::AnnotDraft& draft : engine::SampleAnnotDrafts(page, g, words)) {
        if (draft.author.empty()) draft.author = "Sample-MECH";
        ids.push_back(engine.CreateAnnot(draft));
    }
    // A short reply thread on the rectangle.
    if (ids.size() > 3 && ids[3]) {
        const AnnotId first =
            engine.AddReply(ids[3], "Move the valve 300 mm east?", "Reviewer-PIPE");
        if (first) engine.AddReply(first, "Agreed, see sheet 2.", "Sample-MECH");
        engine.AddReply(ids[3], "Check the support load too.", "Reviewer-CIVIL");
    }
    return ids;
}

}  // namespace quill::widget
