// The review's participants as the consolidation reads them: the server's two lists, read
// tolerantly, and who has commented since his last finish.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quill::session {

// One element of the "PARTICIPANTS" reply; texts in the system code page, name and
// discipline trimmed.
struct ParticipantRow {
    int participantSeq = 0;  // PATCP_SEQ
    std::string userId;      // FST_REG_USER_ID
    std::string discipline;  // SITE_USE_NM
    std::string name;        // USER_KNM
};

// One element of the "LASTMODIFIEDDATE" reply, every text trimmed.
struct LastModifiedRow {
    std::string commentNo;    // SQURVW_CMNT_MNO
    std::string userId;       // FST_REG_USER_ID
    std::string finishDate;   // FINISH_DT
    std::string commentDate;  // CMNT_DT
};

struct Participant {
    int participantSeq = 0;
    std::string discipline;
    std::string name;
    bool hasNewerComments = false;
};

// By user id, so that walking it goes in user id order.
using ParticipantTable = std::map<std::string, Participant>;

// The rows of a reply holding {"cmnt":[...]}. A member of another type than expected is read
// as well as it can be (a number as text, "3" as 3) or as empty; an element that is no object,
// and a cmnt that is no array, give no rows. False only when the reply lacks the opening text
// or is no JSON object. Never throws.
bool ReadParticipantRows(const std::string& reply, std::vector<ParticipantRow>& rows);
// The same for {"lastmodifieddate":[...]}.
bool ReadLastModifiedRows(const std::string& reply, std::vector<LastModifiedRow>& rows);

// A date text read digit by digit (value times 10 plus the character's code minus that of
// "0"), whatever the characters; wraps around in 64 bits instead of overflowing.
int64_t DateDigitsValue(const std::string& text);

// Adds each row's user to the table unless it is there already (the first row wins).
void AddParticipants(ParticipantTable& table, const std::vector<ParticipantRow>& rows);
// Marks the participants whose comment time is later than their finish time.
void MarkNewerComments(ParticipantTable& table, const std::vector<LastModifiedRow>& rows);

// The first participant, in user id order, whose discipline and name both occur in the author
// text; one with an empty name or discipline matches nobody. nullptr when none matches.
const Participant* MatchAuthor(const ParticipantTable& table, const std::string& author);

}  // namespace quill::session
