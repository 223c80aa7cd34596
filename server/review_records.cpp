#include "server/review_records.h"

#include <map>
#include <set>

#include "server/server_time.h"

namespace quillserver {

void ReviewRecords::EnsureReview(Connection& conn, const ReviewKey& key) {
    auto st = conn.Prepare(
        "INSERT INTO reviews(squrvwmno, rvwfileseq) VALUES(?1, ?2) ON CONFLICT DO NOTHING");
    st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Run();
}

void ReviewRecords::LearnOpener(Connection& conn, const ReviewKey& key,
                                const std::string& openerId) {
    if (openerId.empty()) return;
    EnsureReview(conn, key);
    auto st = conn.Prepare(
        "UPDATE reviews SET opener_id=?3 WHERE squrvwmno=?1 AND rvwfileseq=?2 AND opener_id=''");
    st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, openerId).Run();
}

void ReviewRecords::AddParticipant(Connection& conn, const ReviewKey& key, const Participant& p,
                                   bool isOpener) {
    EnsureReview(conn, key);
    auto st = conn.Prepare(
        "INSERT INTO participants(squrvwmno, rvwfileseq, patcp_seq, repatcp_seq, user_id, "
        "user_knm, site_use_nm, site_cd) VALUES(?1,?2,?3,?4,?5,?6,?7,?8) "
        "ON CONFLICT(squrvwmno, rvwfileseq, patcp_seq) DO UPDATE SET "
        "repatcp_seq=excluded.repatcp_seq, user_id=excluded.user_id, user_knm=excluded.user_knm, "
        "site_use_nm=excluded.site_use_nm, site_cd=excluded.site_cd");
    st.Bind(1, key.squrvwmno)
        .Bind(2, key.rvwfileseq)
        .Bind(3, p.patcpSeq)
        .Bind(4, p.repatcpSeq)
        .Bind(5, p.userId)
        .Bind(6, p.userKnm)
        .Bind(7, p.siteUseNm)
        .Bind(8, p.siteCd)
        .Run();
    if (isOpener) {
        auto op =
            conn.Prepare("UPDATE reviews SET opener_id=?3 WHERE squrvwmno=?1 AND rvwfileseq=?2");
        op.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, p.userId).Run();
    }
}

void ReviewRecords::AddParticipant(const ReviewKey& key, const Participant& p, bool isOpener) {
    db_.Write([&](Connection& conn) { AddParticipant(conn, key, p, isOpener); });
}

std::vector<Participant> ReviewRecords::Participants(const ReviewKey& key,
                                                     const std::string& siteCd) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT patcp_seq, repatcp_seq, user_id, user_knm, site_use_nm, site_cd "
            "FROM participants WHERE squrvwmno=?1 AND rvwfileseq=?2 "
            "AND (?3='' OR site_cd='' OR site_cd=?3) ORDER BY patcp_seq");
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, siteCd);
        std::vector<Participant> list;
        while (st.Step()) {
            Participant p;
            p.patcpSeq = static_cast<int>(st.Int(0));
            p.repatcpSeq = static_cast<int>(st.Int(1));
            p.userId = st.Text(2);
            p.userKnm = st.Text(3);
            p.siteUseNm = st.Text(4);
            p.siteCd = st.Text(5);
            list.push_back(std::move(p));
        }
        return list;
    });
}

void ReviewRecords::SaveDecision(const ReviewKey& key, const std::string& cmntId,
                                 const std::string& yesno, const std::string& cmnt,
                                 const std::string& contents, int patcpSeq, int repatcpSeq,
                                 const std::string& userId) {
    db_.Write([&](Connection& conn) {
        EnsureReview(conn, key);
        auto st = conn.Prepare(
            "INSERT INTO decisions(squrvwmno, rvwfileseq, cmnt_id, yesno, cmnt, contents, "
            "patcp_seq, repatcp_seq, user_id, decided_at) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10) "
            "ON CONFLICT(squrvwmno, rvwfileseq, cmnt_id) DO UPDATE SET yesno=excluded.yesno, "
            "cmnt=excluded.cmnt, contents=excluded.contents, patcp_seq=excluded.patcp_seq, "
            "repatcp_seq=excluded.repatcp_seq, user_id=excluded.user_id, "
            "decided_at=excluded.decided_at");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, cmntId)
            .Bind(4, yesno)
            .Bind(5, cmnt)
            .Bind(6, contents)
            .Bind(7, patcpSeq)
            .Bind(8, repatcpSeq)
            .Bind(9, userId)
            .Bind(10, NowDigits())
            .Run();
        // A new decision settles an earlier disagreement.
        auto fb = conn.Prepare(
            "DELETE FROM feedback WHERE squrvwmno=?1 AND rvwfileseq=?2 AND cmnt_id=?3");
        fb.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, cmntId).Run();
    });
}

void ReviewRecords::SaveFeedback(const ReviewKey& key, const std::string& cmntId,
                                 const std::string& agree, const std::string& cmnt,
                                 const std::string& userId) {
    db_.Write([&](Connection& conn) {
        EnsureReview(conn, key);
        auto st = conn.Prepare(
            "INSERT INTO feedback(squrvwmno, rvwfileseq, cmnt_id, agree, cmnt, user_id, given_at) "
            "VALUES(?1,?2,?3,?4,?5,?6,?7) ON CONFLICT(squrvwmno, rvwfileseq, cmnt_id) DO UPDATE "
            "SET agree=excluded.agree, cmnt=excluded.cmnt, user_id=excluded.user_id, "
            "given_at=excluded.given_at");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, cmntId)
            .Bind(4, agree)
            .Bind(5, cmnt)
            .Bind(6, userId)
            .Bind(7, NowDigits())
            .Run();
    });
}

void ReviewRecords::SaveFinish(const ReviewKey& key, const std::string& userId, int patcpSeq,
                               int repatcpSeq, const std::string& cmnt, int finish) {
    db_.Write([&](Connection& conn) {
        EnsureReview(conn, key);
        auto st = conn.Prepare(
            "INSERT INTO finishes(squrvwmno, rvwfileseq, user_id, patcp_seq, repatcp_seq, cmnt, "
            "finish, finished_at) VALUES(?1,?2,?3,?4,?5,?6,?7,?8) "
            "ON CONFLICT(squrvwmno, rvwfileseq, user_id) DO UPDATE SET "
            "patcp_seq=excluded.patcp_seq, repatcp_seq=excluded.repatcp_seq, cmnt=excluded.cmnt, "
            "finish=excluded.finish, finished_at=excluded.finished_at");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, userId)
            .Bind(4, patcpSeq)
            .Bind(5, repatcpSeq)
            .Bind(6, cmnt)
            .Bind(7, finish)
            .Bind(8, NowDigits())
            .Run();
    });
}

void ReviewRecords::SaveFinishAll(const ReviewKey& key, int patcpSeq, const std::string& openerId,
                                  const std::string& cmnt) {
    db_.Write([&](Connection& conn) {
        LearnOpener(conn, key, openerId);
        std::string now = NowDigits();
        auto st = conn.Prepare(
            "INSERT INTO result_summaries(squrvwmno, rvwfileseq, patcp_seq, opener_id, cmnt, "
            "finished_at) VALUES(?1,?2,?3,?4,?5,?6) ON CONFLICT(squrvwmno, rvwfileseq, patcp_seq) "
            "DO UPDATE SET opener_id=excluded.opener_id, cmnt=excluded.cmnt, "
            "finished_at=excluded.finished_at");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, patcpSeq)
            .Bind(4, openerId)
            .Bind(5, cmnt)
            .Bind(6, now)
            .Run();
        // The initiator's finish of an engineer counts as that engineer's finish.
        std::string userId;
        {
            auto p = conn.Prepare(
                "SELECT user_id FROM participants WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
                "patcp_seq=?3");
            p.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, patcpSeq);
            if (p.Step()) userId = p.Text(0);
        }
        if (userId.empty()) {
            auto f = conn.Prepare(
                "SELECT user_id FROM finishes WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
                "patcp_seq=?3 ORDER BY finished_at DESC LIMIT 1");
            f.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, patcpSeq);
            if (f.Step()) userId = f.Text(0);
        }
        if (userId.empty()) return;
        auto up = conn.Prepare(
            "INSERT INTO finishes(squrvwmno, rvwfileseq, user_id, patcp_seq, repatcp_seq, cmnt, "
            "finish, finished_at) VALUES(?1,?2,?3,?4,0,'',1,?5) "
            "ON CONFLICT(squrvwmno, rvwfileseq, user_id) DO UPDATE SET "
            "finished_at=excluded.finished_at");
        up.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, userId)
            .Bind(4, patcpSeq)
            .Bind(5, now);
        up.Run();
    });
}

void ReviewRecords::SaveCommentDetail(Connection& conn, const ReviewKey& key,
                                      const std::string& cmntId, int patcpSeq, int repatcpSeq,
                                      const std::string& userId, const std::string& inchrgUserId,
                                      const std::string& cmnt, int mergedFrom,
                                      const std::string& when) {
    EnsureReview(conn, key);
    auto st = conn.Prepare(
        "INSERT INTO comment_details(squrvwmno, rvwfileseq, cmnt_id, patcp_seq, repatcp_seq, "
        "user_id, inchrg_user_id, cmnt, merged_from, created_at, deleted) "
        "VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,0) "
        "ON CONFLICT(squrvwmno, rvwfileseq, cmnt_id) DO UPDATE SET patcp_seq=excluded.patcp_seq, "
        "repatcp_seq=excluded.repatcp_seq, user_id=excluded.user_id, "
        "inchrg_user_id=excluded.inchrg_user_id, cmnt=excluded.cmnt, "
        "merged_from=excluded.merged_from, created_at=excluded.created_at, deleted=0");
    st.Bind(1, key.squrvwmno)
        .Bind(2, key.rvwfileseq)
        .Bind(3, cmntId)
        .Bind(4, patcpSeq)
        .Bind(5, repatcpSeq)
        .Bind(6, userId)
        .Bind(7, inchrgUserId)
        .Bind(8, cmnt)
        .Bind(9, mergedFrom)
        .Bind(10, when)
        .Run();
}

void ReviewRecords::SaveCommentDetail(const ReviewKey& key, const std::string& cmntId, int patcpSeq,
                                      int repatcpSeq, const std::string& userId,
                                      const std::string& inchrgUserId, const std::string& cmnt) {
    db_.Write([&](Connection& conn) {
        // The person in charge of a comment detail is the review's initiator.
        LearnOpener(conn, key, inchrgUserId);
        SaveCommentDetail(conn, key, cmntId, patcpSeq, repatcpSeq, userId, inchrgUserId, cmnt, 0,
                          NowDigits());
    });
}

void ReviewRecords::DeleteCommentDetail(const ReviewKey& key, const std::string& cmntId) {
    db_.Write([&](Connection& conn) {
        auto st = conn.Prepare(
            "UPDATE comment_details SET deleted=1 WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
            "cmnt_id=?3");
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, cmntId).Run();
    });
}

void ReviewRecords::SaveMerge(int targetSqurvwmno, const ReviewKey& key, int patcpSeq,
                              int repatcpSeq, const std::string& userId, const std::string& cmntId,
                              const std::string& cmnt) {
    db_.Write([&](Connection& conn) {
        std::string now = NowDigits();
        auto st = conn.Prepare(
            "INSERT INTO merges(tgt_squrvwmno, squrvwmno, rvwfileseq, patcp_seq, repatcp_seq, "
            "user_id, cmnt_id, cmnt, merged_at) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9)");
        st.Bind(1, targetSqurvwmno)
            .Bind(2, key.squrvwmno)
            .Bind(3, key.rvwfileseq)
            .Bind(4, patcpSeq)
            .Bind(5, repatcpSeq)
            .Bind(6, userId)
            .Bind(7, cmntId)
            .Bind(8, cmnt)
            .Bind(9, now)
            .Run();
        ReviewKey target{targetSqurvwmno, key.rvwfileseq};
        SaveCommentDetail(conn, target, cmntId, patcpSeq, repatcpSeq, userId, "", cmnt,
                          key.squrvwmno, now);
    });
}

int ReviewRecords::MergeCommentDetails(int targetSqurvwmno, const ReviewKey& key,
                                       const std::string& userId) {
    return db_.Write([&](Connection& conn) {
        std::string now = NowDigits();
        auto st = conn.Prepare(
            "INSERT INTO comment_details(squrvwmno, rvwfileseq, cmnt_id, patcp_seq, repatcp_seq, "
            "user_id, inchrg_user_id, cmnt, merged_from, created_at, deleted) "
            "SELECT ?3, c.rvwfileseq, c.cmnt_id, c.patcp_seq, c.repatcp_seq, c.user_id, ?4, "
            "c.cmnt, c.squrvwmno, ?5, 0 FROM comment_details c JOIN decisions d "
            "ON d.squrvwmno=c.squrvwmno AND d.rvwfileseq=c.rvwfileseq AND d.cmnt_id=c.cmnt_id "
            "WHERE c.squrvwmno=?1 AND c.rvwfileseq=?2 AND c.deleted=0 AND d.yesno='Y' "
            "ON CONFLICT(squrvwmno, rvwfileseq, cmnt_id) DO NOTHING");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, targetSqurvwmno)
            .Bind(4, userId)
            .Bind(5, now)
            .Run();
        return static_cast<int>(conn.Changes());
    });
}

void ReviewRecords::FinishInternalReview(const ReviewKey& key, const std::string& userId) {
    db_.Write([&](Connection& conn) {
        EnsureReview(conn, key);
        auto st = conn.Prepare(
            "UPDATE reviews SET internal_finished_by=?3, internal_finished_at=?4 "
            "WHERE squrvwmno=?1 AND rvwfileseq=?2");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, userId)
            .Bind(4, NowDigits())
            .Run();
    });
}

void ReviewRecords::CloseSquad(const ReviewKey& key, const std::string& userId,
                               const std::string& status) {
    db_.Write([&](Connection& conn) {
        LearnOpener(conn, key, userId);
        auto st = conn.Prepare(
            "UPDATE reviews SET status=?3, closed_by=?4, closed_at=?5 "
            "WHERE squrvwmno=?1 AND rvwfileseq=?2");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, status)
            .Bind(4, userId)
            .Bind(5, NowDigits())
            .Run();
    });
}

void ReviewRecords::SaveConvertResult(const ReviewKey& key, const std::string& sysDiv,
                                      const std::string& progClscd, const std::string& fileNm,
                                      const std::string& ecmNo, const std::string& siteCd) {
    db_.Write([&](Connection& conn) {
        auto st = conn.Prepare(
            "INSERT INTO convert_results(squrvwmno, rvwfileseq, sys_div, prog_clscd, file_nm, "
            "ecm_no, site_cd, saved_at) VALUES(?1,?2,?3,?4,?5,?6,?7,?8)");
        st.Bind(1, key.squrvwmno)
            .Bind(2, key.rvwfileseq)
            .Bind(3, sysDiv)
            .Bind(4, progClscd)
            .Bind(5, fileNm)
            .Bind(6, ecmNo)
            .Bind(7, siteCd)
            .Bind(8, NowDigits())
            .Run();
    });
}

namespace {

// The decision (d) and the feedback (f) of each comment id (c) of the review (?1, ?2).
constexpr const char* kDecisionAndFeedbackOfComments =
    "LEFT JOIN decisions d ON d.squrvwmno=?1 AND d.rvwfileseq=?2 AND d.cmnt_id=c.cmnt_id "
    "LEFT JOIN feedback f ON f.squrvwmno=?1 AND f.rvwfileseq=?2 AND f.cmnt_id=c.cmnt_id "
    "ORDER BY c.cmnt_id";

}  // namespace

std::vector<std::pair<std::string, std::string>> ReviewRecords::Decisions(const ReviewKey& key) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT c.cmnt_id, d.yesno, f.agree FROM "
            "(SELECT cmnt_id FROM comment_details WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
            "deleted=0 UNION SELECT cmnt_id FROM decisions WHERE squrvwmno=?1 AND rvwfileseq=?2) "
            "c " +
            std::string(kDecisionAndFeedbackOfComments));
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
        std::vector<std::pair<std::string, std::string>> list;
        while (st.Step()) {
            std::string decision = st.IsNull(1) ? "C" : st.Text(1);
            // A participant who disagrees puts the comment back under review.
            if (!st.IsNull(2) && st.Text(2) == "N") decision = "C";
            list.emplace_back(st.Text(0), decision);
        }
        return list;
    });
}

std::vector<CommentOutcome> ReviewRecords::Outcomes(const ReviewKey& key) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare(
            "SELECT c.cmnt_id, d.yesno, d.cmnt, f.agree, f.cmnt FROM "
            "(SELECT cmnt_id FROM comment_details WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
            "deleted=0 UNION SELECT cmnt_id FROM decisions WHERE squrvwmno=?1 AND rvwfileseq=?2 "
            "UNION SELECT cmnt_id FROM feedback WHERE squrvwmno=?1 AND rvwfileseq=?2) "
            "c " +
            std::string(kDecisionAndFeedbackOfComments));
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
        std::vector<CommentOutcome> list;
        while (st.Step()) {
            CommentOutcome outcome;
            outcome.cmntId = st.Text(0);
            if (!st.IsNull(1)) outcome.decision = st.Text(1);
            if (!st.IsNull(2)) outcome.decisionSummary = st.Text(2);
            if (!st.IsNull(3)) outcome.feedback = st.Text(3);
            if (!st.IsNull(4)) outcome.feedbackText = st.Text(4);
            list.push_back(std::move(outcome));
        }
        return list;
    });
}

std::vector<LastModifiedRow> ReviewRecords::LastModified(
    const ReviewKey& key, const std::map<std::string, std::string>& publishTimes) {
    return db_.Read([&](Connection& conn) {
        std::map<std::string, LastModifiedRow> rows;
        auto touch = [&](const std::string& user) -> LastModifiedRow& {
            auto& row = rows[user];
            if (row.userId.empty()) {
                row.userId = user;
                row.finishDt = "0";
                row.commentDt = "0";
            }
            return row;
        };
        auto later = [](std::string& slot, const std::string& when) {
            if (!when.empty() && (slot == "0" || when > slot)) slot = when;
        };
        {
            auto st = conn.Prepare(
                "SELECT user_id FROM participants WHERE squrvwmno=?1 AND rvwfileseq=?2");
            st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
            while (st.Step()) touch(st.Text(0));
        }
        {
            auto st = conn.Prepare(
                "SELECT user_id, finished_at FROM finishes WHERE squrvwmno=?1 AND rvwfileseq=?2");
            st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
            while (st.Step()) later(touch(st.Text(0)).finishDt, st.Text(1));
        }
        {
            auto st = conn.Prepare(
                "SELECT user_id, MAX(created_at) FROM comment_details WHERE squrvwmno=?1 AND "
                "rvwfileseq=?2 AND merged_from=0 GROUP BY user_id");
            st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
            while (st.Step()) later(touch(st.Text(0)).commentDt, st.Text(1));
        }
        for (const auto& [user, when] : publishTimes) later(touch(user).commentDt, when);
        std::vector<LastModifiedRow> list;
        for (auto& [user, row] : rows)
            if (!user.empty()) list.push_back(row);
        return list;
    });
}

FeedbackSummary ReviewRecords::Summary(const ReviewKey& key, int patcpSeq, int repatcpSeq) {
    return db_.Read([&](Connection& conn) {
        FeedbackSummary summary;
        std::string opener;
        {
            auto st =
                conn.Prepare("SELECT opener_id FROM reviews WHERE squrvwmno=?1 AND rvwfileseq=?2");
            st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
            if (st.Step()) opener = st.Text(0);
        }
        if (!opener.empty()) {
            auto st = conn.Prepare(
                "SELECT cmnt FROM finishes WHERE squrvwmno=?1 AND rvwfileseq=?2 AND user_id=?3");
            st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, opener);
            if (st.Step()) {
                summary.found = true;
                summary.finishReport = st.Text(0);
            }
        }
        auto st = conn.Prepare(
            "SELECT cmnt FROM result_summaries WHERE squrvwmno=?1 AND rvwfileseq=?2 AND "
            "patcp_seq=?3");
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq).Bind(3, patcpSeq);
        if (st.Step()) {
            summary.found = true;
            summary.resultSummary = st.Text(0);
        }
        (void)repatcpSeq;
        return summary;
    });
}

std::string ReviewRecords::Status(const ReviewKey& key) {
    return db_.Read([&](Connection& conn) {
        auto st = conn.Prepare("SELECT status FROM reviews WHERE squrvwmno=?1 AND rvwfileseq=?2");
        st.Bind(1, key.squrvwmno).Bind(2, key.rvwfileseq);
        return st.Step() ? st.Text(0) : std::string();
    });
}

}  // namespace quillserver
