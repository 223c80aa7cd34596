// Splitting, relating and writing back an exported FDF of many comments, measured against
// memmem's rate for "endobj" over the same bytes in the same run.
//
//   bench_fdf_parse_bench [annotations...]   (default: 1000 10000 100000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sync/fdf/fdf_parser.h"
#include "sync/fdf/fdf_writer.h"

using namespace quill;
using namespace quill::sync;

namespace {

// Times are the thread's CPU time, so that other work on a shared machine does not count;
// memmem is timed the same way.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(t.tv_sec * 1000000000LL + t.tv_nsec));
    }
};

// A GUID-like unique name as the control gives it, different for every i.
std::string NameOf(const char* kind, int i) {
    uint64_t h =
        0x9E3779B97F4A7C15ULL * static_cast<uint64_t>(i + 1) + std::hash<std::string>{}(kind);
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 32;
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%012llX", static_cast<unsigned>(h >> 32),
                  static_cast<unsigned>(h >> 16) & 0xFFFF, static_cast<unsigned>(h) & 0xFFFF,
                  static_cast<unsigned>(i) & 0xFFFF, static_cast<unsigned long long>(i));
    return text;
}

// An export of n annotations in the control's layout: every annotation has a popup, every
// fourth a reply (with its own popup), every 1000th is a file attachment of 100 kB.
std::string MakeFdf(int n) {
    std::string out = "%FDF-1.2\n";
    std::string annots;
    std::string body;
    int next = 2;
    char buffer[1024];
    const std::string fileBytes(100 * 1024, 'q');
    for (int i = 0; i < n; ++i) {
        const int page = i % 40;
        const int annot = next++, popup = next++;
        annots += std::to_string(annot) + " 0 R " + std::to_string(popup) + " 0 R ";
        const bool attachment = i % 1000 == 999;
        const int file = attachment ? next++ : 0;
        std::snprintf(buffer, sizeof buffer,
                      "%d 0 obj\n<</Type/Annot/Subtype/%s/Rect[ %d.25 %d.5 %d.75 %d]"
                      "/Contents(Check the clearance of nozzle N-%d against the platform "
                      "steel; see the general arrangement, revision C.)/C[ 1 0 0]/CA 1"
                      "/T(Reviewer %d)/CreationDate(D:20261207093000+09'00')"
                      "/M(D:20261207093512+09'00')/NM(%s)"
                      "/Subj(Cloudy)/F 4%s/Popup %d 0 R/Page %d>>\nendobj\n",
                      annot, attachment ? "FileAttachment" : "Polygon", i, i + 1, i + 2, i + 3, i,
                      i % 7, NameOf("annot", i).c_str(),
                      attachment ? "/FS<</Type/Filespec/F(note.bin)/EF<</F " : "", popup, page);
        body += buffer;
        if (attachment) {
            // The attachment's EF reference was opened above; close it here.
            body.insert(body.rfind("/Popup"), std::to_string(file) + " 0 R >>>>");
        }
        std::snprintf(buffer, sizeof buffer,
                      "%d 0 obj\n<</Type/Annot/Subtype/Popup/Parent %d 0 R /Rect[ %d 0 %d 100]"
                      "/Open false/NM(%s)/Page %d>>\nendobj\n",
                      popup, annot, i, i + 200, NameOf("popup", i).c_str(), page);
        body += buffer;
        if (attachment) {
            body += std::to_string(file) + " 0 obj\n<</Type/EmbeddedFile/Length " +
                    std::to_string(fileBytes.size()) + ">>stream\r\n" + fileBytes +
                    "\r\nendstream\nendobj\n";
        }
        if (i % 4 == 3) {
            const int reply = next++, replyPopup = next++;
            annots += std::to_string(reply) + " 0 R " + std::to_string(replyPopup) + " 0 R ";
            std::snprintf(buffer, sizeof buffer,
                          "%d 0 obj\n<</Type/Annot/Subtype/Text/Rect[ 0 0 20 20]"
                          "/Contents(Agreed, the steel will be moved.)/T(Reviewer %d)"
                          "/CreationDate(D:20261207094000+09'00')/NM(%s)"
                          "/IRT(%s)/Popup %d 0 R/Page %d>>\nendobj\n"
                          "%d 0 obj\n<</Type/Annot/Subtype/Popup/Parent %d 0 R /Rect[ 0 0 1 1]"
                          "/Page %d>>\nendobj\n",
                          reply, (i + 1) % 7, NameOf("reply", i).c_str(),
                          NameOf("annot", i).c_str(), replyPopup, page, replyPopup, reply, page);
            body += buffer;
        }
    }
    out += "1 0 obj\n<</FDF<</Annots[" + annots + "]/F(review.pdf)>>>>\nendobj\n";
    out += body;
    out += "trailer\n<</Root 1 0 R>>\n%%EOF\n";
    return out;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <typename F>
double Best(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        f();
        best = std::min(best, Seconds(Clock::now() - start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    const std::string outPath =
        (std::filesystem::temp_directory_path() / "quill_fdf_parse_bench.fdf").string();
    std::printf("%10s %9s %8s %12s %12s %12s %10s %12s\n", "annots", "MB", "objects", "memmem MB/s",
                "split MB/s", "restore MB/s", "ratio", "split us/ann");
    for (int n : sizes) {
        const std::string bytes = MakeFdf(n);
        const double mb = static_cast<double>(bytes.size()) / 1e6;
        const int runs = n >= 100000 ? 3 : 7;

        size_t hits = 0;
        const double memmemTime = Best(runs * 3, [&] {
            hits = 0;
            const char* at = bytes.data();
            const char* end = bytes.data() + bytes.size();
            while (const void* found = memmem(at, static_cast<size_t>(end - at), "endobj", 6)) {
                ++hits;
                at = static_cast<const char*>(found) + 6;
            }
        });

        size_t objects = 0;
        const double splitTime = Best(runs, [&] {
            FdfDocument doc;
            doc.fileBytes = ByteBuffer::Borrow(bytes);
            fdf::_generateFDFObject(doc);
            objects = doc.objects.size();
        });

        size_t written = 0;
        double restoreTime = 1e30;
        for (int r = 0; r < runs; ++r) {
            FdfDocument doc;
            doc.fileBytes = ByteBuffer::Borrow(bytes);
            fdf::_generateFDFObject(doc);
            std::vector<CFDFContent*> list;
            list.reserve(doc.objectsByName.size());
            for (const auto& object : doc.objects) {
                if (!object->uniqueName.empty() && object->subtype != kFdfSubtypePopup) {
                    list.push_back(object.get());
                }
            }
            auto start = Clock::now();
            fdf::_restoreFDFContents(outPath, list);
            restoreTime = std::min(restoreTime, Seconds(Clock::now() - start));
            written = std::filesystem::file_size(outPath);
        }
        if (hits != objects + 1) {
            std::fprintf(stderr, "object count mismatch: %zu endobj, %zu objects\n", hits, objects);
        }
        const double memmemRate = mb / memmemTime, splitRate = mb / splitTime;
        std::printf("%10d %9.2f %8zu %12.0f %12.0f %12.0f %10.3f %12.3f\n", n, mb, objects,
                    memmemRate, splitRate, static_cast<double>(written) / 1e6 / restoreTime,
                    splitRate / memmemRate, splitTime * 1e6 / n);
    }
    std::filesystem::remove(outPath);
    return 0;
}
