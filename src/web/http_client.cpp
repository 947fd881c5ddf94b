#include "web/http_client.h"

namespace tarvenia {

namespace {

    class ClosedRequest final : public HttpRequest {
    public:
        std::uint32_t Read(char*, std::uint32_t) noexcept override { return 0; }
    };

    class Closed final : public HttpSession {
    public:
        std::unique_ptr<HttpRequest> OpenUrl(const std::string&, bool) noexcept override
        {
            try {
                return std::make_unique<ClosedRequest>();
            } catch (...) {
                return nullptr; // the worker reads nothing from no request either
            }
        }
    };

} // namespace

std::unique_ptr<HttpSession> ClosedSession() { return std::make_unique<Closed>(); }

} // namespace tarvenia
