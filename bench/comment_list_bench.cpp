// Refilling the comment list on a keystroke of the search field: the sorted, filtered cards
// for 1,000 and 5,000 comments, and the list view taking them in, against a plain memmem
// scan of the same authors and contents for the same search text.
//
//   bench_comment_list_bench [counts...] [--repeat R]   (default: 1000 5000, 20 repeats)
//
// "refill" is the whole list without a search text; "filter" each keystroke of "valve";
// "view" a refill through the item model into a shown list view (offscreen).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <QApplication>

#include "app/annot_subject_table.h"
#include "app/comment_index.h"
#include "app/launch_params.h"
#include "session/comment_list_model.h"
#include "sync/nm_object.h"
#include "ui/comment_list_box.h"
#include "ui/comment_list_items.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Review {
    std::deque<sync::CNMObject> records;
    CommentIndex index;
};

void Fill(Review& review, int count) {
    const char* authors[] = {"Kim Minjun-Piping", "Lee Jihoon-Electrical", "Park Seojun-Structural",
                             "Choi Yuna-Instrument"};
    const char* texts[] = {"Check the support spacing near the pump suction line.",
                           "Relocate the gate valve 300 mm to the east for access.",
                           "Junction box JB-12 is missing on this sheet.",
                           "Datasheet at https://example.test/p-101, revision B."};
    for (int i = 0; i < count; ++i) {
        sync::CNMObject& record = review.records.emplace_back();
        record.uniqueName = "C" + std::to_string(1000000 + i);
        record.page = i % 40;
        record.annotIndex = i / 40;
        CommentEntry& entry = review.index[record.uniqueName];
        entry.author = authors[i % 4];
        entry.contents = std::string(texts[(i / 4) % 4]) + " #" + std::to_string(i);
        entry.subject = "cloudy";
        char date[32];
        std::snprintf(date, sizeof date, "2026-%02d-%02d %02d:%02d:%02d", 1 + i % 12, 1 + i % 28,
                      i % 24, i % 60, (i * 7) % 60);
        entry.date = date;
        entry.feedbackStatus = i % 3;
        entry.record = &record;
    }
}

// The anchor: what a bare byte search of the same texts costs.
int MemmemCount(const CommentIndex& index, const std::string& needle) {
    int found = 0;
    for (const auto& [name, entry] : index) {
        if (memmem(entry.author.data(), entry.author.size(), needle.data(), needle.size()) ||
            memmem(entry.contents.data(), entry.contents.size(), needle.data(), needle.size()))
            ++found;
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::vector<int> counts;
    int repeat = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            counts.push_back(std::max(1, std::atoi(argv[i])));
        }
    }
    if (counts.empty()) counts = {1000, 5000};
    const AnnotSubjectTable subjects = BuildAnnotSubjectTable();
    const std::string keys[] = {"v", "va", "val", "valv", "valve"};

    std::printf("%8s %12s %12s %12s %12s %8s\n", "comments", "refill ms", "filter ms", "view ms",
                "memmem ms", "shown");
    for (const int count : counts) {
        Review review;
        Fill(review, count);
        CommentListModel model;

        auto start = Clock::now();
        for (int r = 0; r < repeat; ++r) model.Refill(review.index, kSortEngineer, "", subjects);
        const double refill = Ms(Clock::now() - start) / repeat;

        start = Clock::now();
        for (int r = 0; r < repeat; ++r)
            for (const std::string& key : keys) model.Refill(review.index, r % 4, key, subjects);
        const double filter = Ms(Clock::now() - start) / (repeat * 5.0);
        const int shown = model.Count();

        LaunchParams params;
        CommentCopyBuffer copy;
        ui::CCommentListBox::Context context;
        context.params = &params;
        context.index = &review.index;
        context.copyBuffer = &copy;
        context.subjects = &subjects;
        ui::CCommentListBox list(context);
        list.resize(222, 800);
        list.show();
        start = Clock::now();
        for (int r = 0; r < repeat; ++r) {
            for (const std::string& key : keys) {
                list.Refill(r % 4, key);
                QCoreApplication::processEvents();
            }
        }
        const double view = Ms(Clock::now() - start) / (repeat * 5.0);

        int anchorFound = 0;
        start = Clock::now();
        for (int r = 0; r < repeat; ++r)
            for (const std::string& key : keys) anchorFound = MemmemCount(review.index, key);
        const double anchor = Ms(Clock::now() - start) / (repeat * 5.0);
        std::printf("%8d %12.3f %12.3f %12.3f %12.3f %8d (memmem found %d)\n", count, refill,
                    filter, view, anchor, shown, anchorFound);
    }
    return 0;
}
