#include "role_fixture.h"

#include <QApplication>
#include <algorithm>

namespace roletest {

void EnsureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_role_dialogs";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the test program
}

bool CountingSteps::Refused(const std::string& name) const {
    return std::find(refuse.begin(), refuse.end(), name) != refuse.end();
}

bool CountingSteps::SendReview(const std::string& name, bool apply, const std::string& text) {
    sent.push_back("review " + name + (apply ? " Y " : " N ") + text);
    if (Refused(name)) return false;
    return inner_ ? inner_->SendReview(name, apply, text) : true;
}

bool CountingSteps::SendFeedback(const std::string& name, bool agree, const std::string& text) {
    sent.push_back("feedback " + name + (agree ? " Y " : " N ") + text);
    if (Refused(name)) return false;
    return inner_ ? inner_->SendFeedback(name, agree, text) : true;
}

bool CountingSteps::SendFinish(int finish, const std::string& text) {
    sent.push_back("finish " + std::to_string(finish) + " " + text);
    if (finishFails) return false;
    return inner_ ? inner_->SendFinish(finish, text) : true;
}

quill::app::LaunchParams DemoParams(int port, bool participant, const std::string& stscd) {
    std::string text = quill::app::DebugLaunchString();
    const auto swap = [&text](const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        if (at != std::string::npos) text.replace(at, from.size(), to);
    };
    swap("PORT=8087", "PORT=" + std::to_string(port));
    swap("STSCD=02", "STSCD=" + stscd);
    if (!participant) {
        swap("USERID=reviewer1", "USERID=opener1");
        swap("PATCPSEQ=2", "PATCPSEQ=1");
        swap("USERKNM=Kim Minsu", "USERKNM=Choi Yuna");
        swap("SITEUSENM=Piping", "SITEUSENM=Process");
    }
    quill::app::LaunchParams params;
    quill::app::ParseLaunchParams(text, params);
    return params;
}

}  // namespace roletest
