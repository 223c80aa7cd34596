#include "launcher/launch_string.h"

namespace quill::launcher {

namespace {

// The client's key and the launch value that fills it, in the order of the string.
struct KeyOfValue {
    const char* key;
    std::string LaunchValues::*text;
    int32_t LaunchValues::*number;
};

#define TEXT_KEY(k, v) \
    KeyOfValue { k, &LaunchValues::v, nullptr }
#define NUMBER_KEY(k, v) \
    KeyOfValue { k, nullptr, &LaunchValues::v }

const KeyOfValue kKeys[] = {
    TEXT_KEY("HOST", SERVER),
    NUMBER_KEY("PORT", PORT),
    TEXT_KEY("USERID", FST_REG_USER_ID),
    TEXT_KEY("OPENERID", INCHRG_USER_ID),
    NUMBER_KEY("SQURVWMNO", SQURVW_MNO),
    NUMBER_KEY("PATCPSEQ", PATCP_SEQ),
    NUMBER_KEY("REPATCPSEQ", REPATCP_SEQ),
    NUMBER_KEY("RVWFILESEQ", RVW_FILE_SEQ),
    TEXT_KEY("ELEMENTID", FILE_ID),
    TEXT_KEY("COMMENTCOLOR", USER_COLOR),
    TEXT_KEY("PATCPCLSCD", PATCP_CLS_CD),
    TEXT_KEY("PROGCLSCD", PROG_CLS_CD),
    TEXT_KEY("SQUADDOCNO", SQUAD_DOC_NO),
    TEXT_KEY("SQUADDOCNM", SQUAD_DOC_NM),
    TEXT_KEY("NEXTPLANYMDCD", NEXT_PLAN_YMD_CD),
    TEXT_KEY("NEXTREVISNNO", NEXT_REVISN_NO),
    TEXT_KEY("SITEUSENM", SITE_USE_NM),
    TEXT_KEY("USERKNM", USER_KNM),
    TEXT_KEY("SITECD", SITE_CD),
    TEXT_KEY("OWNER", OWNER_YN),
    TEXT_KEY("ECM_HOST", ECM_HOST),
    NUMBER_KEY("ECM_PORT", ECM_PORT),
    TEXT_KEY("ECM_SERVER_ID", ECM_SERVER_ID),
    TEXT_KEY("KESTRON", KESTRON),
    NUMBER_KEY("SQUADSQNUM", SQUAD_SQ_NUM),
    NUMBER_KEY("TGTSQURVWMNO", TGT_SQURVW_MNO),
    TEXT_KEY("STSCD", STS_CD),
    TEXT_KEY("APPR", APPR_YN),
};

#undef TEXT_KEY
#undef NUMBER_KEY

}  // namespace

std::string LaunchStringValue(const std::string& value, bool& changed) {
    const std::string::size_type nul = value.find('\0');
    std::string out = nul == std::string::npos ? value : value.substr(0, nul);
    changed = nul != std::string::npos;
    for (char& c : out) {
        if (c == '&') {
            c = kAmpersandStandIn;
            changed = true;
        }
    }
    return out;
}

std::string FormatLaunchString(const LaunchValues& values, const LaunchLog& log) {
    std::string out;
    bool firstKey = true;
    for (const KeyOfValue& k : kKeys) {
        if (!firstKey) out += '&';
        firstKey = false;
        out += k.key;
        out += '=';
        if (k.number) {
            out += std::to_string(values.*(k.number));
            continue;
        }
        bool changed = false;
        out += LaunchStringValue(values.*(k.text), changed);
        if (changed && log)
            log(std::string("launch value for ") + k.key +
                " held '&' or a NUL; it was altered so that it cannot set other keys");
    }
    return out;
}

}  // namespace quill::launcher
