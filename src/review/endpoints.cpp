#include "review/endpoints.h"
#include "review/review_names.h"

#include "codec/percent_encoding.h"
#include "review/query_encoding.h"

namespace quill::review::endpoint {

std::string FileAttachList(const std::string& docId, int revision) {
    return std::string("/Comm/fileAttachlist.do?docId=") + PercentEncode(docId) +
           "&rev=" + std::to_string(revision);
}

std::string Download(const std::string& elementId) {
    return std::string("/Comm/download.do?file=") + EncodeQueryText(elementId) + ".pdf";
}

std::string OnServer(const std::string& host, int port, const std::string& path) {
    return "http://" + host + ":" + std::to_string(port) + path;
}

}  // namespace quill::review::endpoint
