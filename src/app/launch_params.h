// The review's launch values, read once from the client's parameter string.
#pragma once

#include <cstdint>
#include <string>

namespace quill::app {

struct LaunchParams {
    std::string HOST;
    int32_t PORT = 0;
    std::string USERID;
    std::string OPENERID;
    int32_t SQURVWMNO = 0;
    int32_t PATCPSEQ = 0;
    int32_t REPATCPSEQ = 0;
    int32_t RVWFILESEQ = 0;
    std::string ELEMENTID;
    uint32_t COMMENTCOLOR = 0;  // red in the low byte, then green, then blue
    std::string PATCPCLSCD;
    std::string PROGCLSCD;
    std::string SQUADDOCNO;
    std::string SQUADDOCNM;
    std::string NEXTPLANYMDCD;
    std::string NEXTREVISNNO;
    std::string SITEUSENM;
    std::string USERKNM;
    std::string SITECD;
    std::string OWNER;
    std::string ECM_HOST;
    int32_t ECM_PORT = 2104;
    std::string ECM_SERVER_ID;
    std::string KESTRON;
    int32_t SQUADSQNUM = 0;
    int32_t TGTSQURVWMNO = 0;
    std::string STSCD;
    std::string APPR;

    // Derived once after reading.
    std::string authorName;
    std::string docId;
    std::string targetDocId;
    bool patcpClass02 = false;
    bool patcpClass03 = false;
    bool isOpener = false;
    bool gatherMode = false;
    bool feedbackMode = false;
};

// Fills params from the string; false when a piece has an empty value (params then
// hold what earlier pieces set). params should start out default-constructed.
bool ParseLaunchParams(const std::string& text, LaunchParams& params);

// "RGB(r,g,b)" to a colour value r + g*256 + b*65536; what does not fit reads as 0.
uint32_t ParseCommentColor(const std::string& value);

// Like the C library's atoi, but without undefined behaviour on overflow (wraps to 32 bits).
int32_t AtoiLike(const std::string& text);

// The built-in string used when the command line is the single word "debug": the bundled
// review server on 127.0.0.1 with the sample review.
const std::string& DebugLaunchString();

// The process-wide record owned by the application object.
LaunchParams& AppLaunchParams();

}  // namespace quill::app
