#include "window/keyboard.h"

#include "base/texts.h"

#include <cctype>

namespace tarvenia {

namespace {

    // Ctrl+Q quits as on GNOME and KDE; Return connects the idle window, as a
    // dialog's default button would; Ctrl+D adds (or, in the favourites
    // view, removes) the shown photo, as bookmarks are added in browsers.
    // Alt+letter is each caption's mnemonic: "Conectar" and "Confirmar" are
    // never shown together, yet they keep letters of their own so that a
    // second Alt+C, pressed while connecting, cannot set the wallpaper later.
    const Shortcut kShortcuts[] = {
        { Key::Ctrl('Q'), Control::bsal, nullptr },
        { Key::Alt('S'), Control::bsal, texts::kSalir },
        { Key::Plain(Key::Code::Return), Control::bcon, nullptr },
        { Key::Alt('C'), Control::bcon, texts::kConectar },
        { Key::Alt('O'), Control::bcnf, texts::kConfirmar },
        { Key::Alt('F'), Control::bfav, texts::kFavoritas },
        { Key::Alt('T'), Control::bfav, texts::kTodas },
        { Key::Ctrl('D'), Control::badd, nullptr },
    };

} // namespace

const Shortcut* Shortcuts(int& count)
{
    count = static_cast<int>(std::size(kShortcuts));
    return kShortcuts;
}

int MnemonicIndex(const std::string& caption)
{
    for (const Shortcut& s : kShortcuts) {
        if (!s.key.alt || !s.caption || caption != s.caption)
            continue;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(caption[i])) == s.key.letter)
                return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace tarvenia
