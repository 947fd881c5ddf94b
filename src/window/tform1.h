// The main window's controller: every handler of the window, toolkit-neutral.
#pragma once

#include "lists/packed_strings.h"
#include "protocol/shared_state.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "window/keyboard.h"
#include "window/view.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace tarvenia {

class TForm1 {
public:
    TForm1(TView& view, SharedState& state, WorkerStarter& workers, WallpaperInstaller& wallpaper,
        int display_depth);

    // What the combo box lists. The caption of bfav names the other one:
    // "Favoritas" in the all-photos view, "Todas" in the favourites view.
    enum class ViewMode { AllPhotos, Favourites };

    // The window's states, each with its own set of visible commands (bsal
    // always): Idle (bcon), Connecting and CatalogLoaded (none), PhotoShown
    // (bcnf, badd, combo, and bfav while the favourites file exists),
    // PhotoChange (none; the previous photo stays on show).
    enum class WindowState { Idle, Connecting, CatalogLoaded, PhotoShown, PhotoChange };

    // FormCreate: places the window near the lower right corner of the
    // primary screen, empties the lists, and fixes FavoritesPath in
    // `favorites_dir` (which ends with its separator). The window starts Idle
    // in the all-photos view.
    void FormCreate(const std::string& favorites_dir);
    void FormClose();

    // Event handlers. Each one that may fail reports through the default
    // error box itself; none throws to the front-end.
    void bsalClick();
    void bconClick();
    void Timer1Timer();
    void comboChange(); // a pick from the list
    void comboEdited(); // an edit of the combo's text field
    void bcnfClick();
    void bfavClick();
    void baddClick();

    void vis_bfav();
    void conversio();

    // A key pressed in the window while `focused` holds the keyboard focus
    // (none: the window itself). Space and Return run the focused button;
    // the window-wide shortcuts (keyboard.h) run their control's handler,
    // the same one a click runs, and only while the control is visible.
    // Returns whether the key ran a command; the front-end then drops it,
    // otherwise the toolkit handles it (Tab, the combo box's keys).
    bool KeyPress(const Key& key, std::optional<Control> focused);

    // A status text of a worker, on the window's thread. The first text of
    // each state is announced to assistive technology, and so is every
    // text but a running byte count: a download is heard once, not once
    // per KiB read.
    void ShowStatus(const std::string& text);

    ViewMode Mode() const { return mode_; }
    // Switches the view without reloading the list; bfav's caption follows.
    void SetMode(ViewMode mode);
    WindowState State() const { return window_state_; }

    // The lists parallel to the combo box's items, and the favourites file.
    // Only the window's thread uses them.
    PackedStrings EntryBases;
    PackedStrings EntryKeys;
    std::string FavoritesPath;

    // The default error box rule: the text, "." appended when its last byte
    // sorts above "." (unsigned), caption "Imagenes de Tarvenia".
    void ShowException(const std::string& text);
    static std::string ErrorBoxText(const std::string& text);

private:
    // Runs a handler; an error ends it and is shown in the error box.
    void Dispatch(const std::function<void()>& handler);

    // Sets the visible commands of `state`, always in the order bcon, bcnf,
    // bfav, badd, combo.
    void Enter(WindowState state);
    // Runs the handler of a click on `control`.
    void Click(Control control);
    // Starts the photo run of entry `i`, the combo box's title of it being
    // what the preview will be named once the photo has come.
    void StartPhotoRun(int i, const std::string& key);
    void DoComboChange();
    // Lists the catalog copy or the favourites file in the combo box and
    // chooses its first entry.
    void ShowList(ViewMode mode);
    void DoBaddClick();
    void CatalogStep();
    void PhotoStep();

    TView& view_;
    SharedState& state_;
    WorkerStarter& workers_;
    WallpaperInstaller& wallpaper_;
    int display_depth_;
    std::string wallpaper_path_;
    ViewMode mode_ = ViewMode::AllPhotos;
    WindowState window_state_ = WindowState::Idle;
    bool status_announced_ = false; // in the current state
    // The control that held the focus when a state hid it: it gets the
    // focus back when it shows again.
    std::optional<Control> focus_back_;
    std::string coming_title_; // of the photo being downloaded
};

} // namespace tarvenia
