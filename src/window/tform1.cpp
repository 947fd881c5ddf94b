#include "window/tform1.h"

#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "desktop/wallpaper.h"
#include "imaging/bmp.h"
#include "lists/catalog.h"
#include "protocol/addresses.h"

namespace tarvenia {

TForm1::TForm1(TView& view, SharedState& state, WorkerStarter& workers,
    WallpaperInstaller& wallpaper, int display_depth)
    : view_(view)
    , state_(state)
    , workers_(workers)
    , wallpaper_(wallpaper)
    , display_depth_(display_depth)
{
}

TForm1::Placement TForm1::FormCreate(
    int screen_width, int screen_height, const std::string& executable_dir)
{
    Placement placement { screen_width - 275, screen_height - 350 };
    state_.BaseUrls.clear();
    EntryBases.clear();
    EntryKeys.clear();
    FavoritesPath = executable_dir + "qndelarf.qdl";
    return placement;
}

void TForm1::FormClose()
{
    // The photo file is only removed when it can be opened for writing: a
    // read-only photo stays, and so does one that is missing. Nothing here is
    // ever reported; the catalog copy is handled whatever happened before.
    try {
        File photo(state_.Paths.photo, File::Mode::ReadWriteShared);
        photo.Close();
        File::Erase(state_.Paths.photo);
    } catch (...) {
    }
    try {
        if (File::Exists(state_.Paths.catalog))
            File::Erase(state_.Paths.catalog);
    } catch (...) {
    }
}

void TForm1::bsalClick() { view_.Close(); }

void TForm1::bconClick()
{
    Dispatch([this] {
        state_.CatalogReady = false;
        state_.ImageReady = false;
        state_.CurrentKey.clear();
        view_.SetVisible(Control::bcon, false);
        view_.SetStatusText(texts::kConectando);
        workers_.StartWorker(ServiceBaseAddress());
    });
}

void TForm1::Timer1Timer()
{
    // Two independent steps; a failure of one never stops the other and a
    // tick never shows a message.
    try {
        CatalogStep();
    } catch (...) {
    }
    try {
        PhotoStep();
    } catch (...) {
    }
}

void TForm1::CatalogStep()
{
    // The flag is cleared before anything else so that the step runs once for
    // each raising of it, whatever happens below.
    if (!state_.CatalogReady.exchange(false, std::memory_order_acq_rel))
        return;
    LoadEntries(state_.Paths.catalog, state_.CurrentKey, view_.ComboItems(), EntryBases, EntryKeys);
    state_.CurrentKey = ListAt(EntryKeys, 0);
    view_.SetComboSelectedIndex(0);
    workers_.StartWorker(PhotoAddress(state_.BaseUrls, ListAt(EntryBases, 0), EntryKeys[0]));
}

void TForm1::PhotoStep()
{
    if (!state_.ImageReady.exchange(false, std::memory_order_acq_rel))
        return;
    view_.SetStatusText(texts::kDescargaCompletada);
    view_.LoadPicture(state_.Paths.photo);
    view_.SetVisible(Control::bcnf, true);
    vis_bfav();
    view_.SetVisible(Control::badd, true);
    view_.SetVisible(Control::combo, true);
    if (state_.SelectedKey == state_.CurrentKey
        && view_.Caption(Control::bfav) == texts::kFavoritas)
        view_.SetComboText(view_.ComboItems().Get(0));
}

void TForm1::comboChange()
{
    Dispatch([this] { DoComboChange(); });
}

void TForm1::comboEdited()
{
    // Typing into the edit field only changes its text. The selection stays
    // on the entry whose photo is shown, so nothing is downloaded and an add
    // to the favourites writes the typed title with that photo's key.
}

void TForm1::DoComboChange()
{
    state_.ImageReady = false;
    view_.SetVisible(Control::bcnf, false);
    view_.SetVisible(Control::bfav, false);
    view_.SetVisible(Control::badd, false);
    view_.SetVisible(Control::combo, false);
    const int i = view_.ComboSelectedIndex();
    state_.SelectedKey = ListAt(EntryKeys, i);
    workers_.StartWorker(PhotoAddress(state_.BaseUrls, ListAt(EntryBases, i), state_.SelectedKey));
}

void TForm1::vis_bfav()
{
    view_.SetVisible(Control::bfav, File::Exists(FavoritesPath));
    view_.SetAddGlyph(view_.Caption(Control::bfav) == texts::kFavoritas ? 0 : 1);
}

void TForm1::conversio()
{
    tarvenia::conversio(state_.Paths.photo, state_.Paths.bitmap, display_depth_);
}

void TForm1::bcnfClick()
{
    Dispatch([this] {
        conversio();
        state_.ConfirmPending = true;
        view_.SetVisible(Control::bcon, false);
        workers_.StartWorker(ConfirmationAddress(state_.SelectedKey));
        wallpaper_path_ = state_.Paths.bitmap;
        wallpaper_.Install(wallpaper_path_);
    });
}

void TForm1::bfavClick()
{
    Dispatch([this] { DoBfavClick(); });
}

void TForm1::DoBfavClick()
{
    view_.SetHint(Control::badd,
        view_.Caption(Control::bfav) == texts::kTodas ? texts::kHintAdd : texts::kHintRemove);
    StringList& items = view_.ComboItems();
    items.Clear();
    EntryBases.clear();
    EntryKeys.clear();
    std::string path;
    if (view_.Caption(Control::bfav) == texts::kFavoritas) {
        view_.SetCaption(Control::bfav, texts::kTodas);
        path = FavoritesPath;
    } else {
        view_.SetCaption(Control::bfav, texts::kFavoritas);
        path = state_.Paths.catalog;
    }
    LoadEntries(path, state_.CurrentKey, items, EntryBases, EntryKeys);
    view_.SetVisible(Control::combo, true);
    const bool any = items.Count() > 0;
    view_.SetComboText(any ? items.Get(0) : std::string());
    view_.SetComboSelectedIndex(any ? 0 : -1);
    DoComboChange();
}

void TForm1::baddClick()
{
    Dispatch([this] { DoBaddClick(); });
}

void TForm1::DoBaddClick()
{
    if (view_.Caption(Control::bfav) == texts::kFavoritas) {
        const int i = view_.ComboSelectedIndex();
        CatalogWriter writer = CatalogWriter::AppendOrCreate(FavoritesPath);
        writer.WriteLine(ListAt(EntryKeys, i), ListAt(EntryBases, i), view_.ComboText());
        writer.Close();
        vis_bfav();
        return;
    }
    if (!File::Exists(FavoritesPath))
        return;
    StringList& items = view_.ComboItems();
    if (items.Count() == 1) {
        File::Erase(FavoritesPath);
        vis_bfav();
        view_.SetCaption(Control::bfav, texts::kTodas);
        DoBfavClick();
        return;
    }
    const int i = view_.ComboSelectedIndex();
    // The rewrite replaces the file only once it is complete, so a failure
    // while writing never costs the user the favourites they had.
    CatalogWriter writer = CatalogWriter::Replace(FavoritesPath);
    for (int j = 0; j < items.Count(); ++j) {
        if (j != i)
            writer.WriteLine(ListAt(EntryKeys, j), ListAt(EntryBases, j), items.Get(j));
    }
    writer.Close();
    vis_bfav();
    view_.SetCaption(Control::bfav, texts::kFavoritas);
    DoBfavClick();
}

std::string TForm1::ErrorBoxText(const std::string& text)
{
    std::string shown = text;
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.')
        shown += '.';
    return shown;
}

void TForm1::ShowException(const std::string& text)
{
    view_.ShowErrorBox(ErrorBoxText(text), texts::kAppTitle);
}

void TForm1::Dispatch(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
}

} // namespace tarvenia
