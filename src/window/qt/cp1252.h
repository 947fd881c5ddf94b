// Windows-1252 text for Qt. The program's texts, titles and file data are
// Windows-1252 bytes; Qt 6 has no converter for that code page. The five
// bytes the code page leaves undefined map to the C1 controls of the same
// value, so every byte string survives a round trip unchanged.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tarvenia::qt {

QString Cp1252ToQString(std::string_view bytes);
// Characters the code page cannot hold become "?".
std::string QStringToCp1252(const QString& text);

} // namespace tarvenia::qt
