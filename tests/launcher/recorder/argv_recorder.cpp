// Stands in for the client in the launcher's tests: writes the arguments it was started with,
// each followed by a NUL, to the file named by QUILL_RECORDER_OUT. The file appears whole (written
// beside it, then renamed), so a test that waits for it never reads half of it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("QUILL_RECORDER_OUT");
    if (!out) return 1;
    const std::string partial = std::string(out) + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) return 1;
    for (int i = 1; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, file);
    if (std::fclose(file) != 0) return 1;
    return std::rename(partial.c_str(), out) == 0 ? 0 : 1;
}
