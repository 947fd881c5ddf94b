#include "window/win32/combo_items.h"

#include "base/error.h"

namespace tarvenia::win32 {

namespace {

    void AddString(HWND combo, const char* item)
    {
        const LRESULT r = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        if (r == CB_ERR || r == CB_ERRSPACE)
            throw Error("Out of memory");
    }

    // The list's drawing off while it changes: it then neither draws nor
    // updates its scroll bar for each item, which costs far more than the
    // adding itself. A window that leaves the message to the system's default
    // handling is shown by turning its drawing back on, so a combo box that
    // was hidden is hidden again should that happen.
    class RedrawOff {
    public:
        explicit RedrawOff(HWND combo)
            : combo_(combo)
            , hidden_(!Shown(combo))
        {
            ::SendMessageA(combo_, WM_SETREDRAW, FALSE, 0);
        }
        ~RedrawOff()
        {
            ::SendMessageA(combo_, WM_SETREDRAW, TRUE, 0);
            if (!hidden_)
                ::InvalidateRect(combo_, nullptr, TRUE);
            else if (Shown(combo_))
                ::ShowWindow(combo_, SW_HIDE);
        }
        RedrawOff(const RedrawOff&) = delete;
        RedrawOff& operator=(const RedrawOff&) = delete;

    private:
        static bool Shown(HWND window)
        {
            return (::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
        }

        HWND combo_;
        bool hidden_;
    };

} // namespace

void ComboItems::Add(const std::string& item) { AddString(combo_, item.c_str()); }

void ComboItems::AddAll(PackedStrings&& items)
{
    if (items.empty())
        return;
    // Only the room is asked for; a list that cannot set it aside still
    // takes the items one by one, as Add does.
    ::SendMessageA(combo_, CB_INITSTORAGE, static_cast<WPARAM>(items.size()),
        static_cast<LPARAM>(items.bytes() + items.size()));
    const RedrawOff redraw_off(combo_);
    std::string item;
    for (std::string_view added : items) {
        item.assign(added); // the control takes NUL-terminated strings
        AddString(combo_, item.c_str());
    }
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
