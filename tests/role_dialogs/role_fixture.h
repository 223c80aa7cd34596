// Shared set-up of the role dialog tests: the application, review steps that count what they
// send, and launch values for the bundled server.
#pragma once

#include <string>
#include <vector>

#include "app/launch_params.h"
#include "session/review_steps.h"

namespace roletest {

// Creates the application once (offscreen under ctest).
void EnsureApp();

// Passes every step on to inner (when given) and keeps a line per step: "review NAME Y|N TEXT",
// "feedback NAME Y|N TEXT", "finish F TEXT". Names listed in refuse fail without being sent.
class CountingSteps : public quill::session::ReviewSteps {
public:
    explicit CountingSteps(quill::session::ReviewSteps* inner = nullptr) : inner_(inner) {}
    bool SendReview(const std::string& name, bool apply, const std::string& text) override;
    bool SendFeedback(const std::string& name, bool agree, const std::string& text) override;
    bool SendFinish(int finish, const std::string& text) override;

    std::vector<std::string> sent;
    std::vector<std::string> refuse;
    bool finishFails = false;

private:
    bool Refused(const std::string& name) const;
    quill::session::ReviewSteps* inner_;
};

// The bundled demo review's launch values on port: the initiator "opener1" or, when
// participant, "reviewer1"; stscd "03" puts it in the feedback step.
quill::app::LaunchParams DemoParams(int port, bool participant, const std::string& stscd = "02");

}  // namespace roletest
