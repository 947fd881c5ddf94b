// The WinInet client, and the worker on top of it, against servers on
// loopback inside the test program (run under Windows or Wine).
#include "test_http_server.h"
#include "worker_fakes.h"

#include "base/texts.h"
#include "protocol/addresses.h"
#include "web/http_client.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <optional>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;
    using Clock = std::chrono::steady_clock;

    // The system's proxy settings of the user, set for one test and put back
    // as they were. WinInet reads them when a session is opened.
    class ProxySetting {
    public:
        static constexpr char kKey[]
            = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

        explicit ProxySetting(const std::string& server)
        {
            ::RegCreateKeyExA(
                HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
            enable_ = Get("ProxyEnable");
            server_ = Get("ProxyServer");
            override_ = Get("ProxyOverride");
            DWORD one = 1;
            ::RegSetValueExA(
                key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
            SetString("ProxyServer", server);
            // Other tests may run meanwhile: loopback stays direct.
            SetString("ProxyOverride", "<local>;127.0.0.1;localhost");
        }
        ~ProxySetting()
        {
            Restore("ProxyEnable", enable_);
            Restore("ProxyServer", server_);
            Restore("ProxyOverride", override_);
            ::RegCloseKey(key_);
        }

    private:
        struct Value {
            DWORD type;
            std::vector<BYTE> data;
        };
        std::optional<Value> Get(const char* name)
        {
            DWORD type = 0, size = 0;
            if (::RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            Value v { type, std::vector<BYTE>(size) };
            ::RegQueryValueExA(key_, name, nullptr, &type, v.data.data(), &size);
            return v;
        }
        void SetString(const char* name, const std::string& value)
        {
            ::RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                static_cast<DWORD>(value.size() + 1));
        }
        void Restore(const char* name, const std::optional<Value>& v)
        {
            if (v)
                ::RegSetValueExA(
                    key_, name, 0, v->type, v->data.data(), static_cast<DWORD>(v->data.size()));
            else
                ::RegDeleteValueA(key_, name);
        }

        HKEY key_ = nullptr;
        std::optional<Value> enable_, server_, override_;
    };

    // Wine's WinInet applies the receive timeout to the connection only, not
    // to the reads of a body: a stalled body there ends when the server
    // gives up.
    bool UnderWine()
    {
        HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
    }

    // Answers close their connection, so that a server's end does not wait
    // for a connection the client keeps for later.
    void Once(httplib::Response& res) { res.set_header("Connection", "close"); }

    Drained Fetch(const std::string& url, const HttpLimits& limits = {}, bool reload = true)
    {
        auto session = OpenInternetSession(limits);
        auto request = session->OpenUrl(url, reload);
        return Drain(request.get());
    }

    void ExpectReadsOfAtMost1024(const Drained& d)
    {
        ASSERT_FALSE(d.reads.empty());
        EXPECT_EQ(d.reads.back(), 0u);
        for (auto n : d.reads)
            ASSERT_LE(n, 1024u);
    }

    // A port of loopback that was just free: bound and released again.
    int ClosedPort()
    {
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof addr;
        ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
        ::closesocket(s);
        return ntohs(addr.sin_port);
    }

    TEST(WinInetTest, BodiesArriveInReadsOfAtMost1024Bytes)
    {
        struct Case {
            const char* name;
            std::string body;
            bool chunked;
        } cases[] = {
            { "2500 bytes", Body(2500), false },
            { "empty", "", false },
            { "50000 bytes chunked in odd pieces", Body(50000, 3), true },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            TestHttpServer server([&](const RecordedRequest&, httplib::Response& res) {
                Once(res);
                if (!c.chunked) {
                    res.set_content(c.body, "image/jpeg");
                    return;
                }
                std::string b = c.body;
                res.set_chunked_content_provider(
                    "image/jpeg", [b](std::size_t offset, httplib::DataSink& sink) {
                        std::size_t n = std::min<std::size_t>(3001, b.size() - offset);
                        sink.write(b.data() + offset, n);
                        if (offset + n == b.size())
                            sink.done();
                        return true;
                    });
            });
            Drained d = Fetch(server.Url("/x.jpg"));
            EXPECT_EQ(d.body.size(), c.body.size());
            EXPECT_TRUE(d.body == c.body);
            ExpectReadsOfAtMost1024(d);
        }
        // A plain body fills every read but the last.
        TestHttpServer server([](const RecordedRequest&, httplib::Response& res) {
            Once(res);
            res.set_content(Body(2500), "image/jpeg");
        });
        EXPECT_EQ(
            Fetch(server.Url("/x.jpg")).reads, (std::vector<std::uint32_t> { 1024, 1024, 452, 0 }));
    }

    TEST(WinInetTest, TheAgentIsVaziDovAndReloadBypassesTheCache)
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

    // Servers that misbehave or cannot be reached: the request ends with what
    // arrived, and promptly.
    TEST(WinInetTest, BrokenOrHostileAnswersEndWithWhatArrived)
    {
        HttpLimits limits;
        limits.connect_timeout_ms = 2000;
        limits.stall_timeout_ms = 1000;
        limits.max_body_bytes = 5000;
        const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
        const auto prompt = std::chrono::milliseconds(4000);
        struct Case {
            const char* name;
            std::string path;
            std::string expected;
            std::chrono::milliseconds within;
        } cases[] = {
            { "error page", "/missing.jpg", page, prompt },
            { "cut mid-way", "/cut", Body(3000), prompt },
            { "stalled body", "/stall", Body(100),
                UnderWine() ? std::chrono::milliseconds(8000) : prompt },
            { "beyond the size cap", "/huge", Body(20000).substr(0, 5000), prompt },
            { "redirect followed", "/moved", "moved here", prompt },
            { "redirect to a local file", "/to-file", "", prompt },
        };
        TestHttpServer* self = nullptr;
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            Once(res);
            if (r.path == "/missing.jpg") {
                res.status = 404;
                res.set_content(page, "text/html");
            } else if (r.path == "/cut" || r.path == "/stall") {
                const bool stall = r.path == "/stall";
                res.set_content_provider(10000, "image/jpeg",
                    [=](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                        if (offset == 0) {
                            std::string part = Body(stall ? 100 : 3000);
                            sink.write(part.data(), part.size());
                            return true;
                        }
                        if (stall) {
                            auto end = Clock::now() + std::chrono::seconds(5);
                            while (!self->stopping && Clock::now() < end)
                                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                        }
                        return false; // drops the connection
                    });
            } else if (r.path == "/huge") {
                res.set_content(Body(20000), "image/jpeg");
            } else if (r.path == "/moved") {
                res.set_redirect("/here");
            } else if (r.path == "/here") {
                res.set_content("moved here", "text/plain");
            } else if (r.path == "/to-file") {
                res.set_redirect("file:///c:/windows/win.ini");
            }
        });
        self = &server;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            auto start = Clock::now();
            Drained d = Fetch(server.Url(c.path), limits);
            EXPECT_TRUE(d.body == c.expected) << d.body.size() << " bytes";
            EXPECT_LT(Clock::now() - start, c.within);
            ExpectReadsOfAtMost1024(d);
        }
    }

    TEST(WinInetTest, OnlyReachableWebAddressesAreFetched)
    {
        HttpLimits limits;
        limits.connect_timeout_ms = 2000;
        limits.stall_timeout_ms = 1000;
        for (std::string url : { std::string("file:///c:/windows/win.ini"),
                 std::string("FILE:///c:/windows/system.ini"), std::string("ftp://127.0.0.1:1/x"),
                 std::string("gopher://127.0.0.1:1/"), std::string(""), std::string("20030301.jpg"),
                 "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x.jpg" }) {
            SCOPED_TRACE(url);
            auto start = Clock::now();
            Drained d = Fetch(url, limits, false);
            EXPECT_EQ(d.body, "");
            EXPECT_EQ(d.reads, std::vector<std::uint32_t> { 0 });
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
        }
    }

    // The worker's three runs through the proxy of the system's settings
    // (the service's own host names go to the proxy unchanged), then a photo
    // fetched directly.
    TEST(WinInetTest, EachRunSendsItsRequestThroughTheSystemsProxy)
    {
        const std::string photo = Body(2500, 9);
        const std::string catalog = Body(3000, 4);
        TestHttpServer server([&](const RecordedRequest& r, httplib::Response& res) {
            Once(res);
            if (r.path.rfind("/cgi-bin/avui.cgi?", 0) == 0)
                res.set_content(
                    "20030305<http://fotos1.tarvenia.example/fotos/>\r\n", "text/plain");
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
        {
            ProxySetting proxy("127.0.0.1:" + std::to_string(server.Port()));
            run(ServiceBaseAddress());
            ASSERT_TRUE(state.CatalogReady.load());
            ASSERT_EQ(state.BaseUrls.size(), 1u);
            EXPECT_TRUE(ReadFileBytes(state.Paths.catalog) == catalog);
            run(state.BaseUrls[0] + "20030301.jpg");
            EXPECT_TRUE(state.ImageReady.load());
            EXPECT_TRUE(ReadFileBytes(state.Paths.photo) == photo);
            state.ConfirmPending = true;
            run(ConfirmationAddress("20030305"));
            EXPECT_FALSE(state.ConfirmPending.load());
        }
        state.ImageReady = false;
        run(server.Url("/fotos/20030302.jpg"));
        EXPECT_TRUE(state.ImageReady.load());

        const std::string base = ServiceBaseAddress();
        const std::string expected[] = {
            base + "/cgi-bin/avui.cgi?20030305",
            base + "/quindelar/esp/quindelar2.qdl",
            "http://fotos1.tarvenia.example/fotos/20030301.jpg",
            base + "/cgi-bin/fotos.cgi?20030305",
            "/fotos/20030302.jpg",
        };
        auto requests = server.Requests();
        ASSERT_EQ(requests.size(), std::size(expected));
        for (std::size_t i = 0; i < requests.size(); ++i) {
            // Some proxy clients name the default port: the same address.
            std::string target = requests[i].target;
            if (auto at = target.find(".example:80/"); at != std::string::npos)
                target.erase(at + 8, 3);
            EXPECT_EQ(target, expected[i]);
            EXPECT_EQ(requests[i].Header("User-Agent"), texts::kUserAgent);
        }
    }

} // namespace
} // namespace tarvenia
