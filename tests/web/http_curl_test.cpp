// The libcurl client, and the worker on top of it, against a server on
// loopback.
#include "test_http_server.h"
#include "worker_fakes.h"

#include "base/texts.h"
#include "protocol/addresses.h"
#include "protocol/daily_response.h"
#include "web/http_client.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;
    using Clock = std::chrono::steady_clock;

    class ClientTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            for (const char* name : { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY",
                     "all_proxy", "ALL_PROXY" })
                ::unsetenv(name);
            ::setenv("no_proxy", "127.0.0.1,localhost", 1);
        }
        void TearDown() override { ::unsetenv("http_proxy"); }
    };

    Drained Fetch(const std::string& url, const HttpLimits& limits = {}, bool reload = false)
    {
        auto session = OpenInternetSession(limits);
        auto request = session->OpenUrl(url, reload);
        return Drain(request.get());
    }

    // Every read is full except the last one or two (the rest, then 0).
    void ExpectFullReads(const Drained& d)
    {
        ASSERT_FALSE(d.reads.empty());
        EXPECT_EQ(d.reads.back(), 0u);
        for (std::size_t i = 0; i + 2 < d.reads.size(); ++i)
            ASSERT_EQ(d.reads[i], 1024u) << "read " << i;
        for (auto n : d.reads)
            ASSERT_LE(n, 1024u);
    }

    std::string Text(std::size_t size)
    {
        std::string s;
        while (s.size() < size)
            s += "20030305" + std::to_string(s.size() % 10)
                + "Amanecer en el valle de la monta\xF1"
                  "a\r\n";
        s.resize(size);
        return s;
    }

    TEST_F(ClientTest, BodiesArriveInFullReadsOfAtMost1024Bytes)
    {
        struct Case {
            const char* name;
            std::string body;
            std::function<void(const std::string&, httplib::Response&)> serve;
            bool compressed;
        } cases[] = {
            { "plain 2500", Body(2500),
                [](const std::string& b, httplib::Response& res) {
                    res.set_content(b, "image/jpeg");
                },
                false },
            { "chunked in odd pieces", Body(50000),
                [](const std::string& b, httplib::Response& res) {
                    res.set_chunked_content_provider(
                        "image/jpeg", [b](std::size_t offset, httplib::DataSink& sink) {
                            std::size_t n = std::min<std::size_t>(3001, b.size() - offset);
                            sink.write(b.data() + offset, n);
                            if (offset + n == b.size())
                                sink.done();
                            return true;
                        });
                },
                false },
            { "gzip text", Text(300000),
                [](const std::string& b, httplib::Response& res) {
                    res.set_content(b, "text/plain");
                },
                true },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            TestHttpServer server(
                [&](const RecordedRequest&, httplib::Response& res) { c.serve(c.body, res); });
            Drained d = Fetch(server.Url("/x"));
            EXPECT_EQ(d.body.size(), c.body.size());
            EXPECT_TRUE(d.body == c.body);
            ExpectFullReads(d);
            if (c.compressed) {
                auto requests = server.Requests();
                ASSERT_EQ(requests.size(), 1u);
                EXPECT_NE(requests[0].Header("Accept-Encoding").find("gzip"), std::string::npos);
            }
        }
    }

    // Servers that misbehave: the request ends with what arrived, and
    // promptly.
    TEST_F(ClientTest, BrokenOrHostileAnswersEndWithWhatArrived)
    {
        HttpLimits short_limits;
        short_limits.connect_timeout_ms = 2000;
        short_limits.stall_timeout_ms = 300;
        short_limits.max_body_bytes = 5000;
        const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";

        struct Case {
            const char* name;
            std::string path;
            std::string expected;
        } cases[] = {
            { "error page", "/missing.jpg", page },
            { "cut mid-way", "/cut", Body(3000) },
            { "stalled body", "/stall", Body(100) },
            { "stalled before the headers", "/silent", "" },
            { "beyond the size cap", "/huge", Body(20000).substr(0, 5000) },
            { "redirect followed", "/moved", "moved here" },
            { "redirect to a local file", "/to-file", "" },
            { "redirect to ftp", "/to-ftp", "" },
        };
        TestHttpServer* self = nullptr;
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            auto wait_a_while = [&] {
                auto end = Clock::now() + std::chrono::seconds(3);
                while (!self->stopping && Clock::now() < end)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            };
            if (r.path == "/missing.jpg") {
                res.status = 404;
                res.set_content(page, "text/html");
            } else if (r.path == "/cut" || r.path == "/stall") {
                bool stall = r.path == "/stall";
                res.set_content_provider(10000, "image/jpeg",
                    [=](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                        if (offset == 0) {
                            std::string part = Body(stall ? 100 : 3000);
                            sink.write(part.data(), part.size());
                            return true;
                        }
                        if (stall)
                            wait_a_while();
                        return false; // drops the connection
                    });
            } else if (r.path == "/silent") {
                wait_a_while();
                res.set_content("late", "text/plain");
            } else if (r.path == "/huge") {
                res.set_content(Body(20000), "image/jpeg");
            } else if (r.path == "/moved") {
                res.set_redirect("/here");
            } else if (r.path == "/here") {
                res.set_content("moved here", "text/plain");
            } else if (r.path == "/to-file") {
                res.set_redirect("file:///etc/passwd");
            } else if (r.path == "/to-ftp") {
                res.set_redirect("ftp://127.0.0.1:1/x");
            }
        });
        self = &server;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            auto start = Clock::now();
            Drained d = Fetch(server.Url(c.path), short_limits);
            EXPECT_TRUE(d.body == c.expected) << d.body.size() << " bytes";
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));
            ExpectFullReads(d);
        }
    }

    TEST_F(ClientTest, OnlyHttpAddressesAreFetched)
    {
        HttpLimits limits;
        limits.connect_timeout_ms = 2000;
        limits.stall_timeout_ms = 1000;
        // A listening socket that is closed again leaves a port nobody takes.
        int closed_port;
        {
            httplib::Server probe;
            closed_port = probe.bind_to_any_port("127.0.0.1");
        }
        for (std::string url :
            { std::string("file:///etc/passwd"), std::string("FILE:///etc/hostname"),
                std::string("ftp://127.0.0.1:1/x"), std::string("gopher://127.0.0.1:1/"),
                std::string(""), "http://127.0.0.1:" + std::to_string(closed_port) + "/x.jpg" }) {
            SCOPED_TRACE(url);
            auto start = Clock::now();
            Drained d = Fetch(url, limits);
            EXPECT_EQ(d.body, "");
            EXPECT_EQ(d.reads, std::vector<std::uint32_t> { 0 });
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));
        }
    }

    // Addresses without a scheme never leave the program, also where a proxy
    // would take them: libcurl would complete them to http://HOST/. The photo
    // run then ends as for an address that cannot be opened: an empty photo
    // file and the flag raised.
    TEST_F(ClientTest, AddressesWithoutASchemeAreRefusedAlsoThroughAProxy)
    {
        TestHttpServer proxy([](const RecordedRequest&, httplib::Response& res) {
            res.set_content("<html>proxy error</html>", "text/html");
        });
        ::setenv("http_proxy", proxy.Url("").c_str(), 1);
        ::unsetenv("no_proxy");

        // A stray ">" before the first token gives an empty token at index 0.
        std::string key, selected;
        std::vector<std::string> bases;
        ParseDailyResponse("20030305>x<http://fotos1.tarvenia.example/>", key, selected, bases);
        ASSERT_EQ(bases.size(), 2u);
        const std::string from_empty_token = PhotoAddress(bases, "0", "20030301");
        ASSERT_EQ(from_empty_token, "20030301.jpg");

        TempFolder dir;
        SharedState state;
        state.Paths = WorkPaths::InFolder(dir.Dir());
        state.CurrentKey = "20030305";
        StatusRecorder main;
        WorkerServices services = main.Services("20030305");
        for (std::string url : { from_empty_token, std::string("fotos1.tarvenia.example/x.jpg"),
                 std::string("//fotos1.tarvenia.example/x.jpg"), std::string("http:/x.jpg"),
                 std::string(" http://fotos1.tarvenia.example/x.jpg"),
                 std::string("httpx://fotos1.tarvenia.example/x.jpg") }) {
            SCOPED_TRACE(url);
            std::ofstream(state.Paths.photo, std::ios::binary) << "old photo";
            state.ImageReady = false;
            TVaziDovThread worker(state, services);
            worker.Url = url;
            worker.Execute();
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_EQ(ReadFileBytes(state.Paths.photo), "");
        }
        EXPECT_TRUE(proxy.Requests().empty());
        // The same proxy does carry a proper address (the test sees it work).
        Drained d = Fetch("http://fotos1.tarvenia.example/x.jpg");
        EXPECT_EQ(d.body, "<html>proxy error</html>");
        EXPECT_EQ(proxy.Requests().size(), 1u);
    }

    // What each run sends, through a proxy (the service's own host name is
    // fetched unchanged) and directly.
    TEST_F(ClientTest, EachRunSendsItsRequestWithTheRightHeaders)
    {
        const std::string photo = Body(2500, 9);
        const std::string catalog = Text(3000);
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            if (r.path.rfind("/cgi-bin/avui.cgi?", 0) == 0)
                res.set_content("20030305<http://fotos1.tarvenia.example/fotos/>\r\n"
                                "<http://fotos2.tarvenia.example/archivo/>\r\n",
                    "text/plain");
            else if (r.path == "/quindelar/esp/quindelar2.qdl")
                res.set_content(catalog, "text/plain");
            else if (r.path.find(".jpg") != std::string::npos)
                res.set_content(photo, "image/jpeg");
            else
                res.set_content("ok", "text/plain");
        });
        TempFolder dir;
        SharedState state;
        state.Paths = WorkPaths::InFolder(dir.Dir());
        StatusRecorder main;
        WorkerServices services = main.Services("20030305");
        auto run = [&](const std::string& url) {
            TVaziDovThread worker(state, services);
            worker.Url = url;
            worker.Execute();
        };

        ::setenv("http_proxy", server.Url("").c_str(), 1);
        run(ServiceBaseAddress());
        ASSERT_TRUE(state.CatalogReady.load());
        ASSERT_EQ(state.BaseUrls.size(), 2u);
        EXPECT_EQ(ReadFileBytes(state.Paths.catalog), catalog);
        run(state.BaseUrls[0] + "20030301.jpg");
        EXPECT_TRUE(state.ImageReady.load());
        EXPECT_EQ(ReadFileBytes(state.Paths.photo), photo);
        state.ConfirmPending = true;
        run(ConfirmationAddress("20030305"));
        ::unsetenv("http_proxy");
        state.ImageReady = false;
        run(server.Url("/fotos/20030302.jpg"));
        EXPECT_TRUE(state.ImageReady.load());

        struct Expect {
            std::string target;
            std::string host;
            bool no_cache;
        } expected[] = {
            { "http://imagenes.tarvenia.example/cgi-bin/avui.cgi?20030305",
                "imagenes.tarvenia.example", true },
            { "http://imagenes.tarvenia.example/quindelar/esp/quindelar2.qdl",
                "imagenes.tarvenia.example", true },
            { "http://fotos1.tarvenia.example/fotos/20030301.jpg", "fotos1.tarvenia.example",
                false },
            { "http://imagenes.tarvenia.example/cgi-bin/fotos.cgi?20030305",
                "imagenes.tarvenia.example", true },
            { "/fotos/20030302.jpg", "127.0.0.1:" + std::to_string(server.Port()), false },
        };
        auto requests = server.Requests();
        ASSERT_EQ(requests.size(), std::size(expected));
        for (std::size_t i = 0; i < requests.size(); ++i) {
            SCOPED_TRACE(expected[i].target);
            EXPECT_EQ(requests[i].target, expected[i].target);
            EXPECT_EQ(requests[i].host, expected[i].host);
            EXPECT_EQ(requests[i].Header("User-Agent"), texts::kUserAgent);
            EXPECT_EQ(requests[i].Has("Cache-Control"), expected[i].no_cache);
            EXPECT_EQ(requests[i].Has("Pragma"), expected[i].no_cache);
            if (expected[i].no_cache) {
                EXPECT_EQ(requests[i].Header("Cache-Control"), "no-cache");
                EXPECT_EQ(requests[i].Header("Pragma"), "no-cache");
            }
        }
    }

    // The worker keeps what came when an answer is not a photo or breaks off.
    TEST_F(ClientTest, PhotoRunsStoreWhatTheServerSent)
    {
        const std::string page = "<html><h1>404 Not Found</h1></html>";
        HttpLimits limits;
        limits.stall_timeout_ms = 300;
        struct Case {
            const char* path;
            std::string expected;
        } cases[] = {
            { "/missing.jpg", page },
            { "/cut.jpg", Body(3000) },
            { "/long.jpg", Body(9000) },
            { "/short.jpg", Body(10) },
        };
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            if (r.path == "/missing.jpg") {
                res.status = 404;
                res.set_content(page, "text/html");
            } else if (r.path == "/cut.jpg") {
                res.set_content_provider(9000, "image/jpeg",
                    [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                        if (offset > 0)
                            return false;
                        std::string part = Body(3000);
                        sink.write(part.data(), part.size());
                        return true;
                    });
            } else {
                res.set_content(r.path == "/long.jpg" ? Body(9000) : Body(10), "image/jpeg");
            }
        });
        TempFolder dir;
        SharedState state;
        state.Paths = WorkPaths::InFolder(dir.Dir());
        state.CurrentKey = "20030301";
        WorkerServices services;
        services.open_session = [limits] { return OpenInternetSession(limits); };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.path);
            state.ImageReady = false;
            TVaziDovThread worker(state, services);
            worker.Url = server.Url(c.path);
            worker.Execute();
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_TRUE(ReadFileBytes(state.Paths.photo) == c.expected);
        }
    }

    // The program ends with quick_exit while a worker waits inside libcurl
    // for a server that never answers.
    TEST_F(ClientTest, TheProcessEndsPromptlyWhileARequestHangs)
    {
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
                ThreadWorkerStarter(*state, services).StartWorker(server->Url("/slow.jpg"));
                WaitFor([&] { return !server->Requests().empty(); });
                std::quick_exit(7);
            },
            ::testing::ExitedWithCode(7), "");
    }

} // namespace
} // namespace tarvenia
