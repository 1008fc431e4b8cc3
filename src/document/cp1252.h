// Windows-1252, the 8-bit code page of font names and of the translation table.
#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

QString Cp1252ToUnicode(const QByteArray &bytes);
// Characters without a Windows-1252 code become '?'.
QByteArray UnicodeToCp1252(const QString &text);

} // namespace velmora
