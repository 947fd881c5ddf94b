// The items of the combo box as the lists' StringList: adding, clearing and
// reading go straight to the control.
#pragma once

#include "lists/catalog.h"

#include <windows.h>

namespace tarvenia::win32 {

class ComboItems final : public StringList {
public:
    void Attach(HWND combo) { combo_ = combo; }

    void Add(const std::string& item) override;
    void Clear() override;
    int Count() const override;
    std::string Get(int index) const override; // ListIndexError out of range

    // The entry picked last from the list or selected by the program; -1
    // when none (also after the items were cleared).
    int Picked() const { return picked_; }
    void SetPicked(int index) { picked_ = index; }

private:
    HWND combo_ = nullptr;
    int picked_ = -1;
};

} // namespace tarvenia::win32
