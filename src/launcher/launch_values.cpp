#include "launcher/launch_values.h"

namespace quill::launcher {

namespace {

#define TEXT_VALUE(n) \
    LaunchValueField { #n, &LaunchValues::n, nullptr }
#define NUMBER_VALUE(n) \
    LaunchValueField { #n, nullptr, &LaunchValues::n }

// SQUAD_SQ_NUM is read before OWNER_YN here, unlike the order of the script properties.
const LaunchValueField kFields[kLaunchValueCount] = {
    TEXT_VALUE(SERVER),           NUMBER_VALUE(PORT),           TEXT_VALUE(ECM_HOST),
    NUMBER_VALUE(ECM_PORT),       TEXT_VALUE(ECM_SERVER_ID),    TEXT_VALUE(KESTRON),
    TEXT_VALUE(FST_REG_USER_ID),  TEXT_VALUE(INCHRG_USER_ID),   NUMBER_VALUE(SQURVW_MNO),
    NUMBER_VALUE(PATCP_SEQ),      NUMBER_VALUE(REPATCP_SEQ),    NUMBER_VALUE(RVW_FILE_SEQ),
    TEXT_VALUE(FILE_ID),          TEXT_VALUE(USER_COLOR),       TEXT_VALUE(PATCP_CLS_CD),
    TEXT_VALUE(PROG_CLS_CD),      TEXT_VALUE(SQUAD_DOC_NO),     TEXT_VALUE(SQUAD_DOC_NM),
    TEXT_VALUE(NEXT_PLAN_YMD_CD), TEXT_VALUE(NEXT_REVISN_NO),   TEXT_VALUE(SITE_USE_NM),
    TEXT_VALUE(USER_KNM),         TEXT_VALUE(SITE_CD),          NUMBER_VALUE(SQUAD_SQ_NUM),
    TEXT_VALUE(OWNER_YN),         NUMBER_VALUE(TGT_SQURVW_MNO), TEXT_VALUE(STS_CD),
    TEXT_VALUE(APPR_YN),
};

#undef TEXT_VALUE
#undef NUMBER_VALUE

}  // namespace

const LaunchValueField* LaunchValueFields() { return kFields; }

const LaunchValueField* FindLaunchValueField(const std::string& name) {
    for (const LaunchValueField& field : kFields)
        if (name == field.name) return &field;
    return nullptr;
}

LaunchValues LoadLaunchValues(LaunchValueSource& source) {
    LaunchValues values;
    for (const LaunchValueField& field : kFields) {
        if (field.text) {
            std::string text;
            if (source.ReadText(field.name, text)) values.*(field.text) = std::move(text);
        } else {
            int32_t number = 0;
            if (source.ReadNumber(field.name, number)) values.*(field.number) = number;
        }
    }
    return values;
}

}  // namespace quill::launcher
