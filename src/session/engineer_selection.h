// The engineer list's selection rules: which selected engineers take the typed summary, and the
// single-selection flag that keeps one engineer selected unless Ctrl is held.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <string>
#include <vector>

#include "session/engineer_index.h"

namespace quill::session {

// One selected, still waiting engineer of the list.
struct SRCBAndLBItem {
    int index = 0;
    std::string text;
    std::intptr_t itemData = 0;
};

// One row of the list as the selection rules see it.
struct EngineerListRow {
    std::string text;  // the author text, system code page
    std::intptr_t itemData = 0;
    bool selected = false;
};

class EngineerSelection {
public:
    bool SingleSelection() const { return singleSelection_; }
    void SetSingleSelection(bool on) { singleSelection_ = on; }

    // With the single-selection flag set, unselects every row but the caret row (rows are
    // changed in place; the caller shows the change). Then rebuilds the array from the selected
    // rows whose engineer is not consolidation-finished. Nothing selected sets the flag.
    void UpdateData(std::vector<EngineerListRow>& rows, int caret, const EngineerIndex& index);

    // Stores text as the summary of every engineer of the array that the index holds and that
    // is not finished. False when the array is empty (the page then empties its summary edit).
    bool StoreSummary(const std::string& text, EngineerIndex& index) const;

    const std::vector<SRCBAndLBItem>& Items() const { return items_; }

private:
    bool singleSelection_ = false;
    std::vector<SRCBAndLBItem> items_;
};

}  // namespace quill::session
