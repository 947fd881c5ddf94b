// The WinInet client (run under Windows or Wine): its description for the
// shared client suite (http_client_contract_test.cpp).
#include "http_client_contract.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;

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
    // to an answer that stalls (before its headers or in its body): that
    // ends when the server gives up.
    bool UnderWine()
    {
        HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
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

    const HttpVariant kWinInet {
        .reset = [] {},
        .use_proxy = [](const std::string& proxy) { return std::make_shared<ProxySetting>(proxy); },
        .local_files = { "file:///c:/windows/win.ini", "FILE:///c:/windows/system.ini" },
        .closed_port = ClosedPort,
        .honours_stall_limit = !UnderWine(),
        .stall_timeout_ms = 1000,
        .asks_for_gzip = false,
        .reload_sends_cache_control = false,
    };

    INSTANTIATE_TEST_SUITE_P(WinInet, HttpClientContract, ::testing::Values(&kWinInet),
        [](const auto&) { return std::string("wininet"); });

} // namespace
} // namespace tarvenia
