// The list request against real servers on 127.0.0.1: orvanta-cli serve, scripted answers and
// tinyproxy asking for credentials.
#include <gtest/gtest.h>

#include <fstream>

#include "net/list_request.h"
#include "net/net_texts.h"
#include "net/server_address.h"
#include "support/net_servers.h"

namespace orv {
namespace {

using test::ScriptedServer;

class ListRequestTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::ClearProxyEnvironment(); }
    static ListRequest Request(const std::string& address) {
        ListRequest r;
        r.url = address + ListRequestPath("c1");
        r.timeouts.connectSeconds = 5;
        r.timeouts.floorSeconds = 1;
        return r;
    }
    static std::string FailureDetail(const ListRequest& r) {
        try {
            FetchList(r);
        } catch (const ListRequestError& e) {
            EXPECT_STREQ(e.what(), kServerConnectionFailed);
            return e.Detail();
        }
        ADD_FAILURE() << "the request did not fail";
        return {};
    }
    void AddPacket(int n, size_t size) {
        std::ofstream(root_.file(std::to_string(n) + ".pckt")) << std::string(size, 'x');
    }
    test::TempDir root_;
};

TEST_F(ListRequestTest, ServeListsPacketsInNumericOrder) {
    AddPacket(12, 3456);
    AddPacket(3, 10);
    AddPacket(100, 0);
    std::ofstream(root_.file("upd.pckt")) << "partial";
    std::ofstream(root_.file("012.pckt")) << "odd name";
    test::ServeProcess serve(root_.str());
    EXPECT_EQ(FetchList(Request(serve.address())), "3 10\r\n12 3456\r\n100 0\r\n");
    EXPECT_EQ(CheckNewestPacket(serve.address(), {}), 100);
}

TEST_F(ListRequestTest, SendsTheFixedHeadersAndNoCookies) {
    ScriptedServer server(ScriptedServer::Answer(200, "1 5\r\n"));
    EXPECT_EQ(FetchList(Request(server.address())), "1 5\r\n");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& r = requests[0];
    EXPECT_EQ(r.rfind("GET /orvanta/updatesquery.php?client=c1&mode=0 HTTP/1.1\r\n", 0), 0u) << r;
    for (const char* h :
         {"Accept: */*\r\n", "Accept-Language: ru\r\n",
          "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)\r\n",
          "Connection: Keep-Alive\r\n", "Content-Type: application/octet-stream\r\n"}) {
        EXPECT_NE(r.find(h), std::string::npos) << h;
    }
    EXPECT_EQ(r.find("Cookie"), std::string::npos);
}

TEST_F(ListRequestTest, FailuresAreConnectionErrors) {
    {
        ScriptedServer server(ScriptedServer::Answer(500, "oops"));
        EXPECT_EQ(FailureDetail(Request(server.address())), "HTTP 500");
        EXPECT_EQ(CheckNewestPacket(server.address(), {}), 0);
    }
    {
        ScriptedServer server(ScriptedServer::Answer(404, ""));
        EXPECT_EQ(FailureDetail(Request(server.address())), "HTTP 404");
    }
    {
        // Nobody listens.
        std::string address = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/";
        EXPECT_FALSE(FailureDetail(Request(address)).empty());
        EXPECT_EQ(CheckNewestPacket(address, {}), 0);
    }
    {
        // Headers, then silence: the stall time-out ends it.
        ScriptedServer server(ScriptedServer::Answer(200, "1 5", 100), true);
        EXPECT_FALSE(FailureDetail(Request(server.address())).empty());
    }
    {
        // Two bytes a second never trip a stall limit; the floor speed ends it.
        ScriptedServer server(ScriptedServer::Answer(200, std::string(2000, '1')), false, 500);
        EXPECT_NE(FailureDetail(Request(server.address())).find("слишком медленно"),
                  std::string::npos);
        const NewestCheck check = CheckNewest(server.address(), {}, Request("").timeouts);
        EXPECT_EQ(check.newest, 0);
        EXPECT_NE(check.failure.find("слишком медленно"), std::string::npos) << check.failure;
    }
    {
        // Fast enough for the floor, too slow for the deadline.
        ScriptedServer server(ScriptedServer::Answer(200, std::string(2000, '1')), false, 20);
        ListRequest r = Request(server.address());
        r.timeouts.floorBytes = 10;
        r.timeouts.overallSeconds = 1;
        EXPECT_NE(FailureDetail(r).find("не завершился за 1 с"), std::string::npos);
    }
    {
        // A garbage answer fails the start-up check, saying what came.
        ScriptedServer server(ScriptedServer::Answer(200, "<html>Not here</html>"));
        const NewestCheck check = CheckNewest(server.address(), {}, Request("").timeouts);
        EXPECT_EQ(check.newest, 0);
        EXPECT_NE(check.failure.find("«<html>Not here</html>»"), std::string::npos)
            << check.failure;
    }
    {
        // Cut short.
        ScriptedServer server(ScriptedServer::Answer(200, "1 5\r\n2 ", 100));
        EXPECT_FALSE(FailureDetail(Request(server.address())).empty());
    }
    {
        ScriptedServer server(ScriptedServer::Answer(200, std::string(5000, '7')));
        ListRequest r = Request(server.address());
        r.maxBytes = 4096;
        EXPECT_NE(FailureDetail(r).find("4096"), std::string::npos);
    }
}

TEST_F(ListRequestTest, ProgressSeesTheBytesAndCanAbort) {
    ScriptedServer server(ScriptedServer::Answer(200, std::string(512, '1')));
    ListRequest r = Request(server.address());
    std::int64_t last = 0;
    r.onProgress = [&](std::int64_t received) {
        last = received;
        return true;
    };
    EXPECT_EQ(FetchList(r).size(), 512u);
    EXPECT_EQ(last, 512);
    EXPECT_EQ(ListProgressText(512, 0), "512/0 байт ");

    r.onProgress = [](std::int64_t) { return false; };
    EXPECT_EQ(FailureDetail(r), kAbortedByUser);
}

TEST_F(ListRequestTest, ThroughAProxyWithCredentials) {
    AddPacket(1, 5);
    test::ServeProcess serve(root_.str());
    test::TinyProxy proxy(root_);
    ListRequest r = Request(serve.address());
    r.proxy.use = true;
    r.proxy.host = "127.0.0.1";
    r.proxy.port = std::to_string(proxy.port());
    r.proxy.login = "user";
    r.proxy.pass = "secret";
    EXPECT_EQ(FetchList(r), "1 5\r\n");

    r.proxy.pass = "wrong";
    EXPECT_EQ(FailureDetail(r), "HTTP 401");  // tinyproxy's answer to wrong credentials
    r.proxy.login = "";                       // no credentials at all
    EXPECT_EQ(FailureDetail(r), "HTTP 407");
    r.proxy.port = "80a";
    EXPECT_NE(FailureDetail(r).find("80a"), std::string::npos);
    EXPECT_EQ(CheckNewestPacket(serve.address(), r.proxy), 0);
}

TEST_F(ListRequestTest, NoProxyCredentialsBeforeTheProxyAsks) {
    // A scripted proxy that always refuses: the first request must come without credentials,
    // the retry with them.
    ScriptedServer proxy(
        "HTTP/1.1 407 Auth\r\nProxy-Authenticate: Basic realm=\"x\"\r\nContent-Length: 0\r\n"
        "Connection: close\r\n\r\n");
    ListRequest r = Request("http://127.0.0.1:9/");
    r.proxy = {true, "127.0.0.1", std::to_string(proxy.port()), "user", "secret"};
    FailureDetail(r);
    auto requests = proxy.Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].find("Proxy-Authorization"), std::string::npos) << requests[0];
    EXPECT_NE(requests[1].find("Proxy-Authorization: Basic"), std::string::npos) << requests[1];
}

}  // namespace
}  // namespace orv
