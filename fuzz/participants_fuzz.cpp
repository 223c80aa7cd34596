// Feeds arbitrary reply bytes through the readers of the participant and last-modification
// lists, and the dates they hold through the digit reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "session/participants.h"

using namespace quill;
using namespace quill::session;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    std::vector<ParticipantRow> participants;
    ReadParticipantRows(reply, participants);
    std::vector<LastModifiedRow> dates;
    ReadLastModifiedRows(reply, dates);
    ParticipantTable table;
    AddParticipants(table, participants);
    MarkNewerComments(table, dates);
    for (const ParticipantRow& row : participants)
        MatchAuthor(table, row.name + "-" + row.discipline);
    DateDigitsValue(reply);
    return 0;
}
