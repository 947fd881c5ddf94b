// The libcurl client: its description for the shared client suite
// (http_client_contract_test.cpp), and what only it is checked for.
#include "http_client_contract.h"
#include "test_http_server.h"
#include "worker_fakes.h"

#include "web/http_module.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <tuple>
#include <unistd.h>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;

    void NoProxy()
    {
        for (const char* name :
            { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY" })
            ::unsetenv(name);
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);
    }

    const HttpVariant kCurl {
        .reset = NoProxy,
        .use_proxy =
            [](const std::string& proxy) {
                ::setenv("http_proxy", ("http://" + proxy).c_str(), 1);
                return std::shared_ptr<void>(nullptr, [](void*) { ::unsetenv("http_proxy"); });
            },
        .local_files = { "file:///etc/passwd", "FILE:///etc/hostname" },
        // A port bound and let go again without listening: nobody takes it
        // (httplib's probe server kept its socket listening, so the request
        // stalled instead of being refused).
        .closed_port =
            [] {
                const int s = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in addr {};
                addr.sin_family = AF_INET;
                addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                socklen_t len = sizeof addr;
                ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
                ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
                ::close(s);
                return static_cast<int>(ntohs(addr.sin_port));
            },
        .honours_stall_limit = true,
        .stall_timeout_ms = 300,
        .asks_for_gzip = true,
        .reload_sends_cache_control = true,
    };

    INSTANTIATE_TEST_SUITE_P(Curl, HttpClientContract, ::testing::Values(&kCurl),
        [](const auto&) { return std::string("curl"); });

    // The program ends with quick_exit while a worker waits inside libcurl
    // for a server that never answers.
    TEST(CurlClient, TheProcessEndsPromptlyWhileARequestHangs)
    {
        NoProxy();
        // Workers of earlier tests may still be about: start the child afresh.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                auto* server
                    = new TestHttpServer([](const RecordedRequest&, httplib::Response& res) {
                          std::this_thread::sleep_for(std::chrono::seconds(30));
                          res.set_content("late", "text/plain");
                      });
                auto* state = new SharedState;
                state->CurrentKey = "20030301";
                state->Paths = WorkPaths::InFolder("/nonexistent-folder/");
                WorkerServices services;
                ThreadWorkerStarter(*state, services)
                    .StartWorker(RunKind::Photo, server->Url("/slow.jpg"));
                WaitFor([&] { return !server->Requests().empty(); });
                std::quick_exit(7);
            },
            ::testing::ExitedWithCode(7), "");
    }

    // The client is loaded with the first session; a module that cannot be
    // loaded must fail as a request that failed: nothing is sent, every read
    // gives 0 bytes, and a photo run ends as for an address that cannot be
    // opened (here: the real client and an address without a scheme).
    TEST(CurlClient, AModuleThatCannotBeLoadedFailsAsARequestThatFailed)
    {
        NoProxy();
        TestHttpServer server([](const RecordedRequest&, httplib::Response& res) {
            res.set_header("Connection", "close");
            res.set_content(Body(3000), "image/jpeg");
        });
        auto photo_run = [](auto open_session, const std::string& url) {
            WorkerRig rig;
            rig.state.CurrentKey = "20030301";
            rig.services.open_session = open_session;
            WriteFileBytes(rig.state.Paths.photo, "old photo");
            rig.Run(RunKind::Photo, url);
            return std::tuple(rig.main.Texts(), ReadFileBytes(rig.state.Paths.photo),
                rig.state.ImageReady.load());
        };
        const auto refused = photo_run([] { return OpenInternetSession(); }, "20030301.jpg");
        ASSERT_EQ(std::get<1>(refused), "");

        const TempFolder folder;
        WriteFileBytes(folder.Dir() + "text.so", "not a library");
        for (const std::string& module : { folder.Dir() + "missing.so", folder.Dir() + "text.so",
                 std::string("libm.so.6") /* no entry point */ }) {
            SCOPED_TRACE(module);
            Drained d
                = Drain(OpenModuleSession(module, {})->OpenUrl(server.Url("/x.jpg"), false).get());
            EXPECT_EQ(d.reads, std::vector<std::uint32_t> { 0 });
            EXPECT_EQ(
                photo_run([module] { return OpenModuleSession(module, {}); }, server.Url("/x.jpg")),
                refused);
        }
        EXPECT_TRUE(server.Requests().empty());
        // The module found where the program looks for it does fetch.
        EXPECT_EQ(
            Drain(OpenModuleSession(kHttpModule, {})->OpenUrl(server.Url("/x.jpg"), false).get())
                .body,
            Body(3000));
    }

} // namespace
} // namespace tarvenia
