#include "server/sample_drawing.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace quillserver {

namespace {

// Content stream text with numbers in the C locale whatever the process locale is.
class Ops {
public:
    Ops& N(double v) {
        char buf[32];
        double r = std::round(v * 100.0) / 100.0;
        auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, 2);
        std::string s(buf, res.ptr);
        while (s.size() > 1 && s.find('.') != std::string::npos &&
               (s.back() == '0' || s.back() == '.')) {
            bool dot = s.back() == '.';
            s.pop_back();
            if (dot) break;
        }
        if (s == "-0") s = "0";
        text_ += s;
        text_ += ' ';
        return *this;
    }
    Ops& Op(const char* op) {
        text_ += op;
        text_ += '\n';
        return *this;
    }
    Ops& Line(double x1, double y1, double x2, double y2) {
        return N(x1).N(y1).Op("m").N(x2).N(y2).Op("l").Op("S");
    }
    Ops& Rect(double x, double y, double w, double h) {
        return N(x).N(y).N(w).N(h).Op("re").Op("S");
    }
    Ops& Width(double w) { return N(w).Op("w"); }
    Ops& Gray(double g) { return N(g).Op("G"); }
    Ops& Stroke(double r, double g, double b) { return N(r).N(g).N(b).Op("RG"); }
    Ops& Dash(bool on) { return on ? Op("[6 4] 0 d") : Op("[] 0 d"); }
    Ops& Circle(double cx, double cy, double r) {
        const double k = 0.5523 * r;
        N(cx + r).N(cy).Op("m");
        N(cx + r).N(cy + k).N(cx + k).N(cy + r).N(cx).N(cy + r).Op("c");
        N(cx - k).N(cy + r).N(cx - r).N(cy + k).N(cx - r).N(cy).Op("c");
        N(cx - r).N(cy - k).N(cx - k).N(cy - r).N(cx).N(cy - r).Op("c");
        N(cx + k).N(cy - r).N(cx + r).N(cy - k).N(cx + r).N(cy).Op("c");
        return Op("S");
    }
    // Text without parentheses or backslashes (the callers pass plain words).
    Ops& Text(double x, double y, double size, const std::string& s, bool bold = false) {
        text_ += "BT ";
        text_ += bold ? "/F2 " : "/F1 ";
        N(size).Op("Tf");
        N(x).N(y).Op("Td");
        text_ += "(" + s + ") Tj ET\n";
        return *this;
    }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

struct Sheet {
    double width;
    double height;
    int rotate;
    const char* title;
};

void DrawFrame(Ops& o, double w, double h) {
    o.Gray(0).Width(2).Rect(20, 20, w - 40, h - 40);
    o.Width(0.8).Rect(40, 40, w - 80, h - 80);
    // Zone marks along the border: numbers across, letters down.
    int cols = 8, rows = 6;
    for (int i = 1; i < cols; ++i) {
        double x = 40 + (w - 80) * i / cols;
        o.Line(x, 20, x, 40).Line(x, h - 40, x, h - 20);
    }
    for (int i = 0; i < cols; ++i) {
        double x = 40 + (w - 80) * (i + 0.5) / cols;
        o.Text(x - 3, 27, 9, std::to_string(i + 1)).Text(x - 3, h - 33, 9, std::to_string(i + 1));
    }
    for (int j = 1; j < rows; ++j) {
        double y = 40 + (h - 80) * j / rows;
        o.Line(20, y, 40, y).Line(w - 40, y, w - 20, y);
    }
    for (int j = 0; j < rows; ++j) {
        double y = 40 + (h - 80) * (j + 0.5) / rows;
        std::string letter(1, static_cast<char>('A' + rows - 1 - j));
        o.Text(27, y - 3, 9, letter).Text(w - 33, y - 3, 9, letter);
    }
}

void DrawTitleBlock(Ops& o, double w, int sheet, const char* title) {
    double x = w - 40 - 360, y = 40;
    o.Width(1.2).Rect(x, y, 360, 120);
    o.Width(0.6).Line(x, y + 30, x + 360, y + 30).Line(x, y + 60, x + 360, y + 60);
    o.Line(x, y + 90, x + 360, y + 90)
        .Line(x + 240, y, x + 240, y + 30)
        .Line(x + 120, y, x + 120, y + 30);
    o.Text(x + 8, y + 100, 12, "QUILLMARK SAMPLE PLANT - UNIT 100", true);
    o.Text(x + 8, y + 70, 11, title, true);
    o.Text(x + 8, y + 40, 9, "DWG NO. QM-DWG-0001    SQUAD CHECK 1001");
    o.Text(x + 8, y + 10, 8, "SCALE 1:100");
    o.Text(x + 128, y + 10, 8, "REV B  IFC");
    o.Text(x + 248, y + 10, 8,
           "SHEET " + std::to_string(sheet) + " OF " + std::to_string(kSampleDrawingPages));
    // Revision table above the title block.
    o.Width(0.5)
        .Rect(x, y + 130, 360, 48)
        .Line(x, y + 146, x + 360, y + 146)
        .Line(x, y + 162, x + 360, y + 162);
    o.Line(x + 40, y + 130, x + 40, y + 178);
    o.Text(x + 6, y + 166, 7, "REV").Text(x + 46, y + 166, 7, "DESCRIPTION");
    o.Text(x + 6, y + 150, 7, "A").Text(x + 46, y + 150, 7, "ISSUED FOR REVIEW");
    o.Text(x + 6, y + 134, 7, "B").Text(x + 46, y + 134, 7, "ISSUED FOR CONSTRUCTION");
}

void DrawPlant(Ops& o, double w, double h, int sheet) {
    // Column grid, dashed.
    o.Gray(0.55).Width(0.5).Dash(true);
    for (int i = 0; i < 6; ++i) {
        double x = 120 + i * (w - 260) / 5;
        o.Line(x, 200, x, h - 80);
        o.Text(x - 4, h - 75, 10, std::string(1, static_cast<char>('1' + i)));
    }
    for (int j = 0; j < 4; ++j) {
        double y = 220 + j * (h - 320) / 3;
        o.Line(80, y, w - 80, y);
        o.Text(64, y - 4, 10, std::string(1, static_cast<char>('A' + j)));
    }
    o.Dash(false);
    // Equipment: vessels and pumps.
    o.Gray(0).Width(1.5);
    o.Circle(w * 0.25, h * 0.55, 45).Text(w * 0.25 - 22, h * 0.55 - 4, 9, "V-101");
    o.Circle(w * 0.55, h * 0.62, 30).Text(w * 0.55 - 18, h * 0.62 - 4, 9, "T-102");
    o.Rect(w * 0.40, h * 0.32, 60, 36).Text(w * 0.40 + 10, h * 0.32 + 14, 9, "P-103A");
    o.Rect(w * 0.40 + 90, h * 0.32, 60, 36).Text(w * 0.40 + 100, h * 0.32 + 14, 9, "P-103B");
    // Piping, coloured by service.
    o.Stroke(0, 0.3, 0.7).Width(2.5);
    o.N(w * 0.25 + 45)
        .N(h * 0.55)
        .Op("m")
        .N(w * 0.40 + 30)
        .N(h * 0.55)
        .Op("l")
        .N(w * 0.40 + 30)
        .N(h * 0.32 + 36)
        .Op("l")
        .Op("S");
    o.N(w * 0.40 + 60)
        .N(h * 0.32 + 18)
        .Op("m")
        .N(w * 0.55)
        .N(h * 0.32 + 18)
        .Op("l")
        .N(w * 0.55)
        .N(h * 0.62 - 30)
        .Op("l")
        .Op("S");
    o.Stroke(0.7, 0.2, 0).Width(1.5);
    o.N(w * 0.55 + 30)
        .N(h * 0.62)
        .Op("m")
        .N(w * 0.80)
        .N(h * 0.62)
        .Op("l")
        .N(w * 0.80)
        .N(h * 0.40)
        .Op("l")
        .Op("S");
    // Cable tray (electrical) and a beam line (structural).
    o.Stroke(0.5, 0.5, 0).Width(1).Dash(true).Rect(w * 0.58, h * 0.48, w * 0.25, 14).Dash(false);
    o.Stroke(0.3, 0.3, 0.3).Width(3).Line(100, h * 0.75, w - 100, h * 0.75);
    // Dimension line with ticks.
    o.Gray(0).Width(0.5).Line(w * 0.25, 180, w * 0.55, 180);
    o.Line(w * 0.25, 172, w * 0.25, 188).Line(w * 0.55, 172, w * 0.55, 188);
    o.Text(w * 0.40 - 12, 184, 8, "12500");
    o.Text(100, h - 110, 14, "SHEET " + std::to_string(sheet), true);
    o.Text(100, h - 128, 8, "ALL DIMENSIONS IN MM UNLESS NOTED OTHERWISE");
}

std::string PageContent(const Sheet& s, int sheet) {
    Ops o;
    DrawFrame(o, s.width, s.height);
    DrawPlant(o, s.width, s.height, sheet);
    o.Stroke(0, 0, 0);
    DrawTitleBlock(o, s.width, sheet, s.title);
    return o.str();
}

}  // namespace

std::string MakeSampleDrawing() {
    // Rotated sheets are drawn on a portrait page and shown turned, as scanned sheets often are.
    const Sheet sheets[kSampleDrawingPages] = {
        {1190.55, 841.89, 0, "GENERAL ARRANGEMENT - PLAN EL. 100000"},
        {1190.55, 841.89, 90, "PIPING LAYOUT - AREA 1"},
        {1190.55, 841.89, 270, "CABLE ROUTING - AREA 1"},
        {1190.55, 841.89, 0, "STRUCTURAL STEEL - SECTIONS"},
    };
    std::vector<std::string> objects;  // object i+1
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("");  // pages, filled below
    objects.push_back(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    objects.push_back(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
    std::string kids;
    for (int i = 0; i < kSampleDrawingPages; ++i) {
        const Sheet& s = sheets[i];
        // A sheet shown turned by a quarter is stored with width and height swapped.
        bool quarter = s.rotate == 90 || s.rotate == 270;
        double mw = quarter ? s.height : s.width, mh = quarter ? s.width : s.height;
        Sheet drawn = s;
        std::string content = PageContent(drawn, i + 1);
        if (quarter) {
            // Draw in landscape coordinates and map them onto the portrait page, so the sheet
            // reads upright once the viewer applies /Rotate.
            std::string cm = s.rotate == 90
                                 ? "0 1 -1 0 " + std::to_string(static_cast<int>(mw)) + " 0 cm\n"
                                 : "0 -1 1 0 0 " + std::to_string(static_cast<int>(mh)) + " cm\n";
            content = "q\n" + cm + content + "Q\n";
        }
        int contentObj = static_cast<int>(objects.size()) + 2;
        int pageObj = contentObj - 1;
        char box[96];
        std::snprintf(box, sizeof box, "[0 0 %d %d]", static_cast<int>(mw), static_cast<int>(mh));
        std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox " + std::string(box) +
                           " /CropBox " + box + " /Rotate " + std::to_string(s.rotate) +
                           " /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " +
                           std::to_string(contentObj) + " 0 R >>";
        objects.push_back(page);
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                          content + "endstream");
        kids += std::to_string(pageObj) + " 0 R ";
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " +
                 std::to_string(kSampleDrawingPages) + " >>";
    objects.push_back(
        "<< /Title (Quillmark sample drawing QM-DWG-0001) /Producer (quill-review-server) >>");
    int infoObj = static_cast<int>(objects.size());

    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t off : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info " +
           std::to_string(infoObj) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace quillserver
