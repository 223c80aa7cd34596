#include "server/demo_seed.h"

#include <fstream>
#include <string>
#include <vector>

#include "server/comment_blob.h"
#include "server/queue_store.h"
#include "server/review_records.h"
#include "server/sample_drawing.h"

namespace quillserver {

namespace {

struct SeedComment {
    const char* userId;
    int page;
    const char* nm;
    const char* irt;
    std::string content;
    std::string popup;
    std::string file;
    int revision;
    const char* published;
};

std::string Popup(const char* rect, int parentObj, int page) {
    return std::string("<</Type/Annot/Subtype/Popup/Rect[ ") + rect + "]/Open false/Parent " +
           std::to_string(parentObj) + " 0 R /Page " + std::to_string(page) + ">>";
}

std::vector<SeedComment> DemoComments() {
    const char* lee = "Lee Jihoon-Electrical";
    const char* park = "Park Seojun-Structural";
    auto dates = [](const char* d) {
        return std::string("/CreationDate(D:") + d + "+09'00')/M(D:" + d + "+09'00')";
    };
    std::vector<SeedComment> list;
    list.push_back({"elec1", 0, "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001", "",
                    std::string("<</Type/Annot/Subtype/Square/Rect[ 690 395 900 470]/C[ 0.8 0 0]"
                                "/BS<</W 2/S/S>>/NM(5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001)/T(") +
                        lee +
                        ")/Subj(rectangle)/Contents(Cable tray clashes with the 6 inch line "
                        "at grid C-4. Please reroute the line 300 mm lower.)" +
                        dates("20261201090000") + "/Popup 3 0 R/Page 0>>",
                    Popup("900 470 1080 570", 2, 0), "", 1, "20261201091500"});
    list.push_back({"elec1", 1, "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10002", "",
                    std::string("<</Type/Annot/Subtype/Polygon/Vertices[ 300 500 420 500 420 640 "
                                "300 640]/BE<</S/C/I 1>>/C[ 0.8 0 0]/BS<</W 1/S/S>>"
                                "/NM(5E0C2A1B-7D44-4F1A-9B21-3C8D00A10002)/T(") +
                        lee +
                        ")/Subj(cloudy)/Contents(Junction box JB-12 is missing on this "
                        "sheet.)/Rect[ 290 490 430 650]" +
                        dates("20261201091000") + "/Popup 3 0 R/Page 1>>",
                    Popup("430 650 610 750", 2, 1), "", 1, "20261201091500"});
    const std::string schedule =
        "CABLE SCHEDULE AREA 1\r\nC-101  P-103A  3C x 16 mm2\r\nC-102  P-103B  3C x 16 mm2\r\n";
    list.push_back({"elec1", 2, "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10003", "",
                    std::string("<</Type/Annot/Subtype/FileAttachment/Rect[ 520 380 540 400]"
                                "/C[ 0.8 0 0]/FS<</Type/Filespec/F(cable-schedule.txt)/EF<</F 4 0 R"
                                ">>>>/Name/PushPin/NM(5E0C2A1B-7D44-4F1A-9B21-3C8D00A10003)/T(") +
                        lee + ")/Subj(file attachment)/Contents(cable-schedule.txt)" +
                        dates("20261201091200") + "/Popup 3 0 R/Page 2>>",
                    Popup("540 400 720 500", 2, 2),
                    "<</Type/EmbeddedFile/Length " + std::to_string(schedule.size()) +
                        ">>stream\r\n" + schedule + "\r\nendstream",
                    1, "20261201091500"});
    list.push_back({"struct1", 0, "9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20001", "",
                    std::string("<</Type/Annot/Subtype/Circle/Rect[ 250 560 360 650]/C[ 0 0.55 0]"
                                "/BS<</W 2/S/S>>/NM(9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20001)/T(") +
                        park +
                        ")/Subj(circle)/Contents(Vessel V-101 saddle sits off the "
                        "foundation. Check the anchor bolt layout.)" +
                        dates("20261202100000") + "/Popup 3 0 R/Page 0>>",
                    Popup("360 650 540 750", 2, 0), "", 2, "20261202103000"});
    list.push_back({"struct1", 3, "9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20002", "",
                    std::string("<</Type/Annot/Subtype/Line/L[ 600 300 760 420]/LE[/None/OpenArrow]"
                                "/C[ 0 0.55 0]/BS<</W 2/S/S>>/Rect[ 590 290 770 430]"
                                "/NM(9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20002)/T(") +
                        park + ")/Subj(arrow)/Contents(Beam B-7 size to be confirmed.)" +
                        dates("20261202101000") + "/Page 3>>",
                    "", "", 2, "20261202103000"});
    list.push_back({"struct1", 0, "9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20003",
                    "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001",
                    std::string("<</Type/Annot/Subtype/Text/Rect[ 900 450 920 470]/C[ 0 0.55 0]"
                                "/IRT(5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001)"
                                "/NM(9A7B3C2D-1E0F-4A5B-8C6D-7E8F90B20003)/T(") +
                        park +
                        ")/Subj(note)/Contents(Agreed. The pipe support steel moves "
                        "with it.)" +
                        dates("20261202102000") + "/Page 0>>",
                    "", "", 2, "20261202103000"});
    return list;
}

}  // namespace

bool SeedDemo(SqliteDb& db, const std::filesystem::path& documentsFolder) {
    {
        auto pdf = MakeSampleDrawing();
        auto part = documentsFolder / (std::string(kDemoDocument) + ".part");
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
        out.close();
        std::filesystem::rename(part, documentsFolder / kDemoDocument);
    }
    return db.Write([&](Connection& conn) {
        {
            auto st = conn.Prepare("SELECT value FROM meta WHERE key='seed.demo'");
            if (st.Step()) return false;
        }
        ReviewKey key{kDemoReview, kDemoFileSeq};
        struct Who {
            Participant p;
            bool opener;
        };
        const Who people[] = {
            {{1, 0, "opener1", "Choi Yuna", "Process", "S01"}, true},
            {{2, 0, "reviewer1", "Kim Minsu", "Piping", "S01"}, false},
            {{3, 0, "elec1", "Lee Jihoon", "Electrical", "S01"}, false},
            {{4, 0, "struct1", "Park Seojun", "Structural", "S01"}, false},
        };
        for (const auto& w : people) ReviewRecords::AddParticipant(conn, key, w.p, w.opener);

        for (const auto& c : DemoComments()) {
            QueueItem item;
            item.docId = kDemoDocId;
            item.qType = "A";
            item.pageNo = c.page;
            item.actionType = 0;
            item.userId = c.userId;
            item.targetId = c.userId;
            item.nm = c.nm;
            item.irt = c.irt;
            item.object = MakeCommentBlob(c.content, c.popup, c.file);
            item.hasFile = !c.file.empty();
            item.creationDate = std::string(c.published).substr(0, 4) + "-" +
                                std::string(c.published).substr(4, 2) + "-" +
                                std::string(c.published).substr(6, 2) + " " +
                                std::string(c.published).substr(8, 2) + ":" +
                                std::string(c.published).substr(10, 2) + ":" +
                                std::string(c.published).substr(12, 2);
            item.revision = c.revision;
            QueueStore::SavePublished(conn, item, c.published);
            if (c.irt[0] == '\0') {
                int patcp = std::string(c.userId) == "elec1" ? 3 : 4;
                ReviewRecords::SaveCommentDetail(conn, key, c.nm, patcp, 0, c.userId, "opener1", "",
                                                 0, c.published);
            }
        }
        // The initiator has already applied the first electrical comment.
        auto d = conn.Prepare(
            "INSERT INTO decisions(squrvwmno, rvwfileseq, cmnt_id, yesno, cmnt, contents, "
            "patcp_seq, repatcp_seq, user_id, decided_at) VALUES(?1,?2,?3,'Y',?4,'',1,0,"
            "'opener1','20261203080000')");
        d.Bind(1, kDemoReview)
            .Bind(2, kDemoFileSeq)
            .Bind(3, "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001");
        d.Bind(4, "Reroute accepted.").Run();
        auto st = conn.Prepare("INSERT INTO meta(key, value) VALUES('seed.demo', '1')");
        st.Run();
        return true;
    });
}

}  // namespace quillserver
