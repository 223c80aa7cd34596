// The review server's requests of the consolidation, as one interface: the review client
// behind it in the program, a recording peer in tests.
#pragma once
#include "session/session_names.h"

#include <string>

#include "review/review_client.h"

namespace quill::session {

class ConsolidationRequests {
public:
    virtual ~ConsolidationRequests() = default;
    // "PARTICIPANTS", "LASTMODIFIEDDATE", "FINISHINTERNALREVIEW", "SQUADCLOSEALL".
    virtual CommandReply Command(const std::string& command) = 0;
    // The single-purpose senders; each returns the reply body (empty when none came).
    virtual std::string MergeCommentDetail() = 0;
    virtual std::string Merge(const std::string& cmntId, const std::string& text) = 0;
    virtual std::string ConvertResult(const std::string& fileName, const std::string& ecmNo) = 0;
    virtual std::string FinishAll(int participantSeq, const std::string& text) = 0;
};

// The requests sent through a review client, which must outlive this object.
class ReviewClientRequests : public ConsolidationRequests {
public:
    explicit ReviewClientRequests(const ReviewClient& client) : client_(client) {}
    CommandReply Command(const std::string& command) override {
        return client_.SendCommand(command);
    }
    std::string MergeCommentDetail() override { return client_.SendMergeCommentDetail(); }
    std::string Merge(const std::string& cmntId, const std::string& text) override {
        return client_.SendMerge(cmntId, text);
    }
    std::string ConvertResult(const std::string& fileName, const std::string& ecmNo) override {
        return client_.SendConvertResult(fileName, ecmNo);
    }
    std::string FinishAll(int participantSeq, const std::string& text) override {
        return client_.SendFinishAll(participantSeq, text);
    }

private:
    const ReviewClient& client_;
};

}  // namespace quill::session
