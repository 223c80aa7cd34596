// Page labels: read from the document's /PageLabels, and shown in the sheet's page column and
// link.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

#include "resolution_sheet/csv_reader.h"
#include "sheet/sheet_fixture.h"
#include "viewer/widget/page_labels.h"

namespace quill::widget {
namespace {

// A PDF of three empty pages with the given catalog entries, its cross-reference table written
// with the offsets it needs.
std::string ThreePagePdf(const std::string& catalogExtra) {
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R " + catalogExtra + " >>",
                                        "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>",
                                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>",
                                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>",
                                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>"};
    std::string pdf = "%PDF-1.7\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[21];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

class PageLabels : public ::testing::Test {
protected:
    void SetUp() override { sheettest::EnsureApp(); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const QString path = dir.filePath(QString::fromStdString(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(PageLabels, ComeFromTheDocumentAndPlainNumbersAreLeftOut) {
    // Roman numbers for the first two sheets, then "A-101" on.
    const std::string labelled = Write(
        "labelled.pdf",
        ThreePagePdf("/PageLabels << /Nums [0 << /S /r >> 2 << /S /D /P (A-) /St 101 >>] >>"));
    EXPECT_EQ(ReadPageLabels(labelled),
              (std::map<int, std::string>{{0, "i"}, {1, "ii"}, {2, "A-101"}}));
    // Labels that are only the page numbers say nothing the page column does not.
    EXPECT_TRUE(ReadPageLabels(Write("plain.pdf", ThreePagePdf(""))).empty());
    EXPECT_TRUE(ReadPageLabels(
                    Write("numbers.pdf", ThreePagePdf("/PageLabels << /Nums [0 << /S /D >>] >>")))
                    .empty());
    // A file that is no PDF, or none at all.
    EXPECT_TRUE(ReadPageLabels(Write("garbage.pdf", "%PDF-1.7 not really")).empty());
    EXPECT_TRUE(ReadPageLabels(dir.filePath("missing.pdf").toStdString()).empty());
    // A label far longer than any sheet number is cut.
    const std::string hostile = Write("long.pdf", ThreePagePdf("/PageLabels << /Nums [0 << /P (" +
                                                               std::string(500, 'X') + ") >>] >>"));
    const auto labels = ReadPageLabels(hostile);
    ASSERT_EQ(labels.count(0), 1u);
    EXPECT_EQ(labels.at(0).size(), 64u);
}

TEST_F(PageLabels, TheSheetNamesPagesByTheirLabels) {
    const QString tool = QString::fromUtf8(QUILL_BINARY_DIR) + "/src/quill-pdf";
    if (!QFile::exists(tool)) GTEST_SKIP() << "quill-pdf is not built";
    const QString pdf = QString::fromStdString(Write(
        "set.pdf",
        ThreePagePdf("/PageLabels << /Nums [0 << /S /r >> 2 << /S /D /P (A-) /St 101 >>] >>")));
    // A comment on each page, made with the engine's sample and exported.
    const QString sample = dir.filePath("sample.pdf"), fdf = dir.filePath("c.fdf");
    int code = -1;
    sheettest::RunTool(tool, {"sample", pdf, sample}, &code);
    ASSERT_EQ(code, 0);
    sheettest::RunTool(tool, {"export-fdf", sample, fdf}, &code);
    ASSERT_EQ(code, 0);
    const QString csv = dir.filePath("sheet.csv");
    sheettest::RunTool(tool, {"resolution-sheet", pdf, fdf, "-", csv}, &code);
    ASSERT_EQ(code, 0);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<std::vector<std::string>> records;
    ASSERT_TRUE(test::ReadCsv(file.readAll().toStdString().substr(3), records));
    ASSERT_GT(records.size(), 1u);
    // The sample marks the first page: its rows say "i", in the page column and the link.
    EXPECT_EQ(records[1][1], "i");
    EXPECT_EQ(records[1].back().rfind("page i (", 0), 0u) << records[1].back();
}

}  // namespace
}  // namespace quill::widget
