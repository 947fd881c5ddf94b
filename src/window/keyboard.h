// The window's keyboard commands, toolkit-neutral: a key as every front-end
// reports it, and the window-wide shortcuts TForm1 runs (TForm1::KeyPress).
// Tab, the arrow keys in the combo box and the keys of its dropped-down list
// stay the toolkit's own; everything that runs a command is decided here.
#pragma once

#include "window/view.h"

#include <string>

namespace tarvenia {

struct Key {
    enum class Code {
        Other,
        Letter, // `letter` holds it, upper case
        Return,
        Space,
        Escape,
        Tab,
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        F4,
    };
    Code code = Code::Other;
    char letter = 0;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;

    static Key Plain(Code code) { return { code, 0, false, false, false }; }
    static Key Ctrl(char letter) { return { Code::Letter, letter, true, false, false }; }
    static Key Alt(char letter) { return { Code::Letter, letter, false, true, false }; }
    bool operator==(const Key&) const = default;
};

// A window-wide shortcut: `key` runs the handler of `control` while the
// control is visible and, where `caption` is set, shows that caption.
struct Shortcut {
    Key key;
    Control control;
    const char* caption; // nullptr: whatever the caption
};

// Every window-wide shortcut, in the order they are tried.
const Shortcut* Shortcuts(int& count);

// The position of the letter underlined in `caption` (its Alt+letter
// shortcut), or -1 when the caption has none.
int MnemonicIndex(const std::string& caption);

} // namespace tarvenia
