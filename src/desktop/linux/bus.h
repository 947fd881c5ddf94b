// A private connection to the user's session bus whose every step has a time
// limit: a desktop service that hangs, or a bus that accepts and never
// answers, must not freeze the window.
#pragma once

#include "desktop/linux/gobject_ptr.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tarvenia {

class SessionBus {
public:
    struct Reply {
        GVariantPtr value; // empty on failure
        GErrorPtr error; // set on failure
        bool TimedOut() const noexcept;
        // The D-Bus error name sent by the service, or "" for local failures.
        std::string RemoteErrorName() const;
    };

    // The session bus of DBUS_SESSION_BUS_ADDRESS or, without it,
    // $XDG_RUNTIME_DIR/bus. Never starts a bus. Empty when there is none or
    // it does not complete the handshake within `limit`.
    static std::unique_ptr<SessionBus> Connect(std::chrono::milliseconds limit);
    static std::unique_ptr<SessionBus> ConnectTo(
        const std::string& address, std::chrono::milliseconds limit);

    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    // A method call that waits at most the connection's limit. `parameters`
    // may be floating; it is consumed.
    Reply Call(const char* destination, const char* object_path, const char* interface_name,
        const char* method, GVariant* parameters, const GVariantType* reply_type);

    bool NameHasOwner(const std::string& bus_name);

    // Runs `cause`, then waits at most the connection's limit for a signal
    // `member` of `interface_name` from `sender` whose parameters `matches`
    // accepts; true when one came. The subscription is made before `cause`
    // runs, so a signal it provokes cannot be missed, and in a main context
    // of its own, so no other event loop of the program dispatches it.
    bool AwaitSignal(const char* sender, const char* interface_name, const char* member,
        const std::function<void()>& cause, const std::function<bool(GVariant*)>& matches);

private:
    SessionBus(GDBusConnection* connection, std::chrono::milliseconds limit);

    GObjectPtr<GDBusConnection> connection_;
    std::chrono::milliseconds limit_;
};

} // namespace tarvenia
