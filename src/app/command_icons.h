// Icons of the file and history commands: the desktop's icon theme where it has them, else
// line drawings in the style of the tool icons. Every icon gets a disabled look that is
// clearly grey and faded, whatever the style would make of it.
#pragma once

#include <QIcon>

namespace velmora {

enum class CommandIconKind { New, Open, Save, SaveAs, PageSetup, Print, PrinterSetup, Quit, Undo, Redo, CopySheet };

// The freedesktop names tried in the theme, in order.
QStringList CommandIconThemeNames(CommandIconKind kind);
// The program's own drawing, used when the theme has none of the names.
QIcon DrawnCommandIcon(CommandIconKind kind);
QIcon CommandIcon(CommandIconKind kind);

// The same icon with greyed, faded pixmaps for the disabled state.
QIcon WithFadedDisabledLook(const QIcon &icon);

} // namespace velmora
