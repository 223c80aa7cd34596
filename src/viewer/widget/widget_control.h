// WidgetControl: the control as the client sees it when the widget shows it: every call goes
// to the engine, and a fit mode set again (even to the value it has) fits the view again.
#pragma once
#include "viewer/widget/widget_names.h"

#include <functional>

#include "viewer/engine/engine_control.h"

namespace quill::widget {

class WidgetControl final : public PdfViewerControl {
public:
    WidgetControl(engine::EngineControl& engine, std::function<void()> fitAgain)
        : e_(engine), fitAgain_(std::move(fitAgain)) {}

    int32_t PageCount() const override { return e_.PageCount(); }
    int32_t CurrentPage() const override { return e_.CurrentPage(); }
    int16_t Rotation() const override { return e_.Rotation(); }
    void SetRotation(int16_t quarterTurns) override { e_.SetRotation(quarterTurns); }
    int32_t FitMode() const override { return e_.FitMode(); }
    void SetFitMode(int32_t mode) override;
    PdfPrinter Printer() override { return e_.Printer(); }
    void SetCurrentTool(const std::string& toolName) override { e_.SetCurrentTool(toolName); }
    std::string CurrentTool() const override { return e_.CurrentTool(); }
    void ShowToolbar(bool show) override { e_.ShowToolbar(show); }
    void ShowMenuBar(bool show) override { e_.ShowMenuBar(show); }
    void ShowStatusBar(bool show) override { e_.ShowStatusBar(show); }
    void ShowNavigationPane(bool show) override { e_.ShowNavigationPane(show); }
    void ShowScrollBars(bool show) override { e_.ShowScrollBars(show); }
    bool OpenFile(const std::string& path, const char* password) override {
        return e_.OpenFile(path, password);
    }
    void CloseFile() override { e_.CloseFile(); }
    bool SaveAs(const std::string& path) override { return e_.SaveAs(path); }
    bool ExportAnnotsToFDFFile(const std::string& path) override {
        return e_.ExportAnnotsToFDFFile(path);
    }
    bool ImportAnnotsFromFDFFile(const std::string& path) override {
        return e_.ImportAnnotsFromFDFFile(path);
    }
    float GetPageHeight(int16_t page) const override { return e_.GetPageHeight(page); }
    float GetPageWidth(int16_t page) const override { return e_.GetPageWidth(page); }
    void GoToPagePosition(int32_t page, float x, float y) override {
        e_.GoToPagePosition(page, x, y);
    }
    PdfPage GetPage(int32_t page) override { return e_.GetPage(page); }
    PdfTextFont GetTextFont() override { return e_.GetTextFont(); }
    void SetCJKResourcePath(const std::string& path) override { e_.SetCJKResourcePath(path); }
    bool AddPageText(int16_t page, const std::string& text, float x, float y,
                     const std::string& fontName, int16_t fontStyle, int16_t fontSize,
                     int32_t color, int16_t flags, int16_t opacity, int16_t rotation) override {
        return e_.AddPageText(page, text, x, y, fontName, fontStyle, fontSize, color, flags,
                              opacity, rotation);
    }
    void SetEventListener(PdfViewerEvents* listener) override { e_.SetEventListener(listener); }
    void SelectAnnot(int32_t page, int32_t index) override { e_.SelectAnnot(page, index); }

private:
    engine::EngineControl& e_;
    std::function<void()> fitAgain_;
};

}  // namespace quill::widget
