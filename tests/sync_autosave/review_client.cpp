#include "sync_autosave/review_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "sync/annot_by_name.h"
#include "sync/fdf/comment_fdf.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::engine;

namespace autosavetest {

using engine::EngineControl;

std::string MakeDrawing(const testsupport::TempDir& dir, int pages) {
    engine::SamplePdfOptions options;
    options.pageCount = pages;
    const std::string path = (dir / "drawing.pdf").string();
    std::string error;
    EXPECT_TRUE(engine::WriteSamplePdf(options, path, &error)) << error;
    return path;
}

ReviewClient::ReviewClient(const testsupport::ReviewServerProcess& server,
                           const std::string& drawing, const std::string& userId)
    : server_(server), userId_(userId), folderPath_(folder_.str()) {
    control_ = std::make_unique<EngineControl>();
    EXPECT_TRUE(control_->OpenFile(drawing, nullptr));
    control_->SetDefaultAuthor(userId + "-PIPING");
    AutosaveSettings settings;
    settings.host = server.host();
    settings.port = server.port();
    settings.docId = kDocId;
    settings.targetDocId = "20011";
    settings.userId = userId;
    settings.workingFolder = folderPath_;
    worker_ = std::make_unique<AutosaveWorker>(control_.get(), control_->PageCount(), settings);

    // What the viewer dialog does in its callbacks.
    AutosaveCallbacks callbacks;
    callbacks.onRemoteAnnotCreated = [this](CNMObject& record) {
        ++counts.created;
        AppendAnnot(record);
        return 0;
    };
    callbacks.onRemoteAnnotUpdated = [this](CNMObject& record) {
        ++counts.updated;
        control_->GetPage(record.page).RemoveAnnot(AnnotOfRecord(*control_, record));
        AppendAnnot(record);
        return 0;
    };
    callbacks.onRemoteAnnotDeleted = [this](CNMObject& record) {
        ++counts.deleted;
        control_->GetPage(record.page).RemoveAnnot(AnnotOfRecord(*control_, record));
        return 0;
    };
    callbacks.slot4 = [](CNMObject&) { return 0; };
    callbacks.onRemoteRepliesChanged = [this](CNMObject& record) {
        ++counts.repliesChanged;
        control_->GetPage(record.page).RemoveAnnot(AnnotOfRecord(*control_, record));
        AppendAnnot(record);
        return 0;
    };
    callbacks.slot6 = [](CNMObject&) { return 0; };
    callbacks.onRemoteAnnotRegistered = [this](CNMObject&) {
        ++counts.registered;
        return 0;
    };
    callbacks.showCommentInViewer = [this](CAnnot& annot) {
        ++counts.shown;
        return WriteCommentToTempFdf(folderPath_, annot);
    };
    worker_->SetCallbacks(std::move(callbacks));
}

ReviewClient::~ReviewClient() {
    worker_.reset();
    control_.reset();
}

void ReviewClient::AppendAnnot(CNMObject& record) {
    const std::string path = WriteCommentToTempFdf(folderPath_, record);
    // As the viewer dialog does: the index the comment took, -1 when the control refused it.
    auto page = control_->GetPage(record.page);
    record.annotIndex =
        control_->ImportAnnotsFromFDFFile(path)
            ? FindAnnotByName(page, record.uniqueName, page.AnnotCount() - 1).Index()
            : -1;
    std::remove(path.c_str());
}

int ReviewClient::Draw(control::AnnotTool tool, int page) {
    const auto geometry = control_->PageGeometryOf(page);
    const auto words = control_->TextQuadsIn(page, geometry.mediaBox);
    auto drafts = engine::SampleAnnotDrafts(page, geometry, words);
    engine::AnnotDraft draft = drafts.at(static_cast<size_t>(tool));
    const control::AnnotId id = control_->CreateAnnot(draft);
    EXPECT_NE(id, 0u);
    const int index = control_->AnnotIndexOf(id);
    EXPECT_EQ(worker_->AutoSaveAnnot(page, index, kActionCreate), 1);
    return index;
}

bool ReviewClient::Flush() {
    worker_->WakeUp();
    for (int i = 0; i < 750; ++i) {
        if (!worker_->Busy()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int ReviewClient::Publish() {
    if (!Flush()) return -1;
    auto reply = server_.Get("/Comm/publish.do?userid=" + userId_ + "&docid=" + kDocId);
    if (reply.status != 200) return -1;
    return std::atoi(reply.body.c_str());
}

int ReviewClient::ControlIndexOf(int page, const std::string& name) {
    auto p = control_->GetPage(page);
    for (int i = 0; i < p.AnnotCount(); ++i) {
        if (p.GetAnnot(i).GetName() == name) return i;
    }
    return -1;
}

std::string ReviewClient::NameAt(int page, int index) {
    return control_->GetPage(page).GetAnnot(index).GetName();
}

std::string ReviewClient::MapsAgreeWithControl() {
    std::string problems;
    const PageAnnotMap& maps = worker_->PageMaps();
    for (int page = 0; page < maps.PageCount(); ++page) {
        int comments = 0;
        for (const auto& [name, record] : maps.Page(page)) {
            if (!record->inReplyTo.empty()) continue;
            ++comments;
            const std::string at = NameAt(page, record->annotIndex);
            if (at != name) {
                problems += "page " + std::to_string(page) + ": " + name + " has index " +
                            std::to_string(record->annotIndex) + " where the control has '" + at +
                            "'\n";
            }
        }
        const int inControl = control_->GetPage(page).AnnotCount();
        if (inControl != comments) {
            problems += "page " + std::to_string(page) + ": " + std::to_string(comments) +
                        " records, " + std::to_string(inControl) + " annotations\n";
        }
    }
    return problems;
}

}  // namespace autosavetest
