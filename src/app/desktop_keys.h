// Keys as users of every desktop expect them: the platform's own sequences with the common
// ones added where the platform lacks them, and menus that open with Alt and a letter.
#pragma once

#include <QKeySequence>
#include <QList>

class QMenu;
class QMenuBar;

namespace velmora {

// The common sequences first (the menu shows the first one), then the platform's others.
QList<QKeySequence> MergeShortcuts(const QList<QKeySequence> &common, const QList<QKeySequence> &platform);
QList<QKeySequence> CommonShortcuts(QKeySequence::StandardKey key, const QList<QKeySequence> &common);

// The text with a mnemonic: its first letter that no earlier text of the same menu took,
// preferring the first letter of the text, then of a word. Markers already in the text are
// replaced; "&&" stays a literal ampersand. A mnemonic letter taken is added to `used`.
QString WithMnemonic(const QString &text, QString &used);
// The same without any marker: what the user reads.
QString WithoutMnemonic(const QString &text);

// Mnemonics for the titles of a menu bar and the items of each of its menus, and of one menu.
void AssignMnemonics(QMenuBar *bar);
void AssignMnemonics(QMenu *menu);

} // namespace velmora
