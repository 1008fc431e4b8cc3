// A file dropped on a widget as a file manager drops it: the drag enters at the widget's
// centre and, when accepted, the file is dropped there.
#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace velmora {

// accepted: whether the widget took the drag at all (only then is the file dropped).
inline void Drop(QWidget *target, const QString &path, bool *accepted)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    *accepted = enter.isAccepted();
    if (!*accepted)
        return;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace velmora
