#include "window/qt/combo_items.h"

#include "base/error.h"
#include "window/qt/cp1252.h"

#include <QComboBox>
#include <QStringList>

namespace tarvenia::qt {

ComboItems::ComboItems(QComboBox& combo)
    : combo_(combo)
{
}

void ComboItems::Add(const std::string& item) { Insert(QStringList { Cp1252ToQString(item) }); }

void ComboItems::AddAll(PackedStrings&& items)
{
    if (items.empty())
        return;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (std::string_view item : items)
        texts.append(Cp1252ToQString(item));
    Insert(texts);
}

void ComboItems::Insert(const QStringList& texts)
{
    const bool was_empty = combo_.count() == 0;
    const QString text = combo_.currentText();
    combo_.addItems(texts);
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
    return QStringToCp1252(combo_.itemText(index));
}

} // namespace tarvenia::qt
