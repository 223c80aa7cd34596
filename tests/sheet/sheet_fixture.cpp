#include "sheet/sheet_fixture.h"

#include <QApplication>
#include <QColor>
#include <QProcess>
#include <cstdlib>

namespace sheettest {

void EnsureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_sheet";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the test program
}

QString RunTool(const QString& program, const QStringList& args, int* exitCode) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        return {};
    }
    if (exitCode) *exitCode = process.exitCode();
    if (process.exitStatus() != QProcess::NormalExit) return {};
    QString out = QString::fromUtf8(process.readAllStandardOutput());
    return out.isNull() ? QString("") : out;
}

QString PdfText(const QString& path) {
    int code = -1;
    const QString text = RunTool("pdftotext", {"-layout", path, "-"}, &code);
    return code == 0 ? text : QString();
}

int CountNear(const QImage& image, QColor colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

}  // namespace sheettest
