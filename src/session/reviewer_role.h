// The reviewer's identity and role as the viewer's read-only rules see them.
#pragma once
#include "session/session_names.h"

#include <string>

namespace quill::app {
struct LaunchParams;
}

namespace quill::session {

struct ReviewerRole {
    std::string authorName;     // "name-discipline" of the reviewer
    std::string siteUseNm;      // the reviewer's discipline (SITEUSENM)
    bool isOpener = false;      // the initiator may change every comment
    bool patcpClass03 = false;  // a participant of class "03" may change nothing

    static ReviewerRole From(const LaunchParams& params);
};

// The discipline of an author: the part behind the last "-", or the whole author without one.
std::string DisciplineOf(const std::string& author);
// True when a comment of this author is locked for the reviewer: another author of another
// discipline (compared without regard to letter case). Class "03" and the initiator aside.
bool IsOtherDiscipline(const std::string& author, const ReviewerRole& role);

}  // namespace quill::session
