#include "web/vazi_dov_thread.h"

#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "protocol/addresses.h"
#include "protocol/daily_response.h"
#include "protocol/date_key.h"
#include "protocol/main_thread.h"

#include <algorithm>
#include <new>
#include <thread>
#include <vector>

namespace tarvenia {

namespace {

    constexpr std::uint32_t kReadSize = 1024;
    constexpr std::size_t kWriteBufferSize = 64 * 1024;

    // A request that could not be had at all behaves like an address that
    // cannot be opened.
    std::unique_ptr<HttpRequest> Open(HttpSession& session, const std::string& url, bool reload)
    {
        auto request = session.OpenUrl(url, reload);
        if (!request)
            request = ClosedSession()->OpenUrl(url, reload);
        if (!request)
            throw std::bad_alloc(); // ends the run, as any failure of the worker
        return request;
    }

    // The counter is a signed 32-bit number that wraps rather than
    // overflowing into undefined behaviour.
    std::int32_t AddCount(std::int32_t counter, std::uint32_t n)
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + n);
    }

} // namespace

TVaziDovThread::TVaziDovThread(SharedState& state, WorkerServices services, RunKind kind)
    : state_(state)
    , services_(std::move(services))
    , kind_(kind)
{
    // The confirmation takes the flag with it. Left raised until the run
    // ends, it would turn a photo worker started meanwhile into a second
    // confirmation; cleared only at the end, it could swallow the flag of a
    // newer "Confirmar" that is about to start its own worker.
    if (kind_ == RunKind::Confirmation)
        state_.ConfirmPending.store(false, std::memory_order_release);
}

void TVaziDovThread::Start()
{
    std::thread([this] {
        Execute();
        // Taken before the worker may free itself.
        const std::function<void(RunKind)> ended = services_.run_ended;
        const RunKind kind = kind_;
        if (FreeOnTerminate)
            delete this;
        if (ended)
            ended(kind);
    }).detach();
}

void TVaziDovThread::Execute()
{
    try {
        byte_count_ = 0;
        std::unique_ptr<HttpSession> session;
        if (services_.open_session)
            session = services_.open_session();
        if (!session)
            session = ClosedSession();
        switch (kind_) {
        case RunKind::Confirmation:
            ConfirmationRun(*session);
            break;
        case RunKind::Photo:
            PhotoRun(*session);
            break;
        case RunKind::FirstConnection:
            FirstConnectionRun(*session);
            break;
        }
    } catch (...) {
        // The worker has nobody to report to; its flag simply stays down.
    }
}

void TVaziDovThread::ShowStatus()
{
    if (services_.set_status)
        services_.set_status(StatusText);
}

void TVaziDovThread::Synchronize()
{
    if (services_.main_thread)
        services_.main_thread->RunAndWait([this] { ShowStatus(); });
    else
        ShowStatus();
}

void TVaziDovThread::ConfirmationRun(HttpSession& session)
{
    try {
        // Sent and answered; the answer itself is of no interest.
        Open(session, Url, true);
    } catch (...) {
    }
}

void TVaziDovThread::PhotoRun(HttpSession& session)
{
    auto request = Open(session, Url, false);
    StatusText = texts::kConexion;
    Synchronize();
    bool stored = Download(*request, state_.Paths.photo);
    request.reset();
    if (stored)
        state_.ImageReady.store(true, std::memory_order_release);
}

void TVaziDovThread::FirstConnectionRun(HttpSession& session)
{
    // Part one: the daily response. Whatever fails here, the catalog is
    // still fetched.
    try {
        std::string today = services_.today_key ? services_.today_key() : DateKeyToday();
        auto request = Open(session, DailyAddress(today), true);
        StatusText = texts::kConexion;
        Synchronize();
        DailyResponseText text;
        char buffer[kReadSize];
        for (;;) {
            std::uint32_t n = std::min(request->Read(buffer, kReadSize), kReadSize);
            if (n > 0)
                text.OnRead(buffer, n);
            byte_count_ = AddCount(byte_count_, n);
            if (n == 0)
                break;
        }
        request.reset();
        ParseDailyResponse(text.Text(), state_.CurrentKey, state_.SelectedKey, state_.BaseUrls);
    } catch (...) {
    }

    // Part two: the catalog copy; the byte counter runs on from part one.
    try {
        auto request = Open(session, CatalogAddress(), true);
        StatusText = texts::kConexion;
        Synchronize();
        bool stored = Download(*request, state_.Paths.catalog);
        request.reset();
        if (stored)
            state_.CatalogReady.store(true, std::memory_order_release);
    } catch (...) {
    }
}

bool TVaziDovThread::Download(HttpRequest& request, const std::string& path)
{
    try {
        File file(path, File::Mode::Create);
        // Reads land in a larger buffer that goes to the file when full and
        // at the end: one write per 64 KiB instead of one per read. Nobody
        // reads the file before the run raises its flag, so only the content
        // at the end matters, and a failing write still ends the run.
        std::vector<char> pending(kWriteBufferSize);
        std::size_t used = 0;
        for (;;) {
            if (pending.size() - used < kReadSize) {
                file.Write(pending.data(), used);
                used = 0;
            }
            std::uint32_t n = std::min(request.Read(pending.data() + used, kReadSize), kReadSize);
            used += n;
            byte_count_ = AddCount(byte_count_, n);
            StatusText = std::to_string(byte_count_) + texts::kBytesRecibidos;
            Synchronize();
            if (n == 0)
                break;
        }
        if (used > 0)
            file.Write(pending.data(), used);
        file.Close();
        return true;
    } catch (const IoError&) {
        // A work folder that cannot be written ends the run quietly.
        return false;
    }
}

} // namespace tarvenia
