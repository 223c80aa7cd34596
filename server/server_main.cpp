// quill-review-server: the bundled review server and content store.
#include <pthread.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "server/review_server.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    quillserver::ServerOptions options;
    std::string error;
    if (!quillserver::ParseServerOptions(args, options, error)) {
        std::fprintf(stderr, "quill-review-server: %s\n%s", error.c_str(),
                     quillserver::ServerUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(quillserver::ServerUsage().c_str(), stdout);
        return 0;
    }
    // Every open connection, idle ones included, takes a descriptor: allow as many as the system
    // lets this process have, not the small default.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    // The listener threads must not take the stop signals: the main thread waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    quillserver::ReviewServer server(options);
    if (!server.Start(error)) {
        std::fprintf(stderr, "quill-review-server: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "quill-review-server: review port %d, content store port %d, data %s\n",
                 server.reviewPort(), server.ecmPort(), options.dataDir.c_str());
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    server.Wait();
    return 0;
}
