// The viewer engine's FDF reader on arbitrary bytes: never a crash, never a read past the end;
// whatever it accepts is written and read back to the same objects.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "viewer/engine/annot_store.h"
#include "viewer/engine/fdf_reader.h"
#include "viewer/engine/fdf_writer.h"

using namespace quill;
using namespace quill::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quill::engine;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto annots = ReadFdf(bytes, 4, &error);
    if (!annots) return 0;
    AnnotStore store;
    store.Reset(4);
    for (auto& r : annots->topLevel) {
        const int page = r->page;
        store.Append(page, std::move(r));
    }
    for (auto& r : annots->replies) store.AddOrphan(std::move(r));
    const std::string once = WriteFdf(store, "fuzz.pdf");
    auto again = ReadFdf(once, 4, &error);
    if (!again) std::abort();  // the engine cannot read what it wrote
    AnnotStore second;
    second.Reset(4);
    for (auto& r : again->topLevel) {
        const int page = r->page;
        second.Append(page, std::move(r));
    }
    for (auto& r : again->replies) second.AddOrphan(std::move(r));
    if (WriteFdf(second, "fuzz.pdf") != once) std::abort();  // not stable
    return 0;
}
