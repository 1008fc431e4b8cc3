#include "desktop_keys.h"

#include <QMenu>
#include <QMenuBar>

namespace velmora {

QList<QKeySequence> MergeShortcuts(const QList<QKeySequence> &common, const QList<QKeySequence> &platform)
{
    QList<QKeySequence> keys;
    for (const QList<QKeySequence> *list : {&common, &platform})
        for (const QKeySequence &key : *list)
            if (!key.isEmpty() && !keys.contains(key))
                keys << key;
    return keys;
}

QList<QKeySequence> CommonShortcuts(QKeySequence::StandardKey key, const QList<QKeySequence> &common)
{
    return MergeShortcuts(common, QKeySequence::keyBindings(key));
}

QString WithoutMnemonic(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                plain += text[++i];
            continue;
        }
        plain += text[i];
    }
    return plain;
}

QString WithMnemonic(const QString &text, QString &used)
{
    const QString plain = WithoutMnemonic(text);
    auto free = [&](qsizetype i) { return plain[i].isLetterOrNumber() && !used.contains(plain[i].toLower()); };
    qsizetype at = -1;
    if (!plain.isEmpty() && free(0))
        at = 0;
    for (qsizetype i = 1; at < 0 && i < plain.size(); ++i)
        if (plain[i - 1] == QLatin1Char(' ') && free(i))
            at = i;
    for (qsizetype i = 0; at < 0 && i < plain.size(); ++i)
        if (free(i))
            at = i;
    QString marked;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (i == at)
            marked += QLatin1Char('&');
        marked += plain[i];
        if (plain[i] == QLatin1Char('&'))
            marked += QLatin1Char('&');
    }
    if (at >= 0)
        used += plain[at].toLower();
    return marked;
}

void AssignMnemonics(QMenu *menu)
{
    QString used;
    for (QAction *item : menu->actions())
        if (!item->isSeparator() && !item->text().isEmpty())
            item->setText(WithMnemonic(item->text(), used));
}

void AssignMnemonics(QMenuBar *bar)
{
    QString used;
    for (QAction *title : bar->actions()) {
        if (title->isSeparator())
            continue;
        title->setText(WithMnemonic(title->text(), used));
        if (QMenu *menu = title->menu())
            AssignMnemonics(menu);
    }
}

} // namespace velmora
