#include "window/qt/combo_items.h"

#include "base/error.h"
#include "window/qt/cp1252.h"

#include <QByteArray>
#include <QComboBox>

namespace tarvenia::qt {

ComboItems::ComboItems(QComboBox& combo)
    : combo_(combo)
{
}

void ComboItems::Add(const std::string& item)
{
    const bool was_empty = combo_.count() == 0;
    const QString text = combo_.currentText();
    combo_.addItem(
        Cp1252ToQString(item), QByteArray(item.data(), static_cast<qsizetype>(item.size())));
    if (was_empty) {
        // Qt selects the first item of an empty list on its own.
        combo_.setCurrentIndex(-1);
        combo_.setEditText(text);
    }
}

void ComboItems::Clear()
{
    const QString text = combo_.currentText();
    combo_.clear();
    combo_.setEditText(text);
}

int ComboItems::Count() const { return combo_.count(); }

std::string ComboItems::Get(int index) const
{
    if (index < 0 || index >= combo_.count())
        throw ListIndexError(index);
    return combo_.itemData(index).toByteArray().toStdString();
}

} // namespace tarvenia::qt
