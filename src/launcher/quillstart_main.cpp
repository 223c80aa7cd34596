// quillstart: opens "quillmark:" links for browsers without the in-page control.
#include <iostream>
#include <string>

#include "launcher/link_launch.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillstart quillmark:?SERVER=...&PORT=...\n";
        return quill::launcher::kLinkRefused;
    }
    return quill::launcher::RunLinkLaunch(argv[1], quill::launcher::ReadInstallDirFromStore(),
                                          quill::launcher::StartClientProcess, std::cerr);
}
