#include "viewer/engine/sample_pdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "viewer/engine/pdf_object_writer.h"

namespace quill::engine {
namespace {

std::string N(double v) { return FormatPdfNumber(v, false); }

std::string PageContent(const SamplePdfOptions& o, int page) {
    const double w = o.width, h = o.height;
    std::string c;
    c += "0.2 0.2 0.2 RG 1.5 w\n";
    c += "20 20 " + N(w - 40) + " " + N(h - 40) + " re S\n";
    c += "0.5 w\n";
    // A grid of thin lines, a little like a drawing's construction lines.
    for (double x = 80; x < w - 40; x += 60)
        c += N(x) + " 40 m " + N(x) + " " + N(h - 120) + " l\n";
    c += "S\n";
    // Title block.
    c += N(w - 260) + " 20 240 80 re S\n";
    c += "BT /F1 14 Tf " + N(w - 250) + " 70 Td (" + o.title + ") Tj ET\n";
    c += "BT /F1 10 Tf " + N(w - 250) + " 50 Td (SHEET " + std::to_string(page + 1) + " OF " +
         std::to_string(o.pageCount) + ") Tj ET\n";
    // Words to mark up.
    c += "BT /F1 12 Tf 40 " + N(h - 60) +
         " Td (GENERAL NOTES: PIPE SUPPORT SPACING AS SHOWN) Tj ET\n";
    c += "BT /F1 12 Tf 40 " + N(h - 80) +
         " Td (CHECK NOZZLE ORIENTATION BEFORE FABRICATION) Tj ET\n";
    return c;
}

}  // namespace

bool WriteSamplePdf(const SamplePdfOptions& o, const std::string& path, std::string* error) {
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        resources.replaceKey("/Font", fonts);
        for (int i = 0; i < o.pageCount; ++i) {
            QPDFObjectHandle page = QPDFObjectHandle::parse(
                "<< /Type /Page /MediaBox [0 0 " + N(o.width) + " " + N(o.height) + "] >>");
            page.replaceKey("/Contents", pdf.newStream(PageContent(o, i)));
            page.replaceKey("/Resources", resources);
            const int rotate = i < static_cast<int>(o.rotations.size()) ? o.rotations[i] : 0;
            if (rotate) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(rotate));
            pdf.addPage(pdf.makeIndirectObject(page), false);
        }
        QPDFWriter w(pdf, path.c_str());
        if (!o.userPassword.empty()) {
            w.setR6EncryptionParameters(o.userPassword.c_str(), (o.userPassword + "-owner").c_str(),
                                        true, true, true, true, true, true, qpdf_r3p_full, true);
        }
        w.write();
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace quill::engine
