// The platform's HTTP client, and the worker on top of it, against servers
// on loopback: what every client promises (http_client.h), run once per
// client through the HttpVariant its platform's test file instantiates.
#include "http_client_contract.h"
#include "test_http_server.h"
#include "worker_fakes.h"

#include "base/texts.h"
#include "protocol/addresses.h"
#include "protocol/daily_response.h"
#include "web/http_client.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <set>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;
    using Clock = std::chrono::steady_clock;

    // Answers close their connection, so that a server's end does not wait
    // for a connection a client keeps for later.
    void Once(httplib::Response& res) { res.set_header("Connection", "close"); }

    // Reloads by default: WinInet keeps a disk cache, and the servers of
    // consecutive cases may get the same port.
    Drained Fetch(const std::string& url, const HttpLimits& limits = {}, bool reload = true)
    {
        auto session = OpenInternetSession(limits);
        auto request = session->OpenUrl(url, reload);
        return Drain(request.get());
    }

    // Every read is full except the last one or two (the rest, then 0),
    // also for chunked and compressed bodies.
    void ExpectFullReads(const Drained& d)
    {
        ASSERT_FALSE(d.reads.empty());
        EXPECT_EQ(d.reads.back(), 0u);
        for (auto n : d.reads)
            ASSERT_LE(n, 1024u);
        for (std::size_t i = 0; i + 2 < d.reads.size(); ++i)
            ASSERT_EQ(d.reads[i], 1024u) << "read " << i;
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

    TEST_P(HttpClientContract, BodiesArriveWholeInReadsOfAtMost1024Bytes)
    {
        enum class Serve { plain, chunked, text };
        struct Case {
            const char* name;
            std::string body;
            Serve serve;
            std::vector<std::uint32_t> reads; // when exact
        } cases[] = {
            { "plain 2500", Body(2500), Serve::plain, { 1024, 1024, 452, 0 } },
            { "empty", "", Serve::plain, { 0 } },
            { "chunked in odd pieces", Body(50000, 3), Serve::chunked, {} },
            { "text, compressed where asked for", Text(300000), Serve::text, {} },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            TestHttpServer server([&](const RecordedRequest&, httplib::Response& res) {
                Once(res);
                if (c.serve == Serve::plain) {
                    res.set_content(c.body, "image/jpeg");
                } else if (c.serve == Serve::text) {
                    res.set_content(c.body, "text/plain");
                } else {
                    std::string b = c.body;
                    res.set_chunked_content_provider(
                        "image/jpeg", [b](std::size_t offset, httplib::DataSink& sink) {
                            std::size_t n = std::min<std::size_t>(3001, b.size() - offset);
                            sink.write(b.data() + offset, n);
                            if (offset + n == b.size())
                                sink.done();
                            return true;
                        });
                }
            });
            Drained d = Fetch(server.Url("/x.jpg"));
            EXPECT_EQ(d.body.size(), c.body.size());
            EXPECT_TRUE(d.body == c.body);
            ExpectFullReads(d);
            if (!c.reads.empty()) {
                EXPECT_EQ(d.reads, c.reads);
            }
            if (c.serve == Serve::text && Variant().asks_for_gzip) {
                auto requests = server.Requests();
                ASSERT_EQ(requests.size(), 1u);
                EXPECT_NE(requests[0].Header("Accept-Encoding").find("gzip"), std::string::npos);
            }
        }
    }

    TEST_P(HttpClientContract, TheAgentIsVaziDovAndReloadBypassesTheCache)
    {
        // Cacheable answers: only a reload is sure to reach the server again.
        TestHttpServer server([](const RecordedRequest&, httplib::Response& res) {
            Once(res);
            res.set_header("Cache-Control", "max-age=3600");
            res.set_header("Last-Modified", "Wed, 05 Mar 2003 10:00:00 GMT");
            res.set_content(Body(1500), "image/jpeg");
        });
        const std::string daily = server.Url("/cgi-bin/avui.cgi?20030305");
        const std::string photo = server.Url("/fotos/20030301.jpg");
        auto session = OpenInternetSession();
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(Drain(session->OpenUrl(daily, true).get()).body == Body(1500));
            EXPECT_TRUE(Drain(session->OpenUrl(photo, false).get()).body == Body(1500));
        }
        int daily_hits = 0;
        for (const auto& r : server.Requests()) {
            SCOPED_TRACE(r.target);
            EXPECT_EQ(r.Header("User-Agent"), texts::kUserAgent);
            if (r.path == "/cgi-bin/avui.cgi?20030305") {
                ++daily_hits;
                // A reload also tells the caches on the way to step aside.
                EXPECT_EQ(r.Header("Pragma"), "no-cache");
            }
        }
        EXPECT_EQ(daily_hits, 2);
    }

    // Servers that misbehave: the request ends with what arrived; a stall
    // ends at the client's own limit, while the server is still waiting.
    TEST_P(HttpClientContract, BrokenOrHostileAnswersEndWithWhatArrived)
    {
        HttpLimits limits;
        limits.connect_timeout_ms = 2000;
        limits.stall_timeout_ms = Variant().stall_timeout_ms;
        limits.max_body_bytes = 5000;
        const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
        // Where the client ignores its stall limit, the server's giving up
        // ends a stalled body, and a stall before the headers is not a case.
        const bool limit = Variant().honours_stall_limit;

        struct Case {
            const char* name;
            std::string path;
            std::string expected;
            bool stalls = false; // the client's limit must end it
            bool applies = true;
        } cases[] = {
            { "error page", "/missing.jpg", page },
            { "cut mid-way", "/cut", Body(3000) },
            { "stalled body", "/stall", Body(100), limit },
            { "stalled before the headers", "/silent", "", true, limit },
            { "beyond the size cap", "/huge", Body(20000).substr(0, 5000) },
            { "redirect followed", "/moved", "moved here" },
            { "redirect to a local file", "/to-file", "" },
            { "redirect to ftp", "/to-ftp", "" },
        };
        TestHttpServer* self = nullptr;
        std::mutex gave_up_mutex;
        std::set<std::string> gave_up; // paths whose wait ran out
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            // Far longer than every client's stall limit, and counted when
            // it is over, so that a test sees who ended the stall.
            // Takes the path by value: a content provider runs after this
            // handler has returned, when the request is gone.
            auto wait_a_while = [&self, &gave_up_mutex, &gave_up, path = r.path] {
                auto end = Clock::now() + std::chrono::seconds(8);
                while (!self->stopping && Clock::now() < end)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                std::lock_guard lock(gave_up_mutex);
                gave_up.insert(path);
            };
            Once(res);
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
                res.set_redirect(Variant().local_files.at(0));
            } else if (r.path == "/to-ftp") {
                res.set_redirect("ftp://127.0.0.1:1/x");
            }
        });
        self = &server;
        for (const auto& c : cases) {
            if (!c.applies)
                continue;
            SCOPED_TRACE(c.name);
            Drained d = Fetch(server.Url(c.path), limits);
            EXPECT_TRUE(d.body == c.expected) << d.body.size() << " bytes";
            if (c.stalls) {
                std::lock_guard lock(gave_up_mutex);
                EXPECT_EQ(gave_up.count(c.path), 0u) << "the server's giving up ended the stall";
            }
            ExpectFullReads(d);
        }
    }

    TEST_P(HttpClientContract, OnlyReachableWebAddressesAreFetched)
    {
        // Limits far beyond the bound below: an address that is refused must
        // end at once, not when a limit runs out.
        HttpLimits limits;
        limits.connect_timeout_ms = 60000;
        limits.stall_timeout_ms = 60000;
        std::vector<std::string> urls = Variant().local_files;
        for (std::string url : { "ftp://127.0.0.1:1/x", "gopher://127.0.0.1:1/", "" })
            urls.push_back(url);
        urls.push_back("http://127.0.0.1:" + std::to_string(Variant().closed_port()) + "/x.jpg");
        for (const auto& url : urls) {
            SCOPED_TRACE(url);
            auto start = Clock::now();
            Drained d = Fetch(url, limits, false);
            EXPECT_EQ(d.body, "");
            EXPECT_EQ(d.reads, std::vector<std::uint32_t> { 0 });
            EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
        }
    }

    // Addresses without a web scheme never leave the program, also where a
    // proxy would take them (libcurl would complete "KEY.jpg" to
    // http://KEY.jpg/). The photo run then ends as for an address that cannot
    // be opened: an empty photo file and the flag raised.
    TEST_P(HttpClientContract, AddressesWithoutASchemeAreRefusedAlsoThroughAProxy)
    {
        TestHttpServer proxy([](const RecordedRequest&, httplib::Response& res) {
            Once(res);
            res.set_content("<html>proxy error</html>", "text/html");
        });
        auto through = Variant().use_proxy("127.0.0.1:" + std::to_string(proxy.Port()));

        // A stray ">" before the first token gives an empty token at index 0.
        std::string key, selected;
        std::vector<std::string> bases;
        ParseDailyResponse("20030305>x<http://fotos1.tarvenia.example/>", key, selected, bases);
        ASSERT_EQ(bases.size(), 2u);
        const std::string from_empty_token = PhotoAddress(bases, "0", "20030301");
        ASSERT_EQ(from_empty_token, "20030301.jpg");

        WorkerRig rig;
        SharedState& state = rig.state;
        state.CurrentKey = "20030305";
        for (std::string url : { from_empty_token, std::string("fotos1.tarvenia.example/x.jpg"),
                 std::string("//fotos1.tarvenia.example/x.jpg"), std::string("http:/x.jpg"),
                 std::string(" http://fotos1.tarvenia.example/x.jpg"),
                 std::string("httpx://fotos1.tarvenia.example/x.jpg") }) {
            SCOPED_TRACE(url);
            std::ofstream(state.Paths.photo, std::ios::binary) << "old photo";
            state.ImageReady = false;
            rig.Run(RunKind::Photo, url);
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_EQ(ReadFileBytes(state.Paths.photo), "");
        }
        EXPECT_TRUE(proxy.Requests().empty());
        // The same proxy does carry a proper address (the test sees it work).
        Drained d = Fetch("http://fotos1.tarvenia.example/x.jpg", {}, false);
        EXPECT_EQ(d.body, "<html>proxy error</html>");
        EXPECT_EQ(proxy.Requests().size(), 1u);
    }

    // The worker's three runs through the system's proxy (the service's own
    // host names go to the proxy unchanged), then a photo fetched directly.
    TEST_P(HttpClientContract, EachRunSendsItsRequestWithTheRightHeaders)
    {
        const std::string photo = Body(2500, 9);
        const std::string catalog = Text(3000);
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            Once(res);
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
        WorkerRig rig;
        SharedState& state = rig.state;
        auto run = [&](RunKind kind, const std::string& url) { rig.Run(kind, url); };
        {
            auto proxy = Variant().use_proxy("127.0.0.1:" + std::to_string(server.Port()));
            run(RunKind::FirstConnection, ServiceBaseAddress());
            ASSERT_TRUE(state.CatalogReady.load());
            ASSERT_EQ(state.BaseUrls.size(), 2u);
            EXPECT_TRUE(ReadFileBytes(state.Paths.catalog) == catalog);
            run(RunKind::Photo, state.BaseUrls[0] + "20030301.jpg");
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_TRUE(ReadFileBytes(state.Paths.photo) == photo);
            state.ConfirmPending = true;
            run(RunKind::Confirmation, ConfirmationAddress("20030305"));
            EXPECT_FALSE(state.ConfirmPending.load());
        }
        state.ImageReady = false;
        run(RunKind::Photo, server.Url("/fotos/20030302.jpg"));
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
            // Some proxy clients name the default port: the same address.
            std::string target = requests[i].target, host = requests[i].host;
            if (auto at = target.find(".example:80/"); at != std::string::npos)
                target.erase(at + 8, 3);
            if (host.size() > 3 && host.compare(host.size() - 3, 3, ":80") == 0)
                host.resize(host.size() - 3);
            EXPECT_EQ(target, expected[i].target);
            EXPECT_EQ(host, expected[i].host);
            EXPECT_EQ(requests[i].Header("User-Agent"), texts::kUserAgent);
            EXPECT_EQ(requests[i].Has("Pragma"), expected[i].no_cache);
            EXPECT_EQ(requests[i].Has("Cache-Control"),
                expected[i].no_cache && Variant().reload_sends_cache_control);
            if (expected[i].no_cache) {
                EXPECT_EQ(requests[i].Header("Pragma"), "no-cache");
                if (Variant().reload_sends_cache_control) {
                    EXPECT_EQ(requests[i].Header("Cache-Control"), "no-cache");
                }
            }
        }
    }

    // The worker keeps what came when an answer is not a photo or breaks off.
    TEST_P(HttpClientContract, PhotoRunsStoreWhatTheServerSent)
    {
        const std::string page = "<html><h1>404 Not Found</h1></html>";
        HttpLimits limits;
        limits.stall_timeout_ms = Variant().stall_timeout_ms;
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
            Once(res);
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
        WorkerRig rig;
        SharedState& state = rig.state;
        state.CurrentKey = "20030301";
        rig.services.open_session = [limits] { return OpenInternetSession(limits); };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.path);
            state.ImageReady = false;
            rig.Run(RunKind::Photo, server.Url(c.path));
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_TRUE(ReadFileBytes(state.Paths.photo) == c.expected);
        }
    }

} // namespace
} // namespace tarvenia
