// The keyboard of every front-end reaches the same handlers: one suite
// (keyboard_contract_test.cpp) runs against each through this adapter, which
// each front-end's tests implement and instantiate the suite with. The
// adapter makes its window on the parts below, binds it to `form` and runs
// FormCreate in `Dir()`, then shows the window.
#pragma once

#include "protocol/shared_state.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "support/temp_folder.h"
#include "window/keyboard.h"
#include "window/tform1.h"
#include "window/view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvenia::testing {

class KeyboardFrontEnd {
public:
    virtual ~KeyboardFrontEnd() = default;
    virtual TView& View() = 0;
    // Presses `key` as the user does, through the toolkit's own events, in
    // the control that holds the focus, and lets the events it causes run.
    virtual void Press(const Key& key) = 0;
    // Whether the window has closed (FormClose has run).
    virtual bool Closed() const = 0;
    // Whether the window draws focus frames and mnemonics.
    virtual bool KeyboardCues() const = 0;

    struct Run {
        RunKind kind;
        std::string url;
    };
    class Workers : public WorkerStarter {
    public:
        void StartWorker(RunKind kind, const std::string& url) override
        {
            runs.push_back({ kind, url });
        }
        std::vector<Run> runs;
    };
    class Wallpaper : public WallpaperInstaller {
    public:
        bool Install(const std::string& path) noexcept override
        {
            paths.push_back(path);
            return true;
        }
        std::vector<std::string> paths;
    };

    std::string Dir() const { return temp_.Dir(); }
    TempFolder temp_;
    SharedState state;
    Workers workers;
    Wallpaper wallpaper;
    std::unique_ptr<TForm1> form;
};

using KeyboardFrontEndFactory = std::unique_ptr<KeyboardFrontEnd> (*)();

class KeyboardContract : public ::testing::TestWithParam<KeyboardFrontEndFactory> {
protected:
    void SetUp() override { front_ = GetParam()(); }
    void TearDown() override { front_.reset(); }
    std::unique_ptr<KeyboardFrontEnd> front_;
};

} // namespace tarvenia::testing
