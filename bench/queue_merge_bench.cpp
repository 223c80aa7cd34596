// Merging incoming queue items into a review that already holds as many comments, with the
// callbacks doing what the viewer dialog does (each comment written to FDF and imported
// into the engine, removed again for updates and deletions).
//
//   bench_queue_merge_bench [items...] [--pages N] [--folder DIR] [--bookkeeping-only]
//                           [--repeat R]
//   (default: 1000 10000 100000, one page, the system's temporary folder)
//
// "in callbacks" is the time spent in the dialog's work (FDF files, engine import and
// removal); "merge only" the rest, the client's own bookkeeping. --bookkeeping-only replaces
// the engine by a count of annotations per page.
//
// The outside measure: memmem finding every "/NM(" in the incoming items' bytes, timed in the
// same run.
//
// The incoming items: 60% new comments, 20% updates of held comments, 10% deletions of held
// comments, 10% replies to held comments.
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "sync/autosave_worker.h"
#include "sync/fdf/byte_mass.h"
#include "sync/fdf/comment_fdf.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/wire/queue_builders.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::engine;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using engine::EngineControl;

// A rectangle comment and a reply as the engine exports them: the bytes items are made of.
struct Templates {
    std::unique_ptr<BinaryContent> comment;
    std::unique_ptr<BinaryContent> reply;
};

Templates MakeTemplates(const std::string& drawing, const std::string& folder) {
    EngineControl control;
    control.OpenFile(drawing, nullptr);
    engine::AnnotDraft draft;
    draft.tool = control::AnnotTool::Rectangle;
    draft.rect = {100, 100, 180, 160};
    draft.contents = "Check the support spacing";
    const control::AnnotId id = control.CreateAnnot(draft);
    control.AddReply(id, "Agreed", "LEE-CIVIL");
    const std::string path = folder + "/templates.fdf";
    control.ExportAnnotsToFDFFile(path);
    FdfDocument doc;
    OpenAndParse(path, doc);
    Templates t;
    for (const auto& [name, object] : doc.objectsByName) {
        if (object->inReplyTo.empty())
            t.comment = object->CreateBinaryContent();
        else
            t.reply = object->CreateBinaryContent();
    }
    return t;
}

std::unique_ptr<BinaryContent> Renamed(const BinaryContent& source, const std::string& name,
                                       const std::string& irt, int page) {
    auto copy = source.Clone();
    fdf::_replaceByteMass(*copy->content, "/Page", ">", " " + std::to_string(page));
    fdf::_replaceByteMass(*copy->content, "/NM(", ")", name);
    if (!irt.empty()) fdf::_replaceByteMass(*copy->content, "/IRT(", ")", irt);
    return copy;
}

std::string NameOf(char kind, int n) {
    char text[40];
    std::snprintf(text, sizeof text, "%c%07d-0000-0000-0000-000000000000", kind, n);
    return text;
}

// The bytes of the items made since the last clear, for the outside measure.
std::string g_itemBytes;

std::unique_ptr<CDocQueueModel> Item(const Templates& t, int action, const std::string& name,
                                     int page, const std::string& irt = "") {
    std::unique_ptr<BinaryContent> content;
    if (action != kActionDelete) {
        content = Renamed(irt.empty() ? *t.comment : *t.reply, name, irt, page);
        g_itemBytes += content->content->view();
    }
    auto item =
        createDocQueueModel("10011", action, "A", page, "", "LEE", name, content.get(), irt);
    item->revision = 1;
    return item;
}

void Put(CPtrArrayCustom& set, std::unique_ptr<CDocQueueModel> item) {
    const int group = item->actionType + (item->IRT.empty() ? 0 : 3);
    set.groups[static_cast<size_t>(group)].push_back(std::move(item));
}

// Time spent inside the callbacks (engine and files), to tell it from the bookkeeping.
double g_callbackSeconds = 0;

struct CallbackTimer {
    Clock::time_point start = Clock::now();
    ~CallbackTimer() {
        g_callbackSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
};

AutosaveCallbacks DialogCallbacks(EngineControl& control, const std::string& folder) {
    auto append = [&control, folder](CNMObject& r) {
        CallbackTimer timer;
        const std::string path = WriteCommentToTempFdf(folder, r);
        control.ImportAnnotsFromFDFFile(path);
        r.annotIndex = control.GetPage(r.page).AnnotCount() - 1;
        std::remove(path.c_str());
        return 0;
    };
    auto remove = [&control](CNMObject& r) {
        CallbackTimer timer;
        auto page = control.GetPage(r.page);
        page.RemoveAnnot(page.GetAnnot(r.annotIndex));
        return 0;
    };
    AutosaveCallbacks c;
    c.onRemoteAnnotCreated = append;
    c.onRemoteAnnotUpdated = [=](CNMObject& r) {
        remove(r);
        return append(r);
    };
    c.onRemoteAnnotDeleted = remove;
    c.onRemoteRepliesChanged = [=](CNMObject& r) {
        remove(r);
        return append(r);
    };
    return c;
}

// Callbacks without the engine: only the annotation count of each page, so that the
// client's own bookkeeping can be measured alone.
AutosaveCallbacks CountingCallbacks(std::vector<int>& counts) {
    auto append = [&counts](CNMObject& r) {
        r.annotIndex = counts[static_cast<size_t>(r.page)]++;
        return 0;
    };
    auto remove = [&counts](CNMObject& r) {
        --counts[static_cast<size_t>(r.page)];
        return 0;
    };
    AutosaveCallbacks c;
    c.onRemoteAnnotCreated = append;
    c.onRemoteAnnotUpdated = [=](CNMObject& r) {
        remove(r);
        return append(r);
    };
    c.onRemoteAnnotDeleted = remove;
    c.onRemoteRepliesChanged = [=](CNMObject& r) {
        remove(r);
        return append(r);
    };
    return c;
}

bool g_withEngine = true;

struct Result {
    double seconds = 0;
    double callbackSeconds = 0;
    double memmemSeconds = 0;
    bool consistent = false;
};

Result Run(int n, int pages, const std::string& drawing, const Templates& t,
           const std::string& folder) {
    EngineControl control;
    control.OpenFile(drawing, nullptr);
    AutosaveSettings settings;
    settings.workingFolder = folder;
    AutosaveWorker worker(&control, control.PageCount(), settings);
    worker.SetState(kWorkerStop);
    std::vector<int> counts(static_cast<size_t>(pages), 0);
    worker.SetCallbacks(g_withEngine ? DialogCallbacks(control, folder)
                                     : CountingCallbacks(counts));

    // The review as it stands: n comments.
    {
        CPtrArrayCustom held;
        for (int i = 0; i < n; ++i) Put(held, Item(t, kActionCreate, NameOf('H', i), i % pages));
        worker._mergeQueues(held);
    }

    std::mt19937 random(11);
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), random);
    CPtrArrayCustom incoming;
    g_itemBytes.clear();
    int nextHeld = 0;
    auto held = [&]() { return order[static_cast<size_t>(nextHeld++ % n)]; };
    for (int i = 0; i < n; ++i) {
        const int kind = i % 10;
        if (kind < 6) {
            Put(incoming, Item(t, kActionCreate, NameOf('N', i), i % pages));
        } else if (kind < 8) {
            const int h = held();
            Put(incoming, Item(t, kActionUpdate, NameOf('H', h), h % pages));
        } else if (kind < 9) {
            const int h = held();
            Put(incoming, Item(t, kActionDelete, NameOf('H', h), h % pages));
        } else {
            const int h = held();
            Put(incoming, Item(t, kActionCreate, NameOf('R', i), h % pages, NameOf('H', h)));
        }
    }

    Result result;
    {
        const auto start = Clock::now();
        size_t found = 0;
        const char* at = g_itemBytes.data();
        const char* end = at + g_itemBytes.size();
        while (const void* hit = memmem(at, static_cast<size_t>(end - at), "/NM(", 4)) {
            ++found;
            at = static_cast<const char*>(hit) + 4;
        }
        result.memmemSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (found == 0 && !g_itemBytes.empty()) std::fprintf(stderr, "no object in the items\n");
    }
    g_callbackSeconds = 0;
    const auto start = Clock::now();
    worker._mergeQueues(incoming);
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.callbackSeconds = g_callbackSeconds;

    // Every record's index still names its comment in the engine.
    result.consistent = true;
    for (int page = 0; page < pages && !g_withEngine; ++page) {
        std::vector<char> seen(static_cast<size_t>(counts[static_cast<size_t>(page)]), 0);
        for (const auto& [name, r] : worker.PageMaps().Page(page)) {
            if (!r->inReplyTo.empty()) continue;
            if (r->annotIndex < 0 || r->annotIndex >= counts[static_cast<size_t>(page)] ||
                seen[static_cast<size_t>(r->annotIndex)]++) {
                result.consistent = false;
                break;
            }
        }
    }
    for (int page = 0; page < pages && result.consistent && g_withEngine; ++page) {
        int comments = 0;
        for (const auto& [name, r] : worker.PageMaps().Page(page)) {
            if (!r->inReplyTo.empty()) continue;
            ++comments;
            if (control.GetPage(page).GetAnnot(r->annotIndex).GetName() != name)
                result.consistent = false;
        }
        if (comments != control.GetPage(page).AnnotCount()) result.consistent = false;
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    int pages = 1;
    int repeat = 1;
    fs::path base = fs::temp_directory_path();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pages" && i + 1 < argc)
            pages = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--bookkeeping-only")
            g_withEngine = false;
        else if (arg == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--folder" && i + 1 < argc)
            base = argv[++i];
        else if (std::atoi(argv[i]) > 0)
            sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {1000, 10000, 100000};

    const fs::path folder = base / ("queue_merge_bench." + std::to_string(::getpid()));
    fs::create_directories(folder);
    engine::SamplePdfOptions options;
    options.pageCount = pages;
    const std::string drawing = (folder / "drawing.pdf").string();
    std::string error;
    if (!engine::WriteSamplePdf(options, drawing, &error)) {
        std::fprintf(stderr, "cannot write the drawing: %s\n", error.c_str());
        return 1;
    }
    const Templates t = MakeTemplates(drawing, folder.string());
    std::printf("pages %d; incoming items: 60%% new, 20%% updates, 10%% deletions, 10%% replies\n",
                pages);
    std::printf("%10s %9s %9s %12s %14s %10s %8s %12s\n", "items", "seconds", "us/item", "growth",
                "in callbacks", "merge only", "indices", "memmem ms");
    double previous = 0;
    int previousN = 0;
    for (int n : sizes) {
        // The fastest of the rounds: the machine is shared, the slower rounds measure others.
        Result r = Run(n, pages, drawing, t, folder.string());
        for (int round = 1; round < repeat; ++round) {
            const Result again = Run(n, pages, drawing, t, folder.string());
            if (again.seconds < r.seconds) r = again;
        }
        char growth[32] = "";
        if (previous > 0)
            std::snprintf(growth, sizeof growth, "%.1fx/%dx", r.seconds / previous, n / previousN);
        std::printf("%10d %9.3f %9.1f %12s %14.3f %10.3f %8s %12.3f\n", n, r.seconds,
                    r.seconds * 1e6 / n, growth, r.callbackSeconds, r.seconds - r.callbackSeconds,
                    r.consistent ? "agree" : "DISAGREE", r.memmemSeconds * 1e3);
        std::fflush(stdout);
        previous = r.seconds;
        previousN = n;
    }
    fs::remove_all(folder);
    return 0;
}
