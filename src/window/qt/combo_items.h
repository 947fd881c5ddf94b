// The items of the combo box as the program's list of titles. Titles are
// shown decoded from Windows-1252 and read back encoded again: the decoding
// keeps every byte apart (the five bytes the code page leaves undefined
// included), so what is read back is exactly what was added. Emptying the
// items keeps the edit field's text, and the first items added to an empty
// list are not selected by themselves.
#pragma once

#include "lists/catalog.h"

#include <QStringList>

class QComboBox;

namespace tarvenia::qt {

class ComboItems : public StringList {
public:
    explicit ComboItems(QComboBox& combo);

    void Add(const std::string& item) override;
    // One insertion into the combo's model for all of them: the list view
    // lays itself out once, not once per item.
    void AddAll(PackedStrings&& items) override;
    void Clear() override;
    int Count() const override;
    std::string Get(int index) const override;

private:
    void Insert(const QStringList& texts);

    QComboBox& combo_;
};

} // namespace tarvenia::qt
