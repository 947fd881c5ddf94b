#include "demo_server.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <stdexcept>
#include <thread>

namespace demo {

namespace {

    std::chrono::sys_days LocalToday()
    {
        std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        return std::chrono::sys_days(std::chrono::year(local.tm_year + 1900)
            / std::chrono::month(static_cast<unsigned>(local.tm_mon + 1))
            / std::chrono::day(static_cast<unsigned>(local.tm_mday)));
    }

    std::string ErrorPage(int status, const std::string& title)
    {
        return "<!DOCTYPE html>\r\n<html><head><title>" + std::to_string(status) + " " + title
            + "</title></head>\r\n<body><h1>" + title
            + "</h1><p>The requested address was not found on this server.</p></body></html>\r\n";
    }

    Answer NotFound() { return { 404, "text/html", ErrorPage(404, "Not Found") }; }

    // The photo with its first component's quantization table pointing at a
    // table the file does not define: the header reads well, the decoder
    // stops with a fatal error when it starts on the image data.
    std::string Broken(std::string jpeg)
    {
        auto byte = [&jpeg](std::size_t i) { return static_cast<unsigned char>(jpeg[i]); };
        for (std::size_t i = 2; i + 12 < jpeg.size() && byte(i) == 0xFF;) {
            if (byte(i + 1) >= 0xC0 && byte(i + 1) <= 0xC2) {
                // Marker, length, precision, height, width, count, then the
                // first component: id, sampling, table.
                jpeg[i + 12] = 3;
                break;
            }
            i += 2 + (std::size_t { byte(i + 2) } << 8 | byte(i + 3));
        }
        return jpeg;
    }

    // Only printable ASCII goes to the terminal and the log.
    std::string Printable(const std::string& text)
    {
        std::string out;
        for (unsigned char c : text.substr(0, 64)) {
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                out += static_cast<char>(c);
            } else {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            }
        }
        return out;
    }

    std::string Lower(std::string s)
    {
        std::transform(
            s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    }

    std::string HostName(const std::string& host_and_port)
    {
        std::string host = Lower(host_and_port);
        if (auto colon = host.find(':'); colon != std::string::npos)
            host.erase(colon);
        return host;
    }

    std::pair<int, int> ParseSize(const std::string& text)
    {
        int w = 0, h = 0;
        char x = 0;
        if (std::sscanf(text.c_str(), "%d%c%d", &w, &x, &h) != 3 || (x != 'x' && x != 'X') || w < 16
            || h < 16 || w > 8000 || h > 8000)
            throw std::runtime_error("bad size '" + text + "', expected WxH");
        return { w, h };
    }

} // namespace

DemoOptions ParseOptions(int argc, char** argv)
{
    const std::string usage
        = "usage: tarvenia-demo-service [--port N] [--log PATH] [--date YYYYMMDD]\n"
          "       [--photo-size WxH] [--days N] [--big-photo MIB] [--access-log PATH]\n"
          "       [--fault missing-photo|broken-photo|empty-catalog]...\n";
    DemoOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(arg + " needs a value\n" + usage);
            return argv[++i];
        };
        try {
            if (arg == "--port")
                o.port = std::stoi(value());
            else if (arg == "--log")
                o.log_path = value();
            else if (arg == "--date")
                o.today = value();
            else if (arg == "--photo-size")
                std::tie(o.width, o.height) = ParseSize(value());
            else if (arg == "--days")
                o.days = std::stoi(value());
            else if (arg == "--big-photo")
                o.big_photo_bytes = static_cast<std::size_t>(std::stod(value()) * 1024 * 1024);
            else if (arg == "--access-log")
                o.access_log_path = value();
            else if (arg == "--fault") {
                std::string fault = value();
                if (fault != "missing-photo" && fault != "broken-photo" && fault != "empty-catalog")
                    throw std::runtime_error("unknown fault " + fault + "\n" + usage);
                o.faults.insert(fault);
            } else if (arg == "--help" || arg == "-h")
                throw std::runtime_error(usage);
            else
                throw std::runtime_error("unknown option " + arg + "\n" + usage);
        } catch (const std::invalid_argument&) {
            throw std::runtime_error("bad value for " + arg + "\n" + usage);
        } catch (const std::out_of_range&) {
            throw std::runtime_error("bad value for " + arg + "\n" + usage);
        }
    }
    if (o.port < 0 || o.port > 65535 || o.days < 1 || o.days > 3650
        || o.big_photo_bytes > (std::size_t { 1 } << 30))
        throw std::runtime_error("value out of range\n" + usage);
    if (!o.today.empty() && !DayOf(o.today))
        throw std::runtime_error("bad date '" + o.today + "', expected YYYYMMDD\n" + usage);
    return o;
}

DemoServer::DemoServer(const DemoOptions& options)
    : options_(options)
    , catalog_(options.today.empty() ? LocalToday() : *DayOf(options.today), options.days)
{
    for (std::size_t i = 0; i < catalog_.Photos().size(); ++i)
        slots_.push_back(std::make_unique<Slot>());
    if (options_.big_photo_bytes > 0) {
        Scene scene;
        scene.seed = 4242;
        big_photo_ = PhotoFile(PaintLandscape(scene, 1600, 1200), 92, options_.big_photo_bytes);
    }
    // Painting is the slow part: it runs on the spare cores while the
    // service already answers.
    unsigned painters = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    for (unsigned w = 0; w < painters; ++w)
        painters_.emplace_back([this, w, painters] {
            try {
                for (std::size_t i = w; i < slots_.size() && !closing_; i += painters)
                    Painted(i);
            } catch (const std::exception& e) {
                // Left for the request that asks for the photo to try again.
                std::cerr << "painting failed: " << e.what() << "\n";
            }
        });
}

DemoServer::~DemoServer()
{
    closing_ = true;
    for (auto& t : painters_)
        t.join();
}

const std::string& DemoServer::Painted(std::size_t index)
{
    Slot& slot = *slots_[index];
    std::call_once(slot.painted, [&] {
        const DemoPhoto& photo = catalog_.Photos()[index];
        if (!photo.missing)
            slot.jpeg
                = PhotoFile(PaintLandscape(photo.scene, options_.width, options_.height), 88);
    });
    return slot.jpeg;
}

const std::string* DemoServer::Photo(const std::string& key)
{
    const auto& photos = catalog_.Photos();
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (photos[i].key == key && !photos[i].missing)
            return &Painted(i);
    return nullptr;
}

Answer DemoServer::Route(const std::string& host_header, const std::string& target)
{
    std::string host = HostName(host_header);
    std::string rest = target;
    // A proxy's request names the whole address; it decides the host.
    if (Lower(rest.substr(0, 7)) == "http://") {
        std::size_t slash = rest.find('/', 7);
        host = HostName(rest.substr(7, slash == std::string::npos ? std::string::npos : slash - 7));
        rest = slash == std::string::npos ? "/" : rest.substr(slash);
    }
    std::string path = rest, query;
    if (auto q = rest.find('?'); q != std::string::npos) {
        path = rest.substr(0, q);
        query = rest.substr(q + 1);
    }
    const bool direct = host.empty() || host == "127.0.0.1" || host == "localhost";
    const bool service = direct || host == kServiceHost;

    if (service && path == "/cgi-bin/avui.cgi")
        return { 200, "text/plain; charset=windows-1252", catalog_.DailyResponse(query) };
    if (service && path == "/cgi-bin/fotos.cgi") {
        RecordConfirmation(query);
        return { 200, "text/plain", "OK\r\n" };
    }
    if (service && path == "/quindelar/esp/quindelar2.qdl")
        return { 200, "text/plain; charset=windows-1252",
            Fault("empty-catalog") ? std::string() : catalog_.CatalogText() };
    for (int base = 0; base < 2; ++base) {
        std::string folder = kPhotoFolders[base];
        if (!(direct || host == kPhotoHosts[base]) || path.rfind(folder, 0) != 0)
            continue;
        std::string name = path.substr(folder.size());
        if (base == 0 && name == "grande.jpg" && !big_photo_.empty())
            return { 200, "image/jpeg", big_photo_ };
        if (name.size() != 12 || name.substr(8) != ".jpg")
            continue;
        const DemoPhoto* photo = catalog_.Find(name.substr(0, 8));
        const bool newest = photo && photo->key == catalog_.NewestKey();
        if (newest && Fault("missing-photo"))
            continue;
        const std::string* jpeg = Photo(name.substr(0, 8));
        if (photo && jpeg && photo->base == base)
            return { 200, "image/jpeg", newest && Fault("broken-photo") ? Broken(*jpeg) : *jpeg };
    }
    if (!direct && !service && host != kPhotoHosts[0] && host != kPhotoHosts[1])
        return { 502, "text/html", ErrorPage(502, "Bad Gateway") };
    return NotFound();
}

void DemoServer::RecordRequest(const std::string& host, const std::string& target)
{
    if (options_.access_log_path.empty())
        return;
    std::lock_guard lock(log_mutex_);
    std::ofstream log(options_.access_log_path, std::ios::app | std::ios::binary);
    log << "GET " << Printable(host) << " " << Printable(target) << "\n";
}

void DemoServer::RecordConfirmation(const std::string& key)
{
    std::string shown = Printable(key);
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::lock_guard lock(log_mutex_);
    std::cout << stamp << " confirmation " << shown << std::endl;
    if (!options_.log_path.empty()) {
        std::ofstream log(options_.log_path, std::ios::app | std::ios::binary);
        log << stamp << " confirmation " << shown << "\n";
    }
}

int DemoServer::Bind()
{
    server_ = std::make_unique<httplib::Server>();
    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        RecordRequest(req.get_header_value("Host"), req.target);
        Answer a = Route(req.get_header_value("Host"), req.target);
        res.status = a.status;
        res.set_content(std::move(a.body), a.content_type.c_str());
    });
    if (options_.port == 0)
        return server_->bind_to_any_port("127.0.0.1");
    return server_->bind_to_port("127.0.0.1", options_.port) ? options_.port : -1;
}

void DemoServer::Run() { server_->listen_after_bind(); }

void DemoServer::Stop()
{
    if (server_)
        server_->stop();
}

} // namespace demo
