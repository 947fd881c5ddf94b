#include "desktop/linux/bus.h"

#include <cstdlib>

namespace tarvenia {

namespace {

    // Lives on the heap: when the handshake outlasts its limit the pending
    // callback may still hold it, so it is then left behind on purpose rather
    // than freed under the callback.
    struct PendingConnect {
        GDBusConnection* connection = nullptr;
        bool finished = false;
    };

    void OnConnected(GObject*, GAsyncResult* result, gpointer data)
    {
        auto* pending = static_cast<PendingConnect*>(data);
        pending->connection = g_dbus_connection_new_for_address_finish(result, nullptr);
        pending->finished = true;
    }

    gboolean OnLimit(gpointer data)
    {
        *static_cast<bool*>(data) = true;
        return G_SOURCE_REMOVE;
    }

    // Runs `context` until `done` is true or `limit` passes.
    void RunUntil(GMainContext* context, const bool& done, std::chrono::milliseconds limit)
    {
        bool expired = false;
        GSource* timer = g_timeout_source_new(static_cast<guint>(limit.count()));
        g_source_set_callback(timer, OnLimit, &expired, nullptr);
        g_source_attach(timer, context);
        while (!done && !expired)
            g_main_context_iteration(context, TRUE);
        g_source_destroy(timer);
        g_source_unref(timer);
    }

    struct AwaitedSignal {
        const std::function<bool(GVariant*)>& matches;
        bool seen = false;
        bool released = false; // GDBus is done with this subscription
    };

    void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
        GVariant* parameters, gpointer data)
    {
        auto* awaited = static_cast<AwaitedSignal*>(data);
        if (!awaited->seen && awaited->matches(parameters))
            awaited->seen = true;
    }

    void OnReleased(gpointer data) { static_cast<AwaitedSignal*>(data)->released = true; }

    std::string SessionAddress()
    {
        const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (address && *address)
            return address;
        // Sessions started by a user service manager announce no address;
        // their bus is the socket in the runtime folder. dbus-launch's
        // autolaunching is avoided: it may start a bus that outlives us.
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime)
            return {};
        GCharPtr socket(g_build_filename(runtime, "bus", nullptr));
        if (!g_file_test(socket.get(), G_FILE_TEST_EXISTS))
            return {};
        GCharPtr escaped(g_dbus_address_escape_value(socket.get()));
        return std::string("unix:path=") + escaped.get();
    }

} // namespace

bool SessionBus::Reply::TimedOut() const noexcept
{
    return error && g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
}

std::string SessionBus::Reply::RemoteErrorName() const
{
    if (!error)
        return {};
    GCharPtr name(g_dbus_error_get_remote_error(error.get()));
    return name ? std::string(name.get()) : std::string();
}

std::unique_ptr<SessionBus> SessionBus::Connect(std::chrono::milliseconds limit)
{
    const std::string address = SessionAddress();
    if (address.empty())
        return nullptr;
    return ConnectTo(address, limit);
}

std::unique_ptr<SessionBus> SessionBus::ConnectTo(
    const std::string& address, std::chrono::milliseconds limit)
{
    GMainContextPtr context(g_main_context_new());
    g_main_context_push_thread_default(context.get());
    GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    auto* pending = new PendingConnect;
    g_dbus_connection_new_for_address(address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
            | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, cancellable.get(), OnConnected, pending);
    RunUntil(context.get(), pending->finished, limit);
    if (!pending->finished) {
        // The handshake runs in a GIO worker thread; cancelling it ends its
        // reads, and the callback then comes at once.
        g_cancellable_cancel(cancellable.get());
        RunUntil(context.get(), pending->finished, std::chrono::milliseconds(200));
    }
    g_main_context_pop_thread_default(context.get());
    if (!pending->finished)
        return nullptr; // `pending` stays with the abandoned callback
    GDBusConnection* connection = pending->connection;
    delete pending;
    if (!connection)
        return nullptr;
    return std::unique_ptr<SessionBus>(new SessionBus(connection, limit));
}

SessionBus::SessionBus(GDBusConnection* connection, std::chrono::milliseconds limit)
    : connection_(connection)
    , limit_(limit)
{
    // A bus that goes away must not end the program.
    g_dbus_connection_set_exit_on_close(connection, FALSE);
}

SessionBus::~SessionBus() { g_dbus_connection_close(connection_.get(), nullptr, nullptr, nullptr); }

SessionBus::Reply SessionBus::Call(const char* destination, const char* object_path,
    const char* interface_name, const char* method, GVariant* parameters,
    const GVariantType* reply_type)
{
    Reply reply;
    GError* error = nullptr;
    reply.value.reset(g_dbus_connection_call_sync(connection_.get(), destination, object_path,
        interface_name, method, parameters, reply_type, G_DBUS_CALL_FLAGS_NONE,
        static_cast<int>(limit_.count()), nullptr, &error));
    reply.error.reset(error);
    return reply;
}

bool SessionBus::NameHasOwner(const std::string& bus_name)
{
    Reply reply = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", bus_name.c_str()), G_VARIANT_TYPE("(b)"));
    if (!reply.value)
        return false;
    gboolean owned = FALSE;
    g_variant_get(reply.value.get(), "(b)", &owned);
    return owned;
}

bool SessionBus::AwaitSignal(const char* sender, const char* interface_name, const char* member,
    const std::function<void()>& cause, const std::function<bool(GVariant*)>& matches)
{
    GMainContextPtr context(g_main_context_new());
    g_main_context_push_thread_default(context.get());
    AwaitedSignal awaited { matches };
    const guint subscription
        = g_dbus_connection_signal_subscribe(connection_.get(), sender, interface_name, member,
            nullptr, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, &awaited, OnReleased);
    cause();
    RunUntil(context.get(), awaited.seen, limit_);
    g_dbus_connection_signal_unsubscribe(connection_.get(), subscription);
    // Signals already queued in the context still refer to `awaited`: GDBus
    // lets go of it there, in an idle callback of the context.
    while (!awaited.released)
        g_main_context_iteration(context.get(), TRUE);
    g_main_context_pop_thread_default(context.get());
    return awaited.seen;
}

} // namespace tarvenia
