// Records the viewer control's events as readable lines ("added 0,3", "reply deleted 1,0 NAME").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/pdf_viewer_events.h"

using namespace quill;
using namespace quill::control;

namespace testsupport {

struct ViewerEventRecorder : control::PdfViewerEvents {
    std::vector<std::string> log;
    void AnnotAdded(int32_t p, int32_t i) override { log.push_back("added " + S(p, i)); }
    void AnnotDeleted(int32_t p, int32_t i) override { log.push_back("deleted " + S(p, i)); }
    void AnnotModified(int32_t p, int32_t i) override { log.push_back("modified " + S(p, i)); }
    void ReplyAdded(int32_t p, int32_t i, const std::string& n) override {
        log.push_back("reply added " + S(p, i) + " " + n);
    }
    void ReplyDeleted(int32_t p, int32_t i, const std::string& n) override {
        log.push_back("reply deleted " + S(p, i) + " " + n);
    }
    void ReplyModified(int32_t p, int32_t i, const std::string& n) override {
        log.push_back("reply modified " + S(p, i) + " " + n);
    }
    static std::string S(int p, int i) { return std::to_string(p) + "," + std::to_string(i); }
};

}  // namespace testsupport
