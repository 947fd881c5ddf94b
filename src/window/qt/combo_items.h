// The items of the combo box as the program's list of titles. Titles are
// kept as their bytes beside the decoded text shown, so what is read back is
// exactly what was added. Emptying the items keeps the edit field's text, and
// the first item added to an empty list is not selected by itself.
#pragma once

#include "lists/catalog.h"

class QComboBox;

namespace tarvenia::qt {

class ComboItems : public StringList {
public:
    explicit ComboItems(QComboBox& combo);

    void Add(const std::string& item) override;
    void Clear() override;
    int Count() const override;
    std::string Get(int index) const override;

private:
    QComboBox& combo_;
};

} // namespace tarvenia::qt
