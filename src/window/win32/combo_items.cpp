#include "window/win32/combo_items.h"

#include "base/error.h"

namespace tarvenia::win32 {

void ComboItems::Add(const std::string& item)
{
    const LRESULT r
        = ::SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (r == CB_ERR || r == CB_ERRSPACE)
        throw Error("Out of memory");
}

void ComboItems::Clear()
{
    // CB_RESETCONTENT also empties the edit field of a drop-down combo. The
    // field keeps its text when the lists are emptied (a view whose file is
    // missing still shows the last title), so it is put back.
    const int len = ::GetWindowTextLengthA(combo_);
    std::string text(static_cast<std::size_t>(len > 0 ? len : 0) + 1, '\0');
    const int got = ::GetWindowTextA(combo_, text.data(), len + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (quiet_)
        ++*quiet_;
    ::SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    ::SetWindowTextA(combo_, text.c_str());
    if (quiet_)
        --*quiet_;
    picked_ = -1;
}

int ComboItems::Count() const
{
    const LRESULT n = ::SendMessageA(combo_, CB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::string ComboItems::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw ListIndexError(index);
    const LRESULT len = ::SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len < 0)
        throw ListIndexError(index);
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    const LRESULT got = ::SendMessageA(
        combo_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return text;
}

} // namespace tarvenia::win32
