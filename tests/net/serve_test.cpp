// orvanta-cli serve: its answers beyond the list (covered with the list request) and its
// refusal of bad parameters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "net/list_request.h"
#include "support/net_servers.h"

namespace orv {
namespace {

int RunCli(const std::string& args) {
    std::string cmd = std::string(ORVANTA_BIN_DIR) + "/orvanta-cli " + args + " >/dev/null 2>&1";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(ServeTest, RefusesBadParameters) {
    test::TempDir root;
    EXPECT_EQ(RunCli("serve --root " + root.str() + " --port eighty"), 2);
    EXPECT_EQ(RunCli("serve --root " + root.str() + " --port 70000"), 2);
    EXPECT_EQ(RunCli("serve --root " + root.str()), 2);
    EXPECT_EQ(RunCli("serve --root " + root.file("missing") + " --port 0"), 2);
    EXPECT_EQ(RunCli("serve --help"), 0);
}

TEST(ServeTest, AnswersModesAndMissingFiles) {
    test::ClearProxyEnvironment();
    test::TempDir root;
    std::ofstream(root.file("4.pckt")) << "four";
    test::ServeProcess serve(root.str());
    auto get = [&](const std::string& query) {
        ListRequest r;
        r.url = serve.address() + "orvanta/updatesquery.php?" + query;
        try {
            return FetchList(r);
        } catch (const ListRequestError& e) {
            return e.Detail();
        }
    };
    EXPECT_EQ(get("client=1&mode=4"), "four");
    EXPECT_EQ(get("client=1&mode=5"), "HTTP 404");
    EXPECT_EQ(get("client=1&mode=x"), "HTTP 400");
    EXPECT_EQ(get("client=1"), "HTTP 400");
    EXPECT_EQ(get("mode=0"), "4 4\r\n");
}

}  // namespace
}  // namespace orv
