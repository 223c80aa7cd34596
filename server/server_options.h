// Command-line options of quill-review-server.
#pragma once

#include <string>
#include <vector>

#include "server/fault_injector.h"

namespace quillserver {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8087;
    int ecmPort = 2104;
    std::string dataDir;   // default: $XDG_DATA_HOME/quill-review-server or ~/.local/share/...
    std::string seed;      // "demo" or empty
    std::string portFile;  // written with "review=PORT\necm=PORT\n" once both listeners are bound
    std::vector<std::string> documents;  // PDF files to serve by their file name
    std::vector<FaultRule> faults;
    int threads = 32;
    int keepAliveSeconds = 2;  // how long an idle kept-alive connection stays open
    size_t maxFormBytes = 64u * 1024u * 1024u;
    bool verbose = false;
    bool help = false;
};

// Reads the arguments; false with a message on a bad one.
bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& options,
                        std::string& error);
std::string ServerUsage();
// The default data folder when none is given.
std::string DefaultDataDir();

}  // namespace quillserver
