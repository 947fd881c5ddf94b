// The window-less run ("quindelar --today"): drives TForm1 through its
// HeadlessView exactly as a person drives the window, "Conectar", the
// timer's ticks, then "Confirmar" on the photo the window shows first, and
// closes it; every rule, text and file is the window's own. A photo that an
// earlier run already made the wallpaper is neither fetched nor confirmed
// again.
#pragma once

#include "protocol/shared_state.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "window/headless/headless_main_thread.h"
#include "window/headless/headless_view.h"
#include "window/tform1.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tarvenia::headless {

// The program's exit statuses.
inline constexpr int kExitDone = 0; // the photo is the wallpaper
inline constexpr int kExitFailed = 1; // the reason went to standard error
inline constexpr int kExitUsage = 2; // an unknown option
inline constexpr int kExitBusy = 3; // the window is open, or another run did not end

class TodayRun {
public:
    struct Output {
        // The photo's line ("title (key)") on success.
        std::function<void(const std::string&)> line;
        // A message of the run's own, where the window would show none.
        std::function<void(const std::string&)> message;
    };

    // `last_photo_path` is the file that remembers the key of the photo the
    // last successful run set.
    TodayRun(HeadlessView& view, HeadlessMainThread& main_thread, WallpaperInstaller& wallpaper,
        std::string last_photo_path, Output output);
    ~TodayRun();

    // What the composition puts between TForm1 and its workers' starter: it
    // counts the runs in flight and declines the photo run of a photo that is
    // already the wallpaper.
    WorkerStarter& Workers(WorkerStarter& inner);
    // What the composition gives TForm1 as its installer: the system's (as
    // given to the constructor), with the desktop's answer kept.
    WallpaperInstaller& Wallpaper();
    // A started run has ended (any thread; after its flag, if any).
    void RunEnded(RunKind kind);
    // Ends the run as a failure at its next look (any thread; a signal).
    void Stop();

    // Runs the day's photo through `form`, bound to the view, and closes it
    // (the work files go, the bitmap stays). Returns the exit status.
    int Run(TForm1& form, SharedState& state);

    // The window's timer period: the longest the run waits without a worker
    // telling it anything.
    static constexpr std::chrono::milliseconds kTimerPeriod { 1000 };

private:
    class Starter;
    class Installer;

    int Drive();
    bool AlreadySet() const;
    std::string WhyNoPhoto() const;
    int Fail(const std::string& message);

    HeadlessView& view_;
    HeadlessMainThread& main_thread_;
    std::string last_photo_path_;
    Output output_;
    std::unique_ptr<Installer> installer_;
    std::unique_ptr<Starter> starter_;
    TForm1* form_ = nullptr;
    SharedState* state_ = nullptr;
    // Main thread only (RunEnded posts its count there).
    int in_flight_ = 0;
    bool already_set_ = false;
    bool photo_started_ = false;
    bool stopped_ = false;
};

} // namespace tarvenia::headless
