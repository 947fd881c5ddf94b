// The HTTP client on libcurl, built as the loadable module "http.so"
// (http_module.h). Each request drives its own multi handle from the caller's
// thread: OpenUrl returns once the response has begun, and Read pulls the
// body on demand, so a worker that waits for the window also stops taking
// data from the network (libcurl is paused while our buffer is full).
#include "web/http_module.h"

#include "base/texts.h"
#include "protocol/addresses.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

namespace tarvenia {

namespace {

    using Clock = std::chrono::steady_clock;

    // Above this much unread data libcurl is paused until Read catches up.
    constexpr std::size_t kHighWater = 256 * 1024;
    // Bytes taken from the socket at a time; large, so a fast download costs
    // few trips through libcurl.
    constexpr long kReceiveSize = 128 * 1024;
    // How long one wait for network activity may last before the stall
    // limit is looked at again.
    constexpr long kPollSliceMs = 500;

    bool GlobalInit()
    {
        // std::once_flag has no destructor to run, so a worker still busy
        // while the process ends finds nothing torn down here.
        static std::once_flag once;
        static CURLcode result = CURLE_FAILED_INIT;
        std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
        return result == CURLE_OK;
    }

    class CurlRequest final : public HttpRequest {
    public:
        explicit CurlRequest(const HttpLimits& limits)
            : limits_(limits)
        {
        }

        ~CurlRequest() override
        {
            if (multi_ && easy_)
                curl_multi_remove_handle(multi_, easy_);
            if (easy_)
                curl_easy_cleanup(easy_);
            if (multi_)
                curl_multi_cleanup(multi_);
            if (headers_)
                curl_slist_free_all(headers_);
        }

        CurlRequest(const CurlRequest&) = delete;
        CurlRequest& operator=(const CurlRequest&) = delete;

        // Sends the request and waits until the answer has begun (or the
        // request failed, which leaves a request that reads 0 bytes).
        void Begin(const std::string& url, bool reload, bool usable)
        {
            // libcurl would take an address without a scheme as a host name
            // and guess "http://" in front of it; through a proxy such a
            // request goes out and the proxy's error page would be stored as
            // the photo. Such an address cannot be opened, as on Windows.
            if (!usable || !IsWebAddress(url) || !Setup(url, reload)) {
                finished_ = true;
                return;
            }
            last_activity_ = Clock::now();
            while (!finished_ && !answered_ && Unread() == 0)
                Pump();
        }

        std::uint32_t Read(char* buffer, std::uint32_t size) noexcept override
        {
            // Like the platform's read of a synchronous request: fill the
            // buffer unless the body ends or breaks first.
            std::uint32_t done = 0;
            try {
                while (done < size) {
                    if (std::size_t unread = Unread(); unread > 0) {
                        std::size_t n = std::min<std::size_t>(unread, size - done);
                        std::memcpy(buffer + done, data_.data() + pos_, n);
                        pos_ += n;
                        done += static_cast<std::uint32_t>(n);
                        continue;
                    }
                    if (finished_)
                        break;
                    Pump();
                }
            } catch (...) {
                finished_ = true;
            }
            return done;
        }

    private:
        bool Setup(const std::string& url, bool reload)
        {
            multi_ = curl_multi_init();
            easy_ = curl_easy_init();
            if (!multi_ || !easy_)
                return false;
            if (reload) {
                headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
                curl_slist* more
                    = headers_ ? curl_slist_append(headers_, "Pragma: no-cache") : nullptr;
                if (!more)
                    return false;
                headers_ = more;
            }
            // Every option matters: a client that could not restrict the
            // protocols must not fetch at all.
            bool ok = curl_easy_setopt(easy_, CURLOPT_URL, url.c_str()) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_USERAGENT, texts::kUserAgent) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 20L) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, limits_.connect_timeout_ms)
                    == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveSize) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this) == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader)
                    == CURLE_OK
                && curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this) == CURLE_OK
                && (!headers_ || curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_) == CURLE_OK);
            return ok && curl_multi_add_handle(multi_, easy_) == CURLM_OK;
        }

        std::size_t Unread() const { return data_.size() - pos_; }

        // Moves the transfer on: waits for the network (bounded by the stall
        // limit) and lets libcurl deliver what arrived.
        void Pump()
        {
            if (paused_) {
                paused_ = false;
                data_.clear();
                pos_ = 0;
                // May hand over the held data right away (or pause again).
                if (curl_easy_pause(easy_, CURLPAUSE_CONT) != CURLE_OK) {
                    finished_ = true;
                    return;
                }
                if (Unread() > 0 || paused_)
                    return;
            }
            bool was_answered = answered_;
            int running = 0;
            if (curl_multi_perform(multi_, &running) != CURLM_OK || running == 0) {
                finished_ = true;
                return;
            }
            if (Unread() > 0 || paused_ || answered_ != was_answered)
                return;
            auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
                Clock::now() - last_activity_)
                            .count();
            if (idle >= limits_.stall_timeout_ms) {
                // Nothing came for too long: the connection counts as broken.
                finished_ = true;
                return;
            }
            int wait = static_cast<int>(
                std::min<long long>(limits_.stall_timeout_ms - idle, kPollSliceMs));
            if (curl_multi_poll(multi_, nullptr, 0, std::max(wait, 1), nullptr) != CURLM_OK)
                finished_ = true;
        }

        static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self_ptr)
        {
            auto* self = static_cast<CurlRequest*>(self_ptr);
            std::size_t total = size * count;
            self->last_activity_ = Clock::now();
            bool blank = (total == 2 && data[0] == '\r' && data[1] == '\n')
                || (total == 1 && data[0] == '\n');
            if (blank) {
                // The end of a header block. Informational answers and
                // redirects that libcurl is about to follow are not the
                // answer yet.
                long code = 0;
                curl_easy_getinfo(self->easy_, CURLINFO_RESPONSE_CODE, &code);
                if (code >= 200 && (code < 300 || code >= 400))
                    self->answered_ = true;
            }
            return total;
        }

        static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self_ptr)
        {
            auto* self = static_cast<CurlRequest*>(self_ptr);
            std::size_t total = size * count;
            if (total == 0)
                return 0;
            if (self->Unread() >= kHighWater) {
                self->paused_ = true;
                return CURL_WRITEFUNC_PAUSE;
            }
            self->last_activity_ = Clock::now();
            std::uint64_t room = self->limits_.max_body_bytes - self->body_bytes_;
            std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(total, room));
            if (self->pos_ > 0 && self->pos_ == self->data_.size()) {
                self->data_.clear();
                self->pos_ = 0;
            }
            try {
                self->data_.insert(self->data_.end(), data, data + take);
            } catch (...) {
                return 0; // out of memory: ends the transfer as broken
            }
            self->body_bytes_ += take;
            // A body beyond the limit is cut there; anything short of the
            // whole chunk makes libcurl end the transfer.
            return take;
        }

        HttpLimits limits_;
        CURLM* multi_ = nullptr;
        CURL* easy_ = nullptr;
        curl_slist* headers_ = nullptr;
        std::vector<char> data_;
        std::size_t pos_ = 0;
        std::uint64_t body_bytes_ = 0;
        bool paused_ = false;
        bool answered_ = false;
        bool finished_ = false;
        Clock::time_point last_activity_ = Clock::now();
    };

    class CurlSession final : public HttpSession {
    public:
        CurlSession(const HttpLimits& limits, bool usable)
            : limits_(limits)
            , usable_(usable)
        {
        }

        std::unique_ptr<HttpRequest> OpenUrl(const std::string& url, bool reload) noexcept override
        {
            try {
                auto request = std::make_unique<CurlRequest>(limits_);
                request->Begin(url, reload, usable_);
                return request;
            } catch (...) {
                return nullptr; // out of memory; the worker reads nothing
            }
        }

    private:
        HttpLimits limits_;
        bool usable_;
    };

} // namespace

} // namespace tarvenia

tarvenia::HttpSession* tarvenia_open_http_session_1(const tarvenia::HttpLimits* limits) noexcept
{
    try {
        return new tarvenia::CurlSession(*limits, tarvenia::GlobalInit());
    } catch (...) {
        return nullptr; // out of memory: the caller's session opens nothing
    }
}
