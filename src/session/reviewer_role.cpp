#include "session/reviewer_role.h"
#include "session/session_names.h"

#include "app/launch_params.h"
#include "platform/code_page.h"

namespace quill::session {

ReviewerRole ReviewerRole::From(const LaunchParams& params) {
    ReviewerRole role;
    role.authorName = params.authorName;
    role.siteUseNm = params.SITEUSENM;
    role.isOpener = params.isOpener;
    role.patcpClass03 = params.patcpClass03;
    return role;
}

std::string DisciplineOf(const std::string& author) {
    const size_t dash = author.rfind('-');
    return dash == std::string::npos ? author : author.substr(dash + 1);
}

bool IsOtherDiscipline(const std::string& author, const ReviewerRole& role) {
    if (author == role.authorName) return false;
    return platform::LowerMultiByte(DisciplineOf(author)) !=
           platform::LowerMultiByte(role.siteUseNm);
}

}  // namespace quill::session
