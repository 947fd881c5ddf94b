// What the window controller needs from a front-end (Qt, Win32, or a fake in
// tests). A front-end only draws controls and forwards events; every decision
// lives in TForm1. Texts are Windows-1252 bytes.
#pragma once

#include "lists/catalog.h"
#include "window/layout.h"

#include <optional>
#include <string>

namespace tarvenia {

// The controls keep the short names of the stored layout:
//   bsal   the "Salir" button: closes the window
//   bcon   the "Conectar" button: starts the first connection
//   bcnf   the "Confirmar" button: makes the shown photo the wallpaper
//   bfav   the view switch, captioned "Favoritas" or "Todas": lists the
//          favourites or the whole catalog
//   badd   the small glyph button beside the combo box: adds the shown photo
//          to the favourites, or removes it in the favourites view
//   combo  the combo box listing the photos; a pick downloads that photo
// Image1 (the preview), StatusBar1, GroupBox1 and Bevel1 are drawn by the
// front-ends and need no name here; window/layout.h places them all.
enum class Control { bsal, bcon, bcnf, bfav, badd, combo };

class TView {
public:
    virtual ~TView() = default;

    // The primary screen's full rectangle in desktop coordinates (not the
    // work area without panels); its left and top are not zero when another
    // monitor lies left of or above it.
    virtual layout::Box PrimaryScreen() const = 0;
    // Puts the window's outer top-left corner at (left, top), in desktop
    // coordinates.
    virtual void MoveTo(int left, int top) = 0;

    virtual void SetVisible(Control control, bool visible) = 0;
    virtual bool IsVisible(Control control) const = 0;

    // The simple text of StatusBar1. An announced text also reaches
    // assistive technology as the status bar's new name; a silent one (a
    // running byte count) is only drawn.
    virtual void SetStatusText(const std::string& text, bool announce) = 0;

    // Loads the picture file into Image1, replacing the one shown. Only the
    // load happens here (the file read and its header checked; failures throw
    // the load's Error and keep the previous picture); the decode happens when
    // Image1 first draws it, and a decode failure then goes to
    // TForm1::ShowException once, after the paint.
    virtual void LoadPicture(const std::string& path) = 0;

    // The title of the photo Image1 shows: the preview's name for screen
    // readers. Draws nothing.
    virtual void SetPictureTitle(const std::string& title) = 0;

    // The combo box: its items, selection and the text of its edit field.
    virtual StringList& ComboItems() = 0;
    virtual int ComboSelectedIndex() const = 0;
    // Selects an item (-1: none) without firing comboChange.
    virtual void SetComboSelectedIndex(int index) = 0;
    virtual std::string ComboText() const = 0;
    virtual void SetComboText(const std::string& text) = 0;

    virtual std::string Caption(Control control) const = 0;
    virtual void SetCaption(Control control, const std::string& caption) = 0;
    virtual void SetHint(Control control, const std::string& hint) = 0;
    virtual std::string Hint(Control control) const = 0;
    // The glyph of badd: image 0 (folder) or 1 (waste bin) of ImageList1.
    virtual void SetAddGlyph(int image_index) = 0;

    // The control holding the keyboard focus; none when the window itself
    // holds it (or another window does).
    virtual std::optional<Control> FocusedControl() const = 0;
    // Gives the keyboard focus to `control`, or to the window itself. No
    // focus frame is drawn for it until the keyboard has been used.
    virtual void SetFocus(std::optional<Control> control) = 0;

    // The default error box: modal, `text` as given, caption `caption`, an OK
    // button and the stop icon.
    virtual void ShowErrorBox(const std::string& text, const std::string& caption) = 0;

    // Closes the window as its close box does (FormClose then runs).
    virtual void Close() = 0;
};

} // namespace tarvenia
