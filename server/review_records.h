// The review's own records: participants, decisions, feedback, finishes, comment details,
// merges, closes and conversion results, keyed by review number and file sequence.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "server/sqlite_db.h"

namespace quillserver {

struct ReviewKey {
    int squrvwmno = 0;
    int rvwfileseq = 0;
};

struct Participant {
    int patcpSeq = 0;
    int repatcpSeq = 0;
    std::string userId;
    std::string userKnm;
    std::string siteUseNm;
    std::string siteCd;
};

struct LastModifiedRow {
    std::string userId;
    std::string finishDt;   // digits, "0" when the user never finished
    std::string commentDt;  // digits, "0" when the user never published
};

// What the initiator and the participant said of one comment.
struct CommentOutcome {
    std::string cmntId;
    std::string decision;         // "Y", "N", or empty before a decision
    std::string decisionSummary;  // the initiator's text with the decision
    std::string feedback;         // the participant's "Y" (agree), "N", or empty
    std::string feedbackText;
};

struct FeedbackSummary {
    bool found = false;
    std::string finishReport;   // the initiator's own finish report
    std::string resultSummary;  // the initiator's result summary for the participant
};

class ReviewRecords {
public:
    explicit ReviewRecords(SqliteDb& db) : db_(db) {}

    void AddParticipant(const ReviewKey& key, const Participant& p, bool isOpener);
    static void AddParticipant(Connection& conn, const ReviewKey& key, const Participant& p,
                               bool isOpener);
    // Participants of the review; those of another site are left out (an empty site code on
    // either side matches every site).
    std::vector<Participant> Participants(const ReviewKey& key, const std::string& siteCd);

    void SaveDecision(const ReviewKey& key, const std::string& cmntId, const std::string& yesno,
                      const std::string& cmnt, const std::string& contents, int patcpSeq,
                      int repatcpSeq, const std::string& userId);
    void SaveFeedback(const ReviewKey& key, const std::string& cmntId, const std::string& agree,
                      const std::string& cmnt, const std::string& userId);
    void SaveFinish(const ReviewKey& key, const std::string& userId, int patcpSeq, int repatcpSeq,
                    const std::string& cmnt, int finish);
    void SaveFinishAll(const ReviewKey& key, int patcpSeq, const std::string& openerId,
                       const std::string& cmnt);
    void SaveCommentDetail(const ReviewKey& key, const std::string& cmntId, int patcpSeq,
                           int repatcpSeq, const std::string& userId,
                           const std::string& inchrgUserId, const std::string& cmnt);
    static void SaveCommentDetail(Connection& conn, const ReviewKey& key, const std::string& cmntId,
                                  int patcpSeq, int repatcpSeq, const std::string& userId,
                                  const std::string& inchrgUserId, const std::string& cmnt,
                                  int mergedFrom, const std::string& when);
    void DeleteCommentDetail(const ReviewKey& key, const std::string& cmntId);
    // Carries one comment into the target review with the given text.
    void SaveMerge(int targetSqurvwmno, const ReviewKey& key, int patcpSeq, int repatcpSeq,
                   const std::string& userId, const std::string& cmntId, const std::string& cmnt);
    // Carries every applied comment detail of the review into the target review; returns how
    // many were carried.
    int MergeCommentDetails(int targetSqurvwmno, const ReviewKey& key, const std::string& userId);
    void FinishInternalReview(const ReviewKey& key, const std::string& userId);
    void CloseSquad(const ReviewKey& key, const std::string& userId, const std::string& status);
    void SaveConvertResult(const ReviewKey& key, const std::string& sysDiv,
                           const std::string& progClscd, const std::string& fileNm,
                           const std::string& ecmNo, const std::string& siteCd);

    // Per comment of the review: its id and "Y", "N" or "C" (under review).
    std::vector<std::pair<std::string, std::string>> Decisions(const ReviewKey& key);
    // Per comment of the review, in id order: the decision and feedback with their texts.
    std::vector<CommentOutcome> Outcomes(const ReviewKey& key);
    // Per user who took part, commented or finished: finish time and last comment time.
    std::vector<LastModifiedRow> LastModified(
        const ReviewKey& key, const std::map<std::string, std::string>& publishTimes);
    FeedbackSummary Summary(const ReviewKey& key, int patcpSeq, int repatcpSeq);
    std::string Status(const ReviewKey& key);

private:
    static void EnsureReview(Connection& conn, const ReviewKey& key);
    static void LearnOpener(Connection& conn, const ReviewKey& key, const std::string& openerId);

    SqliteDb& db_;
};

}  // namespace quillserver
