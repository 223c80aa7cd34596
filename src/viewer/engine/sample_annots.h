// One comment of every tool laid out over a page: what `quill-pdf sample` draws, and what
// tests and benchmarks create.
#pragma once
#include "viewer/engine/engine_names.h"

#include <vector>

#include "viewer/engine/annot_draft.h"
#include "viewer/engine/page_geometry.h"

namespace quill::engine {

// 17 drafts (in tool code order) spread over the page's crop box in a grid. Highlight and
// strike-out mark the given word quads when there are any, else a fixed strip.
std::vector<AnnotDraft> SampleAnnotDrafts(int page, const PageGeometry& geometry,
                                          const std::vector<Quad>& words = {});

}  // namespace quill::engine
