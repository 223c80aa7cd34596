#include "session/engineer_selection.h"

#include "platform/code_page.h"

namespace quill::session {

void EngineerSelection::UpdateData(std::vector<EngineerListRow>& rows, int caret,
                                   const EngineerIndex& index) {
    if (singleSelection_) {
        for (size_t i = 0; i < rows.size(); ++i)
            if (static_cast<int>(i) != caret) rows[i].selected = false;
    }
    items_.clear();
    bool any = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].selected) continue;
        any = true;
        const std::string text = platform::TrimMultiByte(rows[i].text);
        if (IsConsolidationFinished(index, text)) continue;
        items_.push_back({static_cast<int>(i), text, rows[i].itemData});
    }
    if (!any) singleSelection_ = true;
}

bool EngineerSelection::StoreSummary(const std::string& text, EngineerIndex& index) const {
    if (items_.empty()) return false;
    for (const SRCBAndLBItem& item : items_) {
        // A row whose engineer the index does not hold must not become an engineer of its own:
        // every entry of the index is finished with its summary at the end.
        const auto it = index.find(item.text);
        if (it == index.end() || it->second.consolidationFinished) continue;
        it->second.summary = text;
    }
    return true;
}

}  // namespace quill::session
