#include "server/server_options.h"

#include <cstdlib>

#include "server/request_params.h"

namespace quillserver {

std::string DefaultDataDir() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/quill-review-server";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/quill-review-server";
    return "quill-review-server-data";
}

std::string ServerUsage() {
    return "usage: quill-review-server [options]\n"
           "  --host ADDR        address to listen on (default 127.0.0.1)\n"
           "  --port N           review port, 0 for any free port (default 8087)\n"
           "  --ecm-port N       content store port, 0 for any free port (default 2104)\n"
           "  --data DIR         data folder (default ~/.local/share/quill-review-server)\n"
           "  --seed demo        create the sample review if it is not there yet\n"
           "  --document FILE    serve FILE as /Comm/download.do?file=<its name> (repeatable)\n"
           "  --fault RULE       inject a fault: KIND:PATH[:ARG][@COUNT], KIND one of\n"
           "                     status (ARG the status), delay (ARG ms), garbage, drop;\n"
           "                     PATH a request path or *; COUNT a number or * (repeatable)\n"
           "  --port-file FILE   write \"review=PORT\\necm=PORT\\n\" once listening\n"
           "  --threads N        worker threads per listener (default 32)\n"
           "  --keep-alive S     close a kept-alive connection idle for S seconds (default 2)\n"
           "  --max-body MB      largest request body in MiB (default 64)\n"
           "  --verbose          log every request to standard error\n";
}

bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& o,
                        std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int& out, int low, int high) {
            std::string text;
            if (!value(text)) return false;
            if (!ParseInt32(text, out) || out < low || out > high) {
                error = a + " needs a number from " + std::to_string(low) + " to " +
                        std::to_string(high);
                return false;
            }
            return true;
        };
        std::string text;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--host") {
            if (!value(o.host)) return false;
        } else if (a == "--port") {
            if (!number(o.port, 0, 65535)) return false;
        } else if (a == "--ecm-port") {
            if (!number(o.ecmPort, 0, 65535)) return false;
        } else if (a == "--data") {
            if (!value(o.dataDir)) return false;
        } else if (a == "--seed") {
            if (!value(o.seed)) return false;
            if (o.seed != "demo") {
                error = "--seed knows only demo";
                return false;
            }
        } else if (a == "--document") {
            if (!value(text)) return false;
            o.documents.push_back(text);
        } else if (a == "--fault") {
            if (!value(text)) return false;
            FaultRule rule;
            if (!FaultInjector::ParseRule(text, rule, error)) return false;
            o.faults.push_back(rule);
        } else if (a == "--port-file") {
            if (!value(o.portFile)) return false;
        } else if (a == "--threads") {
            if (!number(o.threads, 1, 1024)) return false;
        } else if (a == "--keep-alive") {
            if (!number(o.keepAliveSeconds, 1, 3600)) return false;
        } else if (a == "--max-body") {
            int mb = 0;
            if (!number(mb, 1, 4096)) return false;
            o.maxFormBytes = static_cast<size_t>(mb) * 1024u * 1024u;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (o.dataDir.empty()) o.dataDir = DefaultDataDir();
    return true;
}

}  // namespace quillserver
