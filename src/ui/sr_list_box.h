// SRListBox: the consolidation page's engineer list: each engineer with his consolidation state,
// the selected waiting engineers taking the typed summary.
#pragma once
#include "ui/ui_names.h"

#include <QListWidget>
#include <cstdint>
#include <string>

#include "platform/prompter.h"
#include "session/engineer_index.h"
#include "session/engineer_selection.h"

namespace quill::ui {

class SRListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 18;

    // Both must outlive the list; the defaults are the application's.
    explicit SRListBox(QWidget* parent = nullptr, EngineerIndex* index = nullptr,
                       platform::Prompter* prompter = nullptr);

    // Adds an engineer by author text (system code page) with the caller's value.
    void AddEngineer(const std::string& authorText, std::intptr_t itemData);
    // The row's author text in the system code page.
    std::string AuthorText(int row) const;

    bool SingleSelection() const { return selection_.SingleSelection(); }
    void SetSingleSelection(bool on) { selection_.SetSingleSelection(on); }
    // Rebuilds the array of selected waiting engineers (see EngineerSelection).
    void UpdateData();
    const std::vector<SRCBAndLBItem>& Selection() const { return selection_.Items(); }
    const EngineerIndex& Engineers() const { return *index_; }

    // Message 0x5FB: stores text (trimmed by the caller) as the summary of every engineer of the
    // array; with an empty array the parent is told to empty its summary edit instead (0x5FD).
    void StoreSummary(const QString& text);

    // The text a row shows: the trimmed author text and its consolidation suffix.
    QString ShownText(int row) const;
    // The row's text and background colours as drawn now.
    QColor TextColour(int row) const;
    QColor BackColour(int row) const;

signals:
    // Message 0x5FD to the parent: StoreSummary found no engineer to take the text.
    void SummaryTargetMissing();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    EngineerIndex* index_;
    platform::Prompter* prompter_;
    EngineerSelection selection_;
};

}  // namespace quill::ui
