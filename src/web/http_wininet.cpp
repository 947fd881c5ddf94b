// The HTTP client of the Windows program: WinInet, with the session opened
// under the agent name "VaziDov" and the system's configured proxy settings.
#include "web/http_client.h"

#include "protocol/addresses.h"

#include "base/texts.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

namespace tarvenia {

namespace {

    // Only web addresses are opened (IsWebAddress): WinInet would also open
    // ftp:// and file:// addresses. Redirects are left to WinInet, which
    // follows them between http and https only.

    class WinInetRequest final : public HttpRequest {
    public:
        WinInetRequest(HINTERNET handle, std::uint64_t max_body_bytes)
            : handle_(handle)
            , left_(max_body_bytes)
        {
        }
        ~WinInetRequest() override
        {
            if (handle_)
                ::InternetCloseHandle(handle_);
        }
        WinInetRequest(const WinInetRequest&) = delete;
        WinInetRequest& operator=(const WinInetRequest&) = delete;

        std::uint32_t Read(char* buffer, std::uint32_t size) noexcept override
        {
            if (!handle_ || failed_ || left_ == 0 || size == 0)
                return 0;
            // The cap on the body: the read that reaches it is shortened, and
            // every read after it ends the body.
            DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(size, left_));
            DWORD got = 0;
            if (!::InternetReadFile(handle_, buffer, want, &got)) {
                failed_ = true;
                return 0;
            }
            got = std::min(got, want);
            left_ -= got;
            return got;
        }

    private:
        HINTERNET handle_;
        std::uint64_t left_;
        bool failed_ = false;
    };

    class WinInetSession final : public HttpSession {
    public:
        explicit WinInetSession(const HttpLimits& limits)
            : limits_(limits)
        {
            session_ = ::InternetOpenA(
                texts::kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
            if (session_) {
                // Options set on the session are inherited by its requests.
                SetTimeout(session_, INTERNET_OPTION_CONNECT_TIMEOUT, limits_.connect_timeout_ms);
                SetTimeout(session_, INTERNET_OPTION_RECEIVE_TIMEOUT, limits_.stall_timeout_ms);
                SetTimeout(
                    session_, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, limits_.stall_timeout_ms);
            }
        }
        ~WinInetSession() override
        {
            if (session_)
                ::InternetCloseHandle(session_);
        }
        WinInetSession(const WinInetSession&) = delete;
        WinInetSession& operator=(const WinInetSession&) = delete;

        std::unique_ptr<HttpRequest> OpenUrl(const std::string& url, bool reload) noexcept override
        {
            HINTERNET request = nullptr;
            if (session_ && IsWebAddress(url)) {
                // A reload goes to the origin server: past the local cache
                // (RELOAD) and past a caching proxy (PRAGMA_NOCACHE).
                const DWORD flags
                    = reload ? INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE : 0;
                request = ::InternetOpenUrlA(session_, url.c_str(), nullptr, 0, flags, 0);
            }
            // An address that could not be opened gives a request whose
            // first read is the end of the body.
            try {
                return std::make_unique<WinInetRequest>(request, limits_.max_body_bytes);
            } catch (...) {
                if (request)
                    ::InternetCloseHandle(request);
                return nullptr;
            }
        }

    private:
        static void SetTimeout(HINTERNET handle, DWORD option, long ms)
        {
            DWORD value = ms > 0 ? static_cast<DWORD>(ms) : 0;
            ::InternetSetOptionA(handle, option, &value, sizeof value);
        }

        HttpLimits limits_;
        HINTERNET session_ = nullptr;
    };

} // namespace

std::unique_ptr<HttpSession> OpenInternetSession(const HttpLimits& limits)
{
    return std::make_unique<WinInetSession>(limits);
}

} // namespace tarvenia
