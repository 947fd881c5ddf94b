#include "window/headless/today_run.h"

#include "base/error.h"
#include "base/file.h"

#include <cctype>
#include <exception>

namespace tarvenia::headless {

namespace {

    std::string ReadLastKey(const std::string& path)
    {
        try {
            std::vector<unsigned char> bytes = File::ReadAll(path);
            std::string key(bytes.begin(), bytes.end());
            while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back())))
                key.pop_back();
            return key;
        } catch (const std::exception&) {
            return {}; // no run has set a photo yet
        }
    }

    // Written whole under another name and renamed over the old file: a run
    // that dies halfway never leaves a key that was not set.
    void WriteLastKey(const std::string& path, const std::string& key)
    {
        const std::string temporary = path + ".tmp";
        try {
            File file(temporary, File::Mode::Create);
            file.Write(key + "\n");
            file.Close();
            File::Rename(temporary, path);
        } catch (...) {
            try {
                File::Erase(temporary);
            } catch (...) {
            }
            throw;
        }
    }

} // namespace

class TodayRun::Starter final : public WorkerStarter {
public:
    Starter(TodayRun& run, WorkerStarter& inner)
        : run_(run)
        , inner_(inner)
    {
    }
    void StartWorker(RunKind kind, const std::string& url) override
    {
        // Decided before the photo is fetched: a photo already set is
        // neither downloaded nor confirmed again.
        if (kind == RunKind::Photo && run_.AlreadySet()) {
            run_.already_set_ = true;
            return;
        }
        ++run_.in_flight_;
        try {
            inner_.StartWorker(kind, url);
        } catch (...) {
            --run_.in_flight_; // no thread: this run never ends
            throw;
        }
        run_.photo_started_ = run_.photo_started_ || kind == RunKind::Photo;
    }

private:
    TodayRun& run_;
    WorkerStarter& inner_;
};

class TodayRun::Installer final : public WallpaperInstaller {
public:
    explicit Installer(WallpaperInstaller& inner)
        : inner_(inner)
    {
    }
    bool Install(const std::string& bitmap_path) noexcept override
    {
        accepted = inner_.Install(bitmap_path);
        return accepted;
    }
    bool accepted = false;

private:
    WallpaperInstaller& inner_;
};

TodayRun::TodayRun(HeadlessView& view, HeadlessMainThread& main_thread,
    WallpaperInstaller& wallpaper, std::string last_photo_path, Output output)
    : view_(view)
    , main_thread_(main_thread)
    , last_photo_path_(std::move(last_photo_path))
    , output_(std::move(output))
    , installer_(std::make_unique<Installer>(wallpaper))
{
}

TodayRun::~TodayRun() = default;

WorkerStarter& TodayRun::Workers(WorkerStarter& inner)
{
    starter_ = std::make_unique<Starter>(*this, inner);
    return *starter_;
}

WallpaperInstaller& TodayRun::Wallpaper() { return *installer_; }

void TodayRun::RunEnded(RunKind)
{
    main_thread_.Post([this] { --in_flight_; });
}

void TodayRun::Stop()
{
    main_thread_.Post([this] { stopped_ = true; });
}

bool TodayRun::AlreadySet() const
{
    // CurrentKey is the key of the first listed photo once the catalog step
    // starts its photo run; the bitmap must still be there to be the
    // wallpaper.
    return state_ && !state_->CurrentKey.empty()
        && ReadLastKey(last_photo_path_) == state_->CurrentKey
        && File::Exists(state_->Paths.bitmap);
}

int TodayRun::Run(TForm1& form, SharedState& state)
{
    form_ = &form;
    state_ = &state;
    const int status = Drive();
    view_.Close();
    if (status != kExitDone)
        return status;
    if (!already_set_) {
        try {
            WriteLastKey(last_photo_path_, state.CurrentKey);
        } catch (const std::exception& e) {
            // The wallpaper is set; the next run only does the work again.
            output_.message(last_photo_path_ + ": " + e.what());
        }
    }
    output_.line(view_.ComboItems().Get(0) + " (" + state.CurrentKey + ")");
    return kExitDone;
}

int TodayRun::Drive()
{
    TForm1& form = *form_;
    form.bconClick();
    if (view_.ErrorBoxes() > 0)
        return kExitFailed; // the box said why

    // The timer's ticks, each as soon as a worker has handed something over
    // or ended, until the first photo is shown or nothing more can come.
    for (;;) {
        main_thread_.RunPending(kTimerPeriod);
        if (stopped_)
            return Fail("stopped before the photo was set");
        form.Timer1Timer();
        view_.Draw();
        if (view_.ErrorBoxes() > 0)
            return kExitFailed;
        if (already_set_)
            return kExitDone;
        if (form.State() == TForm1::WindowState::PhotoShown)
            break;
        if (in_flight_ == 0)
            return Fail(WhyNoPhoto());
    }

    form.bcnfClick();
    if (view_.ErrorBoxes() > 0)
        return kExitFailed;
    // The service hears of the choice before the run ends.
    while (in_flight_ > 0 && !stopped_)
        main_thread_.RunPending(kTimerPeriod);
    if (!installer_->accepted)
        return Fail("the desktop did not take " + state_->Paths.bitmap + " as its wallpaper");
    return kExitDone;
}

std::string TodayRun::WhyNoPhoto() const
{
    const std::string status = " (last status: " + view_.StatusText() + ")";
    if (!photo_started_) {
        if (view_.ComboItems().Count() == 0)
            return "no photo is listed" + status;
        return "the first listed photo has no address" + status;
    }
    if (!view_.LoadFailure().empty())
        return "the photo received is no picture: " + view_.LoadFailure() + status;
    return "the photo could not be stored in " + state_->Paths.photo + status;
}

int TodayRun::Fail(const std::string& message)
{
    output_.message(message);
    return kExitFailed;
}

} // namespace tarvenia::headless
