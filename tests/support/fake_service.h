// A desktop service played by the test on a private bus: it owns a bus name,
// serves one object and records the calls it gets. A silent one never
// answers, like a hung desktop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <gio/gio.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvenia::testing {

class FakeService {
public:
    enum class Mode { Answer, Silent };
    struct Call {
        std::string method;
        std::string first_string; // the first argument when it is a string
    };

    FakeService(const std::string& bus_address, std::string bus_name, std::string object_path,
        std::string interface_xml, Mode mode);
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    bool ready() const { return ready_; }
    std::vector<Call> calls();

private:
    void Run(std::string bus_address);
    static void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
        const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
        gpointer self);

    std::string bus_name_;
    std::string object_path_;
    std::string interface_xml_;
    Mode mode_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::vector<GDBusMethodInvocation*> unanswered_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false;
    bool ready_ = false;
    std::vector<Call> calls_;
    std::thread thread_;
};

} // namespace tarvenia::testing
