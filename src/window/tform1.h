// The main window's controller: every handler of the window, toolkit-neutral.
#pragma once

#include "protocol/shared_state.h"
#include "protocol/worker_starter.h"
#include "window/view.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace tarvenia {

class WallpaperInstaller;

class TForm1 {
public:
    TForm1(TView& view, SharedState& state, WorkerStarter& workers, WallpaperInstaller& wallpaper,
        int display_depth);

    // FormCreate: the window's placement for a screen of that size (returned
    // for the front-end to apply), the lists, FavoritesPath.
    struct Placement {
        int left;
        int top;
    };
    Placement FormCreate(int screen_width, int screen_height, const std::string& executable_dir);
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

    // The lists parallel to the combo box's items, and the favourites file
    // beside the executable. Only the window's thread uses them.
    std::vector<std::string> EntryBases;
    std::vector<std::string> EntryKeys;
    std::string FavoritesPath;

    // The default error box rule: the text, "." appended when its last byte
    // sorts above "." (unsigned), caption "Imagenes de Tarvenia".
    void ShowException(const std::string& text);
    static std::string ErrorBoxText(const std::string& text);

private:
    // Runs a handler; an error ends it and is shown in the error box.
    void Dispatch(const std::function<void()>& handler);

    void DoComboChange();
    void DoBfavClick();
    void DoBaddClick();
    void CatalogStep();
    void PhotoStep();

    TView& view_;
    SharedState& state_;
    WorkerStarter& workers_;
    WallpaperInstaller& wallpaper_;
    int display_depth_;
    std::string wallpaper_path_;
};

} // namespace tarvenia
