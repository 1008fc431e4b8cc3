// The main window's caption: the program's name, then the drawing's file name in brackets,
// with an asterisk while there are unsaved changes.
#pragma once

#include "file_names.h"

#include <QString>

namespace velmora {

inline QString DrawingCaption(const QString &captionBase, const QString &fileName, const QString &untitledName,
                              bool modified)
{
    const QString name = fileName.isEmpty() ? untitledName : ReadableFileName(fileName);
    return captionBase + QStringLiteral(" - [") + name + (modified ? QStringLiteral("*]") : QStringLiteral("]"));
}

} // namespace velmora
