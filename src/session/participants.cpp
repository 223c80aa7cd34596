#include "session/participants.h"
#include "session/session_names.h"

#include <json/value.h>

#include "app/launch_params.h"
#include "platform/code_page.h"
#include "review/review_replies.h"

namespace quill::session {

namespace {

// A member that should be a text: a string as it is (UTF-8 from the server, so taken into
// the system code page), a number as its decimal text, anything else empty.
std::string TextMember(const Json::Value& element, const char* name) {
    const Json::Value* value = element.find(name, name + std::char_traits<char>::length(name));
    if (!value) return {};
    if (value->isString()) return platform::Utf8ToAnsi(value->asString());
    if (value->isInt64()) return std::to_string(value->asInt64());
    if (value->isUInt64()) return std::to_string(value->asUInt64());
    return {};
}

// A member that should be an int: a number in range, or a text read as atoi reads it.
int IntMember(const Json::Value& element, const char* name) {
    const Json::Value* value = element.find(name, name + std::char_traits<char>::length(name));
    if (!value) return 0;
    if (value->isInt()) return value->asInt();
    if (value->isString()) return AtoiLike(value->asString());
    return 0;
}

// The elements of the array member of a recognised reply that are objects.
bool ObjectElements(const std::string& reply, const char* opening, const char* member,
                    std::vector<const Json::Value*>& elements, Json::Value& root) {
    elements.clear();
    if (!ParseJsonReply(reply, opening, root)) return false;
    const Json::Value* array = root.find(member, member + std::char_traits<char>::length(member));
    if (!array || !array->isArray()) return true;
    for (Json::ArrayIndex i = 0; i < array->size(); ++i) {
        const Json::Value& element = (*array)[i];
        if (element.isObject()) elements.push_back(&element);
    }
    return true;
}

}  // namespace

bool ReadParticipantRows(const std::string& reply, std::vector<ParticipantRow>& rows) {
    rows.clear();
    Json::Value root;
    std::vector<const Json::Value*> elements;
    if (!ObjectElements(reply, kParticipantsOpening, "cmnt", elements, root)) return false;
    for (const Json::Value* element : elements) {
        ParticipantRow row;
        row.participantSeq = IntMember(*element, "PATCP_SEQ");
        row.userId = TextMember(*element, "FST_REG_USER_ID");
        row.discipline = platform::TrimMultiByte(TextMember(*element, "SITE_USE_NM"));
        row.name = platform::TrimMultiByte(TextMember(*element, "USER_KNM"));
        rows.push_back(std::move(row));
    }
    return true;
}

bool ReadLastModifiedRows(const std::string& reply, std::vector<LastModifiedRow>& rows) {
    rows.clear();
    Json::Value root;
    std::vector<const Json::Value*> elements;
    if (!ObjectElements(reply, kLastModifiedOpening, "lastmodifieddate", elements, root))
        return false;
    for (const Json::Value* element : elements) {
        LastModifiedRow row;
        row.commentNo = platform::TrimMultiByte(TextMember(*element, "SQURVW_CMNT_MNO"));
        row.userId = platform::TrimMultiByte(TextMember(*element, "FST_REG_USER_ID"));
        row.finishDate = platform::TrimMultiByte(TextMember(*element, "FINISH_DT"));
        row.commentDate = platform::TrimMultiByte(TextMember(*element, "CMNT_DT"));
        rows.push_back(std::move(row));
    }
    return true;
}

int64_t DateDigitsValue(const std::string& text) {
    // Unsigned arithmetic wraps where signed would overflow; well-formed dates never get there.
    uint64_t value = 0;
    for (char c : text) value = value * 10u + static_cast<uint64_t>(static_cast<int64_t>(c - '0'));
    return static_cast<int64_t>(value);
}

void AddParticipants(ParticipantTable& table, const std::vector<ParticipantRow>& rows) {
    for (const ParticipantRow& row : rows) {
        if (table.count(row.userId)) continue;
        table[row.userId] = Participant{row.participantSeq, row.discipline, row.name, false};
    }
}

void MarkNewerComments(ParticipantTable& table, const std::vector<LastModifiedRow>& rows) {
    for (const LastModifiedRow& row : rows) {
        if (DateDigitsValue(row.commentDate) <= DateDigitsValue(row.finishDate)) continue;
        auto found = table.find(row.userId);
        if (found != table.end()) found->second.hasNewerComments = true;
    }
}

const Participant* MatchAuthor(const ParticipantTable& table, const std::string& author) {
    for (const auto& [userId, participant] : table) {
        // An empty text occurs in every author: such a participant would claim them all.
        if (participant.name.empty() || participant.discipline.empty()) continue;
        if (author.find(participant.discipline) != std::string::npos &&
            author.find(participant.name) != std::string::npos)
            return &participant;
    }
    return nullptr;
}

}  // namespace quill::session
