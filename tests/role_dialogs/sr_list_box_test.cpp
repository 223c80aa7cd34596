#include "ui/sr_list_box.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

#include "platform/code_page.h"
#include "role_fixture.h"
#include "ui/sr_list_box_summary_edit.h"

using namespace quill;
using namespace quill::ui;

namespace {

const char* kKim = "Kim Minsu-Piping";
const char* kLee = "Lee Jihoon-Electrical";
const char* kPark = "Park Seojun-Structural";

class SRListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        roletest::EnsureApp();
        engineers_[kKim].participantSeq = 2;
        engineers_[kLee].participantSeq = 3;
        engineers_[kLee].consolidationFinished = true;
        engineers_[kPark].participantSeq = 4;
        list_ = std::make_unique<SRListBox>(nullptr, &engineers_, &prompts_);
        list_->resize(263, 90);
        list_->AddEngineer(kKim, 2);
        list_->AddEngineer(std::string(" ") + kLee + " ", 3);
        list_->AddEngineer(kPark, 4);
    }

    // The consolidation page's handling of a selection change, as far as the summary edit goes.
    void FollowSelections(SRSummaryEdit& edit) {
        QObject::connect(list_.get(), &QListWidget::itemSelectionChanged, &edit, [this, &edit] {
            list_->UpdateData();
            edit.FollowSelection();
        });
    }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
        const QRect rect = list_->visualItemRect(list_->item(row));
        QTest::mouseClick(list_->viewport(), button, modifiers, rect.center());
    }

    EngineerIndex engineers_;
    platform::ScriptedPrompter prompts_;
    std::unique_ptr<SRListBox> list_;
};

TEST_F(SRListBoxTest, FinishedEngineersAreGreyOnLightGreyEvenWhenSelected) {
    list_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list_.get()));
    EXPECT_EQ(list_->ShownText(1), QString(kLee) + " (Consolidation Finish) ");
    EXPECT_EQ(list_->ShownText(0), QString(kKim) + " (Consolidation Waiting) ");
    list_->item(1)->setSelected(true);
    list_->item(2)->setSelected(true);
    EXPECT_EQ(list_->TextColour(1), QColor(0x5A, 0x5A, 0x5A));
    EXPECT_EQ(list_->BackColour(1), QColor(0xF2, 0xF2, 0xF2));
    EXPECT_EQ(list_->TextColour(0), QColor(0x1D, 0x88, 0xD9));
    EXPECT_EQ(list_->BackColour(0), list_->palette().color(QPalette::Base));
    EXPECT_EQ(list_->BackColour(2), list_->palette().color(QPalette::Highlight));
    EXPECT_EQ(list_->TextColour(2), list_->palette().color(QPalette::HighlightedText));

    // What is on screen: the far right of each row is background only.
    const QImage shot = list_->viewport()->grab().toImage();
    const auto back = [&](int row) {
        const QRect rect = list_->visualItemRect(list_->item(row));
        return shot.pixelColor(rect.right() - 2, rect.top() + 1);
    };
    EXPECT_EQ(back(1), QColor(0xF2, 0xF2, 0xF2));
    EXPECT_EQ(back(2), list_->palette().color(QPalette::Highlight));
    EXPECT_EQ(back(0), list_->palette().color(QPalette::Base));
}

TEST_F(SRListBoxTest, RightClickWithNothingSelectedAsksForAnEngineer) {
    list_->show();
    ClickRow(0, Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(prompts_.entries().size(), 1u);
    EXPECT_EQ(prompts_.entries()[0].kind, platform::PromptKind::Info);
    EXPECT_EQ(prompts_.entries()[0].text, "Please select engineer.");
    EXPECT_TRUE(list_->selectedItems().isEmpty());  // the right button selects nothing

    list_->item(2)->setSelected(true);
    ClickRow(0, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(prompts_.entries().size(), 1u);
}

TEST_F(SRListBoxTest, SingleSelectionFlagKeepsTheCaretAndCtrlLiftsIt) {
    list_->show();
    EXPECT_FALSE(list_->SingleSelection());
    list_->item(0)->setSelected(true);
    list_->item(2)->setSelected(true);
    list_->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    list_->UpdateData();
    EXPECT_EQ(list_->Selection().size(), 2u);

    list_->SetSingleSelection(true);
    QSignalSpy changes(list_.get(), &QListWidget::itemSelectionChanged);
    list_->UpdateData();
    EXPECT_FALSE(list_->item(0)->isSelected());
    EXPECT_TRUE(list_->item(2)->isSelected());
    ASSERT_EQ(list_->Selection().size(), 1u);
    EXPECT_EQ(list_->Selection()[0].index, 2);
    EXPECT_EQ(list_->Selection()[0].itemData, 4);
    EXPECT_EQ(changes.count(), 0);  // not a selection change of the user's

    QTest::keyPress(list_.get(), Qt::Key_Control);
    EXPECT_FALSE(list_->SingleSelection());
    QTest::keyRelease(list_.get(), Qt::Key_Control);
    EXPECT_TRUE(list_->SingleSelection());

    list_->clearSelection();
    list_->SetSingleSelection(false);
    list_->UpdateData();
    EXPECT_TRUE(list_->Selection().empty());
    EXPECT_TRUE(list_->SingleSelection());
}

TEST_F(SRListBoxTest, SummaryGoesToSelectedWaitingEngineersAndAFinishedOnlySelectionAnswersBack) {
    QSignalSpy missing(list_.get(), &SRListBox::SummaryTargetMissing);
    list_->item(1)->setSelected(true);
    list_->UpdateData();
    EXPECT_TRUE(list_->Selection().empty());
    list_->StoreSummary("for Lee");
    EXPECT_EQ(missing.count(), 1);
    EXPECT_TRUE(engineers_[kLee].summary.empty());

    list_->item(0)->setSelected(true);
    list_->UpdateData();
    list_->StoreSummary(QString::fromUtf8("\xea\xb2\x80\xed\x86\xa0 ok"));
    EXPECT_EQ(missing.count(), 1);
    platform::SetSystemCodePageForTesting("CP949");
    EXPECT_EQ(platform::AnsiToUtf8(engineers_[kKim].summary), "\xea\xb2\x80\xed\x86\xa0 ok");
    platform::SetSystemCodePageForTesting("");
    EXPECT_TRUE(engineers_[kLee].summary.empty());
    EXPECT_EQ(engineers_.size(), 3u);
}

TEST_F(SRListBoxTest, TypedSummarySurvivesCtrlClickOnASecondEngineer) {
    SRSummaryEdit edit(list_.get());
    FollowSelections(edit);
    list_->SetSingleSelection(true);
    list_->show();
    edit.show();

    ClickRow(0);
    ASSERT_EQ(list_->Selection().size(), 1u);
    QTest::keyClicks(&edit, "for Kim");
    EXPECT_EQ(engineers_[kKim].summary, "for Kim");

    QTest::keyPress(list_.get(), Qt::Key_Control);
    ClickRow(2, Qt::ControlModifier);
    QTest::keyRelease(list_.get(), Qt::Key_Control);
    EXPECT_EQ(list_->selectedItems().size(), 2);
    EXPECT_TRUE(edit.toPlainText().isEmpty());  // two engineers: the edit starts empty
    EXPECT_EQ(engineers_[kKim].summary, "for Kim");
    EXPECT_TRUE(engineers_[kPark].summary.empty());

    // Typing now goes to both; picking Kim alone shows his text again.
    QTest::keyClicks(&edit, "both");
    EXPECT_EQ(engineers_[kKim].summary, "both");
    EXPECT_EQ(engineers_[kPark].summary, "both");
    ClickRow(0);
    EXPECT_EQ(edit.toPlainText(), "both");
    EXPECT_EQ(engineers_[kPark].summary, "both");

    // A finished engineer alone: nothing to edit.
    ClickRow(1);
    EXPECT_TRUE(edit.toPlainText().isEmpty());
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_EQ(engineers_[kKim].summary, "both");
}

TEST_F(SRListBoxTest, TypingWithNobodySelectedClearsTheEditOnce) {
    SRSummaryEdit edit(list_.get());
    FollowSelections(edit);
    QSignalSpy missing(list_.get(), &SRListBox::SummaryTargetMissing);
    QSignalSpy changed(&edit, &QPlainTextEdit::textChanged);
    list_->UpdateData();
    QTest::keyClicks(&edit, "x");
    EXPECT_TRUE(edit.toPlainText().isEmpty());
    EXPECT_EQ(missing.count(), 1);
    EXPECT_EQ(changed.count(), 2);  // the key, then the one clearing
    EXPECT_EQ(engineers_.size(), 3u);
    for (const auto& [name, entry] : engineers_) EXPECT_TRUE(entry.summary.empty()) << name;
}

}  // namespace
