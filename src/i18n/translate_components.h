// Translation of every window: a breadth-first walk over the ownership tree that passes
// captions, hints, accessible names and descriptions, items, column titles, file-dialog
// filters, memo lines and edit texts through the translator.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace velmora {

using TranslateFunction = std::function<QString(const QString &)>;

// The description of a file dialog (open, save, export): its filter string, with
// descriptions and patterns separated by vertical bars, is translated as one text.
class FileDialogFilter : public QObject {
    Q_OBJECT
public:
    FileDialogFilter(const QString &name, const QString &filter, const QString &defaultSuffix, QObject *owner);
    QString Filter;
    QString DefaultSuffix;
    // The filter in the form Qt's file dialogs take ("Text (*.txt);;Other (*.x)").
    QString QtFilter() const;
};

// Translates the components reachable from root. When root is the application, its owned
// components are the given windows (the main window and the dialogs, in creation order).
void TranslateComponents(QObject *root, const TranslateFunction &translate, const QList<QObject *> &windows = {});

} // namespace velmora
