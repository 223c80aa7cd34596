// Stands in for the client in the control's tests: appends its command line tail (what follows
// the program's own name), then a NUL, to launches.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main() {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;

    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::string file(path, length);
    file = file.substr(0, file.find_last_of('\\') + 1) + "launches.txt";
    std::FILE* out = std::fopen(file.c_str(), "ab");
    if (!out) return 1;
    std::fwrite(p, 1, std::strlen(p) + 1, out);
    return std::fclose(out) == 0 ? 0 : 1;
}
