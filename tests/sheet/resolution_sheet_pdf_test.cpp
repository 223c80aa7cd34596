// The resolution sheet as PDF: pages, repeated headings, Korean text and a cancelled write.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "sheet/resolution_sheet_pdf.h"
#include "sheet/sheet_fixture.h"

namespace quill::sheet {
namespace {

const std::string kReviewUtf8 = "\xEA\xB2\x80\xED\x86\xA0 \xEC\x9D\x98\xEA\xB2\xAC";

std::vector<session::SheetRow> Rows(int count) {
    std::vector<session::SheetRow> rows;
    for (int i = 0; i < count; ++i) {
        session::SheetRow row;
        row.number = i + 1;
        row.pageLabel = std::to_string(i / 10 + 1);
        row.discipline = "civil";
        row.author = "kim-civil";
        row.date = "2026-12-07 10:00:00";
        row.type = "cloudy";
        row.contents = kReviewUtf8 + " row " + std::to_string(i + 1) + ", pipe rack clearance";
        row.replies = {"park-piping: agreed", "kim-civil: " + kReviewUtf8};
        row.decision = i % 3 == 0 ? "Apply" : i % 3 == 1 ? "Do Not Apply" : "Under SC";
        row.link = "page " + row.pageLabel;
        rows.push_back(row);
    }
    return rows;
}

session::SheetTitle Title() { return {"DOC-100-001", "Piping layout", "B", "3", "2026-12-07"}; }

using sheettest::PdfText;

class SheetPdf : public ::testing::Test {
protected:
    void SetUp() override { sheettest::EnsureApp(); }
    QTemporaryDir dir;
};

TEST_F(SheetPdf, ALongSheetRunsOverPagesWithHeadingsAndNumbers) {
    const auto rows = Rows(80);
    const QString path = dir.filePath("sheet.pdf");
    int calls = 0;
    QString error;
    SheetPdfOptions options;
    options.progress = [&](int done, int total) {
        EXPECT_EQ(done, ++calls);
        EXPECT_EQ(total, 80);
        return true;
    };
    ASSERT_TRUE(WriteSheetPdf(path, Title(), rows, options, &error)) << error.toStdString();
    EXPECT_EQ(calls, 80);
    EXPECT_FALSE(QFile::exists(path + ".part"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    const int pages = SheetPdfPageCount(rows);
    EXPECT_GT(pages, 1);
    const QString text = PdfText(path);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not available";
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("Page \\d+ of \\d+"))), pages);
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
    // The headings and the title block on every page.
    EXPECT_EQ(text.count(QStringLiteral("Feedback")), pages);
    EXPECT_EQ(text.count(QStringLiteral("DOC-100-001")), pages);
    EXPECT_TRUE(text.contains(QString::fromUtf8(kReviewUtf8.c_str())));
    EXPECT_TRUE(text.contains(QStringLiteral("row 80,")));
}

TEST_F(SheetPdf, AnEmptyReviewIsOnePageOfHeadings) {
    const QString path = dir.filePath("empty.pdf");
    ASSERT_TRUE(WriteSheetPdf(path, Title(), {}));
    EXPECT_EQ(SheetPdfPageCount({}), 1);
    const QString text = PdfText(path);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not available";
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Comment")));
}

TEST_F(SheetPdf, ACancelledSheetLeavesTheOlderFileAlone) {
    const QString path = dir.filePath("kept.pdf");
    {
        QFile older(path);
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older sheet");
    }
    QString error;
    SheetPdfOptions options;
    options.progress = [](int done, int) { return done < 5; };
    EXPECT_FALSE(WriteSheetPdf(path, Title(), Rows(30), options, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path + ".part"));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("older sheet"));

    EXPECT_FALSE(WriteSheetPdf(dir.filePath("missing/sheet.pdf"), Title(), Rows(1)));
}

}  // namespace
}  // namespace quill::sheet
