// The items of the combo box as the lists' StringList: adding, clearing and
// reading go straight to the control.
#pragma once

#include "lists/catalog.h"

#include <windows.h>

namespace tarvenia::win32 {

class ComboItems final : public StringList {
public:
    // `quiet` counts the view's own changes of the combo; while it is above
    // 0 the view forwards none of the combo's notifications.
    void Attach(HWND combo, int* quiet)
    {
        combo_ = combo;
        quiet_ = quiet;
    }

    void Add(const std::string& item) override;
    // One pass with the list's room set aside for all of them (it would
    // otherwise grow a few items at a time) and its drawing off.
    void AddAll(PackedStrings&& items) override;
    // Empties the list; the text in the edit field stays as it was.
    void Clear() override;
    int Count() const override;
    std::string Get(int index) const override; // ListIndexError out of range

    // The entry picked last from the list or selected by the program; -1
    // when none (also after the items were cleared).
    int Picked() const { return picked_; }
    void SetPicked(int index) { picked_ = index; }

private:
    HWND combo_ = nullptr;
    int* quiet_ = nullptr;
    int picked_ = -1;
};

} // namespace tarvenia::win32
