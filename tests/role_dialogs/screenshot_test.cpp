// Pictures of every role dialog for a visual check; written only when QUILL_SHOTS_DIR names a
// folder.
#include <gtest/gtest.h>
#include <QDir>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include "role_fixture.h"
#include "ui/opener_finish_dlg.h"
#include "ui/opener_review_dlg.h"
#include "ui/patcp_finish_dlg.h"
#include "ui/patcp_tab_dlg.h"
#include "ui/sr_list_box.h"

using namespace quill;
using namespace quill::ui;

namespace {

QString ShotsDir() { return qEnvironmentVariable("QUILL_SHOTS_DIR"); }

// The dialog as the screen shows it: what its shape cuts away is left transparent.
void Save(ShapedDialog& dialog, const QString& name) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QImage image(dialog.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setClipRegion(dialog.Shape());
        painter.drawPixmap(0, 0, dialog.grab());
    }
    EXPECT_TRUE(image.save(QDir(ShotsDir()).filePath(name)));
    dialog.hide();
}

TEST(RoleDialogShots, EveryDialogInEveryForm) {
    if (ShotsDir().isEmpty()) GTEST_SKIP() << "QUILL_SHOTS_DIR not set";
    roletest::EnsureApp();
    QDir().mkpath(ShotsDir());

    ReviewDecisionContext review;
    for (const bool feedback : {false, true}) {
        for (const bool positive : {true, false}) {
            review.feedbackMode = feedback;
            COpenerReviewDlg dialog(review);
            dialog.SetPositive(positive);
            dialog.SummaryEdit()->setPlainText(
                QString::fromUtf8("Line 3 & 4: \xea\xb2\x80\xed\x86\xa0"));
            Save(dialog,
                 QStringLiteral("review_%1.png").arg(dialog.Title().toLower().replace(' ', '_')));
        }
    }

    roletest::CountingSteps steps;
    platform::ScriptedPrompter prompts;
    FinishDialogContext finish;
    finish.steps = &steps;
    finish.prompter = &prompts;
    finish.squadDocNo = "QM-DWG-0001";
    CPatcpFinishDlg participant(finish);
    participant.SummaryEdit()->setPlainText("All my comments are answered.");
    Save(participant, "finish_participant.png");

    EngineerIndex engineers;
    engineers["Kim Minsu-Piping"].participantSeq = 2;
    engineers["Lee Jihoon-Electrical"].consolidationFinished = true;
    engineers["Park Seojun-Structural"].participantSeq = 4;
    finish.consolidationPage = [&engineers, &prompts](QWidget* parent, std::function<void()>) {
        auto* page = new QWidget(parent);
        auto* list = new SRListBox(page, &engineers, &prompts);
        list->setGeometry(15, 15, 263, 90);
        list->AddEngineer("Kim Minsu-Piping", 2);
        list->AddEngineer("Lee Jihoon-Electrical", 3);
        list->AddEngineer("Park Seojun-Structural", 4);
        list->item(1)->setSelected(true);
        list->item(2)->setSelected(true);
        return page;
    };
    COpenerFinishDlg opener(finish);
    Save(opener, "finish_initiator_participation.png");
    opener.Tabs()->setCurrentIndex(1);
    Save(opener, "finish_initiator_consolidation_slot.png");
}

}  // namespace
