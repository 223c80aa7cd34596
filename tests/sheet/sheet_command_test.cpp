// "quill-pdf resolution-sheet --review": the sheet of a review as the bundled server holds it,
// with the initiator's decisions and the participants' feedback on the right rows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <vector>

#include "app/launch_params.h"
#include "codec/percent_encoding.h"
#include "resolution_sheet/csv_reader.h"
#include "sheet/sheet_fixture.h"
#include "support/review_server_process.h"

namespace quill::sheet {
namespace {

using sheettest::RunTool;

// The demo review's comments: name and the start of its text, in page and list order.
constexpr const char* kCable = "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001";
constexpr const char* kJunction = "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10002";
// "배관 간섭, 재검토" (piping clash, review again) in UTF-8, as the client sends it.
const std::string kKoreanUtf8 =
    "\xEB\xB0\xB0\xEA\xB4\x80 \xEA\xB0\x84\xEC\x84\xAD, \xEC\x9E\xAC\xEA\xB2\x80\xED\x86\xA0";

class SheetCommand : public ::testing::Test {
protected:
    void SetUp() override {
        sheettest::EnsureApp();
        tool_ = QString::fromUtf8(QUILL_BINARY_DIR) + "/src/quill-pdf";
        if (!QFile::exists(tool_)) GTEST_SKIP() << "quill-pdf is not built";
        testsupport::ReviewServerProcess::Options options;
        options.seedDemo = true;
        ASSERT_TRUE(server_.Start(options)) << server_.error();
    }

    std::string Launch() const {
        std::string text = app::DebugLaunchString();
        const std::string port = "PORT=8087";
        text.replace(text.find(port), port.size(), "PORT=" + std::to_string(server_.port()));
        return text;
    }

    // Runs quill-pdf resolution-sheet --review on the demo review; its exit code.
    int Sheet(const QString& out, QString* printed = nullptr) {
        int code = -1;
        const QString text = RunTool(
            tool_, {"resolution-sheet", "--review", QString::fromStdString(Launch()), out}, &code);
        if (printed) *printed = text;
        return code;
    }

    std::vector<std::vector<std::string>> ReadSheet(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        const std::string csv = file.readAll().toStdString();
        std::vector<std::vector<std::string>> records;
        if (csv.rfind("\xEF\xBB\xBF", 0) != 0 || !test::ReadCsv(csv.substr(3), records)) return {};
        return records;
    }

    QString tool_;
    testsupport::ReviewServerProcess server_;
    QTemporaryDir dir_;
};

TEST_F(SheetCommand, TheServersDecisionsAndFeedbackLandOnTheirRows) {
    // The initiator decides the junction box comment; the electrical reviewer disagrees with
    // the decision on the cable tray, in Korean.
    ASSERT_EQ(server_
                  .Get(std::string("/Comm/review.do?squrvwmno=1001&patcpseq=1&repatcpseq=0&"
                                   "rvwfileseq=1&cmntid=") +
                       kJunction + "&cmnt=Not%20on%20this%20sheet&yesno=N&userid=opener1")
                  .body,
              "0");
    ASSERT_EQ(
        server_
            .Get(std::string("/Comm/feedback.do?squrvwmno=1001&rvwfileseq=1&cmntid=") + kCable +
                 "&cmnt=" + codec::PercentEncode(kKoreanUtf8) + "&agree=N&userid=elec1")
            .body,
        "0");

    const QString csvPath = dir_.filePath("sheet.csv");
    QString printed;
    ASSERT_EQ(Sheet(csvPath, &printed), 0) << printed.toStdString();
    EXPECT_TRUE(printed.contains("5 comments")) << printed.toStdString();
    const auto records = ReadSheet(csvPath);
    ASSERT_EQ(records.size(), 6u);
    const std::vector<std::string>& head = records[0];
    auto column = [&head](const std::string& name) {
        return static_cast<size_t>(std::find(head.begin(), head.end(), name) - head.begin());
    };
    const size_t comment = column("Comment"), decision = column("Decision"),
                 summary = column("Decision summary"), feedback = column("Feedback"),
                 replies = column("Replies"), link = column("Link"), page = column("Page");
    ASSERT_LT(link, head.size());

    // Page 1 holds the vessel and the cable tray comments, in the list's order.
    EXPECT_EQ(records[1][comment].rfind("Vessel V-101", 0), 0u);
    EXPECT_EQ(records[2][comment].rfind("Cable tray clashes", 0), 0u);
    EXPECT_EQ(records[3][comment], "Junction box JB-12 is missing on this sheet.");
    EXPECT_EQ(records[5][comment], "Beam B-7 size to be confirmed.");
    EXPECT_EQ(records[3][page], "2");

    // The cable tray: applied, then disagreed with, so back under review with both texts.
    EXPECT_EQ(records[2][decision], "Under SC");
    EXPECT_EQ(records[2][summary], "Reroute accepted.");
    EXPECT_EQ(records[2][feedback], "Disagree: " + kKoreanUtf8);
    EXPECT_EQ(records[2][replies],
              "Park Seojun-Structural: Agreed. The pipe support steel moves with it.");
    EXPECT_EQ(records[2][link], "page 1 (690, 470)");
    // The junction box: not applied, with the initiator's reason; nobody else's row changed.
    EXPECT_EQ(records[3][decision], "Do Not Apply");
    EXPECT_EQ(records[3][summary], "Not on this sheet");
    EXPECT_EQ(records[3][feedback], "");
    for (size_t row : {1u, 4u, 5u}) {
        EXPECT_EQ(records[row][decision], "Under SC") << row;
        EXPECT_EQ(records[row][summary], "") << row;
        EXPECT_EQ(records[row][feedback], "") << row;
    }
}

TEST_F(SheetCommand, ThePdfSheetHoldsEveryCommentInOrderWithItsPicture) {
    const QString pdfPath = dir_.filePath("sheet.pdf");
    QString printed;
    ASSERT_EQ(Sheet(pdfPath, &printed), 0) << printed.toStdString();
    int code = -1;
    RunTool("qpdf", {"--check", pdfPath}, &code);
    EXPECT_EQ(code, 0);
    const QString text = sheettest::PdfText(pdfPath).simplified();
    ASSERT_FALSE(text.isEmpty());
    qsizetype at = 0;
    for (const char* start : {"Vessel V-101", "Cable tray clashes", "Junction box JB-12",
                              "cable-schedule.txt", "Beam B-7"}) {
        const qsizetype found = text.indexOf(QString::fromUtf8(start), at);
        EXPECT_GT(found, at) << start;
        at = std::max(at, found);
    }
    EXPECT_TRUE(text.contains("Reroute accepted."));
    EXPECT_TRUE(text.contains("Review No.: 1001"));
    // One picture a comment.
    const QString images = RunTool("pdfimages", {"-list", pdfPath}, &code);
    if (code != 0) GTEST_SKIP() << "pdfimages is not available";
    EXPECT_EQ(images.split('\n', Qt::SkipEmptyParts).size(), 2 + 5) << images.toStdString();
}

TEST_F(SheetCommand, NoServerOrNoLaunchStringWritesNothing) {
    const QString path = dir_.filePath("none.csv");
    server_.Stop();
    QString printed;
    EXPECT_EQ(Sheet(path, &printed), 1);
    EXPECT_FALSE(QFile::exists(path));
    int code = -1;
    RunTool(tool_, {"resolution-sheet", "--review", "HOST=&PORT=x", path}, &code);
    EXPECT_EQ(code, 2);
    RunTool(tool_, {"resolution-sheet", "--review", path}, &code);
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace quill::sheet
