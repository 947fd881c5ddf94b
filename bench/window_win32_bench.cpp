// The catalog step of the Win32 window over 10,000 lines, against a bare
// combo box of the same kind given the same titles: with its room set aside
// and its drawing off (the least any filling can cost) and one by one (the
// list growing and updating itself with each item). Needs a display (test-windows runs it under
// Wine inside Xvfb). Prints figures, never judges them.
#include "catalog_step_bench.h"

#include "support/temp_folder.h"
#include "window/tform1.h"
#include "window/win32/win32_view.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tarvenia;
using namespace tarvenia::bench;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;

double Ms(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// A hidden combo box of the window's kind, in a window of its own, filled
// with `titles`; milliseconds of the filling alone.
double FillBareCombo(const std::vector<std::string>& titles, bool at_once)
{
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
        nullptr, ::GetModuleHandleA(nullptr), nullptr);
    HWND combo = ::CreateWindowExA(WS_EX_CLIENTEDGE, "COMBOBOX", "",
        WS_CHILD | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 8, 8, 213, 200, owner, nullptr,
        ::GetModuleHandleA(nullptr), nullptr);
    std::size_t bytes = 0;
    for (const std::string& title : titles)
        bytes += title.size() + 1;
    const auto start = Clock::now();
    if (at_once) {
        ::SendMessageA(combo, CB_INITSTORAGE, titles.size(), static_cast<LPARAM>(bytes));
        ::SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    }
    for (const std::string& title : titles)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    if (at_once)
        ::SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    const auto end = Clock::now();
    ::DestroyWindow(owner);
    return Ms(start, end);
}

} // namespace

int main()
{
    const tarvenia::testing::TempFolder folder;
    const std::string dir = folder.Dir();
    const std::vector<std::string> titles = WriteCatalog(dir + "qndelar.qdl");

    NullStarter workers;
    NullWallpaper wallpaper;
    std::vector<double> steps, at_once, one_by_one;
    for (int round = 0; round < kRounds; ++round) {
        at_once.push_back(FillBareCombo(titles, true));
        one_by_one.push_back(FillBareCombo(titles, false));

        SharedState state;
        state.Paths = WorkPaths::InFolder(dir);
        state.CurrentKey = state.SelectedKey = "29999999";
        state.BaseUrls = { "http://a/", "http://b/" };
        auto view = std::make_unique<win32::Win32View>(::GetModuleHandleA(nullptr), 24);
        auto form = std::make_unique<TForm1>(*view, state, workers, wallpaper, 24);
        view->Create(*form);
        form->FormCreate(dir);
        view->Show();
        state.CatalogReady = true;
        const auto start = Clock::now();
        form->Timer1Timer();
        const auto end = Clock::now();
        if (view->ComboItems().Count() != kCatalogLines) {
            std::fprintf(stderr, "catalog step listed %d entries\n", view->ComboItems().Count());
            return 1;
        }
        steps.push_back(Ms(start, end));
        form.reset();
        view.reset();
    }

    const Spread step = SpreadOf(steps);
    const Spread bare = SpreadOf(at_once);
    const Spread grown = SpreadOf(one_by_one);
    std::printf(
        "catalog step, %d lines, combo filled (Win32): median %.2f ms (min %.2f, max %.2f)\n",
        kCatalogLines, step.median, step.min, step.max);
    std::printf(
        "  reference: the same titles into a bare combo box, room set aside and drawing off: "
        "median %.2f ms "
        "(min %.2f, max %.2f)\n",
        bare.median, bare.min, bare.max);
    std::printf("  reference: the same titles into a bare combo box, one by one: median %.2f ms "
                "(min %.2f, max %.2f)\n",
        grown.median, grown.min, grown.max);
    std::printf("  ratio catalog step / bare combo filled: %.2f\n", step.median / bare.median);
    std::printf(
        "  ratio catalog step / bare combo filled one by one: %.2f\n", step.median / grown.median);
    return 0;
}
