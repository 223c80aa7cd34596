// Ill-formed, hostile and oversized requests get a clear answer and leave the server serving;
// injected faults hit the chosen paths the chosen number of times; publishers race safely.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "queue_requests.h"

using namespace servertest;
using testsupport::ReviewServerProcess;

namespace {

bool StillServes(const ReviewServerProcess& s) {
    return s.Get("/Comm/revision.do?docId=1&rev=0&squrvwmno=1&rvwfileseq=1").body ==
           "{\"revno\":\"0\"}";
}

void SendRaw(int port, const std::string& bytes) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        char buf[256];
        timeval tv{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        (void)!::recv(fd, buf, sizeof buf, 0);
    }
    ::close(fd);
}

int ErrorCode(const std::string& body) {
    auto json = ParseJson(body);
    return json.isObject() && json.isMember("errorCode") ? json["errorCode"].asInt() : 0;
}

}  // namespace

TEST(ServerRobustness, IllFormedRequestsGetAnErrorReply) {
    ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();
    EXPECT_EQ(
        ErrorCode(server.Get("/Comm/revision.do?docId=1&rev=x&squrvwmno=1&rvwfileseq=1").body),
        102);
    EXPECT_EQ(
        ErrorCode(
            server.Get("/Comm/revision.do?docId=1&rev=99999999999&squrvwmno=1&rvwfileseq=1").body),
        102);
    EXPECT_EQ(ErrorCode(server.Get("/Comm/publish.do?userid=a").body), 101);
    EXPECT_EQ(ErrorCode(server.Get("/Comm/update.do?CMD=UPDATE&docId=10011").body), 101);
    EXPECT_EQ(ErrorCode(server.Get("/Comm/update.do?CMD=OTHER&docId=10011&rev=0").body), 103);
    EXPECT_EQ(ErrorCode(server
                            .Get("/Comm/"
                                 "finish.do?squrvwmno=1&rvwfileseq=1&patcpseq=1&repatcpseq=0&"
                                 "userid=u&cmnt=&finish=")
                            .body),
              101);
    EXPECT_EQ(
        ErrorCode(
            server
                .Get(
                    "/Comm/"
                    "cmntDtl.do?squrvwmno=1&patcpseq=1&repatcpseq=0&userid=u&rvwfileseq=1&cmntid=" +
                    std::string(300, 'x') + "&cmnt=")
                .body),
        105);
    EXPECT_EQ(server.Get("/Comm/nothing.do").status, 404);
    EXPECT_EQ(server.Get("/Comm/download.do?file=..%2F..%2Fetc%2Fpasswd").status, 404);
    EXPECT_EQ(server.Get("/Comm/download.do?file=missing.pdf").status, 404);

    // Autosave errors keep the {"r": opening so that the client reads the server's message.
    Change bad = Item("N", "short");
    auto reply = Send(server, bad);
    EXPECT_EQ(reply.body.rfind("{\"r\":-1,", 0), 0u) << reply.body;
    EXPECT_EQ(ErrorCode(reply.body), 104);
    std::string lying = Blob(Annot("N", 0));
    lying[0] = '\x7F';  // content length beyond the blob
    EXPECT_EQ(ErrorCode(Send(server, Item("N", lying)).body), 104);
    EXPECT_EQ(ErrorCode(Send(server, Item("N", Blob(Annot("N", 0)), 7)).body), 103);
    EXPECT_EQ(ErrorCode(Send(server, Item("N", "", 3)).body), 101);  // move without target page
    EXPECT_EQ(ErrorCode(server.Post("/Comm/autoSave.do", "%%%&&&==&docId&x=%ZZ").body), 101);
    EXPECT_EQ(ErrorCode(server.Post("/Comm/autoSave.do", "").body), 101);
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=10011&userId=reviewer1").body, "0");

    SendRaw(server.port(), "GARBAGE\r\n\r\n");
    SendRaw(server.port(), std::string("\0\xff\x01\x02", 4));
    SendRaw(server.port(),
            "GET /Comm/revision.do?" + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n");
    SendRaw(server.port(),
            "POST /Comm/autoSave.do HTTP/1.1\r\nContent-Length: 100\r\n\r\nCMD=AUTO");
    EXPECT_TRUE(StillServes(server));
}

TEST(ServerRobustness, OversizedBodiesAreRefused) {
    ReviewServerProcess server;
    ReviewServerProcess::Options options;
    options.extraArgs = {"--max-body", "1"};
    ASSERT_TRUE(server.Start(options)) << server.error();
    std::string blob = Blob(Annot("N", 0), "", std::string(2 * 1024 * 1024, 'A'));
    auto reply = Send(server, Item("N", blob));
    // Refused before the body is read: the client sees the server's message.
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(ErrorCode(reply.body), 105);
    EXPECT_EQ(reply.headers["connection"], "close");
    EXPECT_TRUE(StillServes(server));
    EXPECT_EQ(server.Get("/Comm/checkautosaved.do?docId=10011&userId=reviewer1").body, "0");
}

TEST(ServerRobustness, FaultsHitTheChosenPathTheChosenNumberOfTimes) {
    ReviewServerProcess server;
    ReviewServerProcess::Options options;
    options.faults = {"status:/Comm/publish.do:503@2"};
    ASSERT_TRUE(server.Start(options)) << server.error();
    const std::string publish = "/Comm/publish.do?userid=u&docid=1";
    EXPECT_EQ(server.Get(publish).status, 503);
    EXPECT_EQ(server.Get(publish).status, 503);
    EXPECT_EQ(server.Get(publish).body, "0");

    ASSERT_TRUE(server.AddFault("drop:/Comm/update.do"));
    ASSERT_TRUE(server.AddFault("garbage:/Comm/revision.do@1"));
    ASSERT_TRUE(server.AddFault("delay:/Comm/cmntuser.do:50@*"));
    EXPECT_EQ(server.Get("/Comm/update.do?docId=1&rev=0").status, -1);
    EXPECT_EQ(server.Get("/Comm/update.do?docId=1&rev=0").body, "{\"docQ\":[]}");
    auto garbage = server.Get("/Comm/revision.do?docId=1&rev=0&squrvwmno=1&rvwfileseq=1");
    EXPECT_EQ(garbage.status, 200);
    EXPECT_EQ(garbage.body.find("{\"revno\":"), std::string::npos);
    EXPECT_TRUE(StillServes(server));
    EXPECT_EQ(server.Get("/Comm/cmntuser.do?squrvwmno=1&rvwfileseq=1&sitecd=").body,
              "{\"cmnt\":[]}");
    EXPECT_NE(server.Get("/__faults").body.find("delay /Comm/cmntuser.do -1 50"),
              std::string::npos);
    ASSERT_TRUE(server.ClearFaults());
    EXPECT_EQ(server.Get("/__faults").body, "");

    // The content store's own paths take faults too.
    ASSERT_TRUE(server.AddFault("status:/ecm/connect:500"));
    EXPECT_EQ(testsupport::LoopbackPost(server.ecmPort(), "/ecm/connect?userId=u", "").status, 500);
    EXPECT_EQ(testsupport::LoopbackPost(server.ecmPort(), "/ecm/connect?userId=u", "").status, 200);
    EXPECT_EQ(server.Post("/__faults?rule=" + testsupport::UrlEncode("melt:/x"), "").status, 400);
}

TEST(ServerRobustness, ConcurrentPublishersGetDistinctRevisions) {
    ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();
    constexpr int kUsers = 6, kItems = 15, kRounds = 3;
    std::vector<std::thread> threads;
    std::vector<std::vector<int>> revisions(kUsers);
    for (int u = 0; u < kUsers; ++u) {
        threads.emplace_back([&, u] {
            std::string user = "user" + std::to_string(u);
            for (int round = 0; round < kRounds; ++round) {
                for (int i = 0; i < kItems; ++i) {
                    std::string nm = user + "-" + std::to_string(round) + "-" + std::to_string(i);
                    Send(server, Item(nm, Blob(Annot(nm, 0)), 0, user));
                }
                auto r = server.Get("/Comm/publish.do?userid=" + user + "&docid=10011");
                revisions[u].push_back(std::atoi(r.body.c_str()));
            }
        });
    }
    for (auto& t : threads) t.join();
    std::set<int> seen;
    for (const auto& list : revisions)
        for (int r : list) EXPECT_TRUE(seen.insert(r).second) << "revision " << r << " given twice";
    EXPECT_EQ(seen.size(), static_cast<size_t>(kUsers * kRounds));
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), kUsers * kRounds);

    auto items = ParseJson(server.Get("/Comm/update.do?docId=10011&rev=0").body)["docQ"];
    ASSERT_EQ(items.size(), static_cast<Json::ArrayIndex>(kUsers * kItems * kRounds));
    // Every publish holds exactly one user's items of one round.
    std::map<int, std::set<std::string>> usersPerRevision;
    std::map<int, int> itemsPerRevision;
    int last = 0;
    for (const auto& item : items) {
        int rev = item["REVISION_NO"].asInt();
        EXPECT_GE(rev, last);
        last = rev;
        usersPerRevision[rev].insert(item["USER_ID"].asString());
        ++itemsPerRevision[rev];
    }
    for (const auto& [rev, users] : usersPerRevision) {
        EXPECT_EQ(users.size(), 1u);
        EXPECT_EQ(itemsPerRevision[rev], kItems);
    }
}
