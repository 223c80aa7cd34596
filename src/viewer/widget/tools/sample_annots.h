// Sample comments of every tool on one page, laid out in a grid, for the viewer's test
// program and its screenshots.
#pragma once
#include "viewer/widget/widget_names.h"

#include <cstdint>
#include <vector>

#include "viewer/engine/engine_control.h"

namespace quill::widget {

// Creates one comment of each of the 17 tools on the page (without events); returns their
// ids in tool order (0 where the engine refused one).
std::vector<AnnotId> AddSampleAnnots(engine::EngineControl& engine, int32_t page);

}  // namespace quill::widget
