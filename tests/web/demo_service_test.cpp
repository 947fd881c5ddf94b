// The demo photo service: its content and routing, and the real worker
// fetching from the running program through its proxy mode.
#include "worker_fakes.h"

#include "demo_server.h"
#include "photo_file.h"
#include "protocol/addresses.h"
#include "support/child_process.h"
#include "web/vazi_dov_thread.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace tarvenia {
namespace {

    using namespace std::chrono_literals;
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

    // A fatal error of libjpeg comes back as an exception with its text, the
    // compressor and its buffer released.
    TEST(DemoServerTest, APictureLibjpegRefusesFailsWithItsText)
    {
        const demo::RgbImage wide { 70000, 1, std::vector<std::uint8_t>(70000 * 3) };
        try {
            demo::PhotoFile(wide, 90);
            FAIL() << "encoded";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(),
                "JPEG compression failed: Maximum supported image dimension is 65500 pixels");
        }
    }

    TEST(DemoServiceProcessTest, TheWorkerFetchesEverythingThroughTheProxy)
    {
        WorkerRig rig("20030311"); // a day ahead of the service
        const std::string log = rig.dir.Path("log.txt");
        ChildProcess demo({ TARVENIA_DEMO_SERVICE, "--port", "0", "--date", "20030310", "--days",
                              "8", "--photo-size", "160x120", "--log", log },
            1);
        const int port = std::atoi(demo.Line("listening on http://127.0.0.1:", 30s).c_str());
        ASSERT_GT(port, 0);
        ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(port)).c_str(), 1);
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);

        SharedState& state = rig.state;
        auto run = [&](RunKind kind, const std::string& url) { rig.Run(kind, url); };

        run(RunKind::FirstConnection, ServiceBaseAddress());
        EXPECT_TRUE(state.CatalogReady.load());
        EXPECT_EQ(state.CurrentKey, "20030310");
        ASSERT_EQ(state.BaseUrls.size(), 2u);
        std::string catalog = ReadFileBytes(state.Paths.catalog);
        EXPECT_EQ(catalog.substr(0, 8), "20030313");
        std::string daily
            = demo::DemoCatalog(*demo::DayOf("20030310"), 1).DailyResponse("20030311");
        EXPECT_EQ(rig.main.Texts().back(),
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
        EXPECT_EQ(demo.Terminate(5s), 0);
    }

} // namespace
} // namespace tarvenia
