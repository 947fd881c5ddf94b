// The demo photo service: its content and routing, and the real worker
// fetching from the running program through its proxy mode.
#include "worker_fakes.h"

#include "demo_server.h"
#include "protocol/addresses.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;

    demo::DemoOptions SmallOptions()
    {
        demo::DemoOptions o;
        o.today = "20030310";
        o.days = 8;
        o.width = 64;
        o.height = 48;
        return o;
    }

    bool IsJpeg(const std::string& body) { return body.rfind("\xFF\xD8\xFF", 0) == 0; }

    TEST(DemoCatalogTest, LinesFollowTheCatalogFormatNewestFirst)
    {
        demo::DemoServer server(SmallOptions());
        std::string text = server.Catalog().CatalogText();
        std::vector<std::string> lines;
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t end = text.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 2;
        }
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[0].substr(0, 8), "20030313") << "one line filed in the future comes first";
        EXPECT_EQ(lines[1].substr(0, 8), "20030310");
        EXPECT_EQ(lines[1].substr(9), "Amanecer en el valle");
        EXPECT_EQ(lines[2].substr(9, 7),
            "Monta\xF1"
            "a");
        std::set<char> bases;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            ASSERT_GE(l.size(), 10u);
            EXPECT_LE(l.size(), 50u) << l;
            EXPECT_EQ(l.substr(0, 9).find_first_not_of("0123456789"), std::string::npos) << l;
            bases.insert(l[8]);
            if (i > 0) {
                EXPECT_LT(l.substr(0, 8), lines[i - 1].substr(0, 8)) << "newest first";
            }
        }
        EXPECT_EQ(bases, (std::set<char> { '0', '1' }));
    }

    TEST(DemoServerTest, RoutesDirectAndProxyRequests)
    {
        auto options = SmallOptions();
        TempFolder dir;
        options.log_path = dir.Dir() + "confirmations.log";
        demo::DemoServer server(options);
        const std::string tokens = "\r\n<http://fotos1.tarvenia.example/fotos/>\r\n"
                                   "<http://fotos2.tarvenia.example/archivo/>\r\n";
        struct Case {
            std::string host;
            std::string target;
            int status;
            std::string body; // "jpeg": any JPEG file
        } cases[] = {
            { "127.0.0.1:8080", "/cgi-bin/avui.cgi?20030310", 200, "20030310" + tokens },
            { "127.0.0.1:8080", "/cgi-bin/avui.cgi?20030309", 200, "20030309" + tokens },
            { "127.0.0.1:8080", "/cgi-bin/avui.cgi?20991231", 200, "20030310" + tokens },
            { "127.0.0.1:8080", "/cgi-bin/avui.cgi?garbage", 200, "20030310" + tokens },
            { "imagenes.tarvenia.example",
                "http://imagenes.tarvenia.example/cgi-bin/avui.cgi?20030310", 200,
                "20030310" + tokens },
            { "x", "http://fotos1.tarvenia.example/fotos/20030310.jpg", 200, "jpeg" },
            { "x", "http://fotos2.tarvenia.example/archivo/20030309.jpg", 200, "jpeg" },
            { "x", "http://fotos2.tarvenia.example/archivo/20030310.jpg", 404, "" }, // wrong store
            { "x", "http://fotos1.tarvenia.example/fotos/20030304.jpg", 404,
                "" }, // the missing one
            { "localhost", "/fotos/20030308.jpg", 200, "jpeg" },
            { "x", "http://elsewhere.example/", 502, "" },
            { "x", "http://imagenes.tarvenia.example/cgi-bin/fotos.cgi?20030310", 200, "OK\r\n" },
            { "x", "http://imagenes.tarvenia.example/cgi-bin/fotos.cgi?a\x01z", 200, "OK\r\n" },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.target);
            demo::Answer a = server.Route(c.host, c.target);
            EXPECT_EQ(a.status, c.status);
            // Braces: the EXPECT macros end in an if of their own.
            if (c.body == "jpeg") {
                EXPECT_TRUE(IsJpeg(a.body));
            } else if (!c.body.empty()) {
                EXPECT_EQ(a.body, c.body);
            }
            if (a.status == 404) {
                EXPECT_NE(a.body.find("<html>"), std::string::npos);
            }
        }
        std::string log = ReadFileBytes(options.log_path);
        EXPECT_NE(log.find("confirmation 20030310\n"), std::string::npos);
        EXPECT_NE(log.find("confirmation a\\x01z\n"), std::string::npos) << log;
    }

    TEST(DemoServerTest, PhotosDifferFromDayToDayAndTheBigOneIsStillAJpeg)
    {
        auto options = SmallOptions();
        options.big_photo_bytes = 300000;
        demo::DemoServer server(options);
        const std::string* a = server.Photo("20030310");
        const std::string* b = server.Photo("20030309");
        ASSERT_TRUE(a && b);
        EXPECT_NE(*a, *b);
        EXPECT_EQ(server.BigPhoto().size(), 300000u);
        EXPECT_TRUE(IsJpeg(server.BigPhoto()));
        EXPECT_EQ(server.BigPhoto().substr(server.BigPhoto().size() - 2), "\xFF\xD9");
    }

    // The program itself, started on a free port.
    class DemoProcess {
    public:
        explicit DemoProcess(std::vector<std::string> args)
        {
            int fds[2];
            if (::pipe(fds) != 0)
                return;
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
            posix_spawn_file_actions_addclose(&actions, fds[0]);
            args.insert(args.begin(), TARVENIA_DEMO_SERVICE);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
                pid_ = -1;
            posix_spawn_file_actions_destroy(&actions);
            ::close(fds[1]);
            out_ = fds[0];
        }
        ~DemoProcess()
        {
            if (pid_ > 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
            }
            if (out_ >= 0)
                ::close(out_);
        }

        // The port from "listening on http://127.0.0.1:PORT", or -1.
        int WaitForPort()
        {
            std::string seen;
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (std::chrono::steady_clock::now() < end) {
                pollfd p { out_, POLLIN, 0 };
                if (::poll(&p, 1, 100) <= 0)
                    continue;
                char buf[256];
                ssize_t n = ::read(out_, buf, sizeof buf);
                if (n <= 0)
                    return -1;
                seen.append(buf, static_cast<std::size_t>(n));
                const std::string prefix = "listening on http://127.0.0.1:";
                if (auto at = seen.find(prefix);
                    at != std::string::npos && seen.find('\n', at) != std::string::npos)
                    return std::stoi(seen.substr(at + prefix.size()));
            }
            return -1;
        }

        // Sends SIGTERM; the exit status, or -1 when it did not end in time.
        int Terminate()
        {
            ::kill(pid_, SIGTERM);
            for (int i = 0; i < 500; ++i) {
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                    pid_ = -1;
                    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return -1;
        }

    private:
        pid_t pid_ = -1;
        int out_ = -1;
    };

    TEST(DemoServiceProcessTest, TheWorkerFetchesEverythingThroughTheProxy)
    {
        TempFolder dir;
        std::string log = dir.Dir() + "log.txt";
        DemoProcess demo({ "--port", "0", "--date", "20030310", "--days", "8", "--photo-size",
            "160x120", "--log", log });
        int port = demo.WaitForPort();
        ASSERT_GT(port, 0);
        ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(port)).c_str(), 1);
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);

        SharedState state;
        state.Paths = WorkPaths::InFolder(dir.Dir());
        StatusRecorder main;
        WorkerServices services = main.Services("20030311"); // a day ahead of the service
        auto run = [&](RunKind kind, const std::string& url) {
            TVaziDovThread worker(state, services, kind);
            worker.Url = url;
            worker.Execute();
        };

        run(RunKind::FirstConnection, ServiceBaseAddress());
        EXPECT_TRUE(state.CatalogReady.load());
        EXPECT_EQ(state.CurrentKey, "20030310");
        ASSERT_EQ(state.BaseUrls.size(), 2u);
        std::string catalog = ReadFileBytes(state.Paths.catalog);
        EXPECT_EQ(catalog.substr(0, 8), "20030313");
        std::string daily
            = demo::DemoCatalog(*demo::DayOf("20030310"), 1).DailyResponse("20030311");
        EXPECT_EQ(main.Texts().back(),
            std::to_string(daily.size() + catalog.size()) + " bytes recibidos");

        run(RunKind::Photo, state.BaseUrls[1] + "20030309.jpg");
        EXPECT_TRUE(state.ImageReady.load());
        EXPECT_TRUE(IsJpeg(ReadFileBytes(state.Paths.photo)));
        state.ImageReady = false;
        run(RunKind::Photo, state.BaseUrls[0] + "20030304.jpg"); // gone from the store
        EXPECT_TRUE(state.ImageReady.load());
        EXPECT_NE(ReadFileBytes(state.Paths.photo).find("404"), std::string::npos);

        state.ConfirmPending = true;
        run(RunKind::Confirmation, ConfirmationAddress("20030310"));
        ::unsetenv("http_proxy");
        EXPECT_NE(ReadFileBytes(log).find("confirmation 20030310"), std::string::npos);
        EXPECT_EQ(demo.Terminate(), 0);
    }

} // namespace
} // namespace tarvenia
