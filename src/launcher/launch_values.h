// The launch values a page hands to the launcher, one set per control, and how they are loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quill::launcher {

// One field per named parameter of the page's object element; text is in the system's
// multi-byte code page. Missing parameters leave text empty and numbers 0 (ECM_PORT too).
struct LaunchValues {
    std::string SERVER;
    int32_t PORT = 0;
    std::string ECM_HOST;
    int32_t ECM_PORT = 0;
    std::string ECM_SERVER_ID;
    std::string KESTRON;
    std::string FST_REG_USER_ID;
    std::string INCHRG_USER_ID;
    int32_t SQURVW_MNO = 0;
    int32_t PATCP_SEQ = 0;
    int32_t REPATCP_SEQ = 0;
    int32_t RVW_FILE_SEQ = 0;
    std::string FILE_ID;
    std::string USER_COLOR;
    std::string PATCP_CLS_CD;
    std::string PROG_CLS_CD;
    std::string SQUAD_DOC_NO;
    std::string SQUAD_DOC_NM;
    std::string NEXT_PLAN_YMD_CD;
    std::string NEXT_REVISN_NO;
    std::string SITE_USE_NM;
    std::string USER_KNM;
    std::string SITE_CD;
    int32_t SQUAD_SQ_NUM = 0;
    std::string OWNER_YN;
    int32_t TGT_SQURVW_MNO = 0;
    std::string STS_CD;
    std::string APPR_YN;
};

// One named value: its parameter name and the member that holds it (exactly one is set).
struct LaunchValueField {
    const char* name;
    std::string LaunchValues::*text;
    int32_t LaunchValues::*number;
};

// The 28 fields in the order the page's parameters are read.
inline constexpr std::size_t kLaunchValueCount = 28;
const LaunchValueField* LaunchValueFields();
// The field of a parameter name (exact, case-sensitive), or nullptr.
const LaunchValueField* FindLaunchValueField(const std::string& name);

// Where the values come from: the element's parameters, a link, a test's table. A read that
// finds nothing returns false and leaves out alone.
class LaunchValueSource {
public:
    virtual ~LaunchValueSource() = default;
    virtual bool ReadText(const char* name, std::string& out) = 0;
    virtual bool ReadNumber(const char* name, int32_t& out) = 0;
};

// A fresh set read field by field in order; nothing of an earlier load survives.
LaunchValues LoadLaunchValues(LaunchValueSource& source);

}  // namespace quill::launcher
