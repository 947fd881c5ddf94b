#include "window/tform1.h"

#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "imaging/bmp.h"
#include "lists/catalog.h"
#include "protocol/addresses.h"

#include <algorithm>

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

void TForm1::FormCreate(const std::string& favorites_dir)
{
    // Near the lower right corner of the primary screen, in its own
    // coordinates: with a monitor left of or above it, its origin is not 0.
    const layout::Box screen = view_.PrimaryScreen();
    view_.MoveTo(screen.left + screen.width - 275, screen.top + screen.height - 350);
    state_.BaseUrls.clear();
    EntryBases.clear();
    EntryKeys.clear();
    FavoritesPath = favorites_dir + "qndelarf.qdl";
    SetMode(ViewMode::AllPhotos);
    Enter(WindowState::Idle);
    // The focus starts on the one command that does something new.
    view_.SetFocus(Control::bcon);
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
        Enter(WindowState::Connecting);
        ShowStatus(texts::kConectando);
        workers_.StartWorker(RunKind::FirstConnection, ServiceBaseAddress());
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
    Enter(WindowState::CatalogLoaded);
    StartPhotoRun(0, state_.CurrentKey);
}

void TForm1::StartPhotoRun(int i, const std::string& key)
{
    const std::string address
        = PhotoAddress(state_.BaseUrls, std::string(ListAt(EntryBases, i)), key);
    coming_title_ = view_.ComboItems().Get(i);
    workers_.StartWorker(RunKind::Photo, address);
}

void TForm1::PhotoStep()
{
    if (!state_.ImageReady.exchange(false, std::memory_order_acq_rel))
        return;
    ShowStatus(texts::kDescargaCompletada);
    view_.LoadPicture(state_.Paths.photo);
    view_.SetPictureTitle(coming_title_);
    Enter(WindowState::PhotoShown);
    if (state_.SelectedKey == state_.CurrentKey && mode_ == ViewMode::AllPhotos)
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
    Enter(WindowState::PhotoChange);
    const int i = view_.ComboSelectedIndex();
    state_.SelectedKey = ListAt(EntryKeys, i);
    StartPhotoRun(i, state_.SelectedKey);
}

void TForm1::Enter(WindowState state)
{
    if (state != window_state_)
        status_announced_ = false;
    window_state_ = state;
    const bool photo_shown = state == WindowState::PhotoShown;
    // A control hidden with the focus hands it to the window, never to the
    // next control: a key meant for the combo box must not quit.
    if (const auto focused = view_.FocusedControl()) {
        const bool stays = *focused == Control::bsal || photo_shown
            || (*focused == Control::bcon && state == WindowState::Idle);
        if (!stays) {
            focus_back_ = focused;
            view_.SetFocus(std::nullopt);
        }
    }
    // "Conectar" works once: only the window that has not connected shows it.
    view_.SetVisible(Control::bcon, state == WindowState::Idle);
    // While a download runs, nothing that could start another one is shown.
    view_.SetVisible(Control::bcnf, photo_shown);
    if (photo_shown)
        vis_bfav();
    else
        view_.SetVisible(Control::bfav, false);
    view_.SetVisible(Control::badd, photo_shown);
    view_.SetVisible(Control::combo, photo_shown);
    if (focus_back_ && view_.IsVisible(*focus_back_)) {
        view_.SetFocus(focus_back_);
        focus_back_.reset();
    }
}

bool TForm1::KeyPress(const Key& key, std::optional<Control> focused)
{
    const bool plain = !key.ctrl && !key.alt && !key.shift;
    if (focused && *focused != Control::combo && view_.IsVisible(*focused) && plain
        && (key.code == Key::Code::Space || key.code == Key::Code::Return)) {
        Click(*focused);
        return true;
    }
    // Page Up and Page Down choose an entry a list's page away (the rows the
    // dropped list shows), clamped to the ends, as every toolkit's list
    // does; the arrow keys are the combo box's own.
    if (focused == Control::combo && plain && view_.IsVisible(Control::combo)
        && (key.code == Key::Code::PageUp || key.code == Key::Code::PageDown)) {
        const int last = view_.ComboItems().Count() - 1;
        const int i = view_.ComboSelectedIndex();
        const int step = key.code == Key::Code::PageDown ? layout::kComboRows : -layout::kComboRows;
        const int chosen = std::clamp(i + step, 0, std::max(last, 0));
        if (last >= 0 && chosen != i) {
            view_.SetComboSelectedIndex(chosen);
            comboChange();
        }
        return true;
    }
    int count = 0;
    const Shortcut* shortcuts = Shortcuts(count);
    for (int i = 0; i < count; ++i) {
        const Shortcut& s = shortcuts[i];
        if (s.key == key && view_.IsVisible(s.control)
            && (!s.caption || view_.Caption(s.control) == s.caption)) {
            Click(s.control);
            return true;
        }
    }
    return false;
}

void TForm1::Click(Control control)
{
    switch (control) {
    case Control::bsal:
        bsalClick();
        break;
    case Control::bcon:
        bconClick();
        break;
    case Control::bcnf:
        bcnfClick();
        break;
    case Control::bfav:
        bfavClick();
        break;
    case Control::badd:
        baddClick();
        break;
    case Control::combo:
        break;
    }
}

void TForm1::ShowStatus(const std::string& text)
{
    const std::string count_suffix = texts::kBytesRecibidos;
    const bool count = text.size() >= count_suffix.size()
        && text.compare(text.size() - count_suffix.size(), count_suffix.size(), count_suffix) == 0;
    view_.SetStatusText(text, !count || !status_announced_);
    status_announced_ = true;
}

void TForm1::SetMode(ViewMode mode)
{
    mode_ = mode;
    view_.SetCaption(
        Control::bfav, mode == ViewMode::AllPhotos ? texts::kFavoritas : texts::kTodas);
}

void TForm1::vis_bfav()
{
    view_.SetVisible(Control::bfav, File::Exists(FavoritesPath));
    view_.SetAddGlyph(mode_ == ViewMode::AllPhotos ? 0 : 1);
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
        Enter(WindowState::PhotoShown); // a confirmation hides nothing
        workers_.StartWorker(RunKind::Confirmation, ConfirmationAddress(state_.SelectedKey));
        wallpaper_path_ = state_.Paths.bitmap;
        wallpaper_.Install(wallpaper_path_);
    });
}

void TForm1::bfavClick()
{
    Dispatch([this] {
        ShowList(mode_ == ViewMode::AllPhotos ? ViewMode::Favourites : ViewMode::AllPhotos);
    });
}

void TForm1::ShowList(ViewMode mode)
{
    // The hint, the emptied lists and the caption stay switched when the
    // file cannot be listed.
    view_.SetHint(
        Control::badd, mode == ViewMode::AllPhotos ? texts::kHintAdd : texts::kHintRemove);
    StringList& items = view_.ComboItems();
    items.Clear();
    EntryBases.clear();
    EntryKeys.clear();
    SetMode(mode);
    LoadEntries(mode == ViewMode::Favourites ? FavoritesPath : state_.Paths.catalog,
        state_.CurrentKey, items, EntryBases, EntryKeys);
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
    if (mode_ == ViewMode::AllPhotos) {
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
        // The only favourite: the file goes and the whole catalog is listed.
        File::Erase(FavoritesPath);
        vis_bfav();
        ShowList(ViewMode::AllPhotos);
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
    ShowList(ViewMode::Favourites);
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
