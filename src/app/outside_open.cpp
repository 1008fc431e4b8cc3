// Drawings opened from outside the window's Open dialog: named on the command line, dropped
// on the window, or picked from the recent drawings in "Datei". All of them take the Open
// command's way (the question about unsaved changes, the checks, the messages, the caption).
#include "main_form.h"

#include "user_settings.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace velmora {

namespace {

// The drawing file a drag carries: its first URL when that is a local .vlm file.
QString DroppedDrawing(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QStringLiteral(".vlm"), Qt::CaseInsensitive) ? path : QString();
}

} // namespace

void TMainForm::CreateOutsideOpening()
{
    setAcceptDrops(true);
    AskYesNo = [this](const QString &text, const QString &caption) {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::Yes);
        return QMessageBox::StandardButton(box.exec());
    };
    RecoveryTimer.setInterval(RecoveryIntervalSeconds() * 1000);
    connect(&RecoveryTimer, &QTimer::timeout, this, &TMainForm::WriteRecoveryCopy);
    RecoveryTimer.start();
}

void TMainForm::OpenFromOutside(const QString &path)
{
    if (AskToSaveChanges())
        OpenFile(QFileInfo(path).absoluteFilePath());
    PaintBox1Paint();
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedDrawing(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedDrawing(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QString path = DroppedDrawing(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag ends first; the question and the messages come after it, not inside it.
    QTimer::singleShot(0, this, [this, path] { OpenFromOutside(path); });
}

void TMainForm::UpdateRecentItems()
{
    if (!FirstShowDone)
        return; // built at the first showing, after the window texts were translated
    for (QAction *item : std::as_const(RecentItems))
        delete item;
    RecentItems.clear();
    if (!RecentSeparator) {
        RecentSeparator = new QAction(Datei1);
        RecentSeparator->setSeparator(true);
        Datei1->insertAction(Beenden1, RecentSeparator);
    }
    const QStringList recent = RecentDrawings();
    RecentSeparator->setVisible(!recent.isEmpty());
    const QFontMetrics metrics(Datei1->font());
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        const QString shown = metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle,
                                                 metrics.averageCharWidth() * 60);
        auto *item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace(
                                                                             QLatin1Char('&'), QStringLiteral("&&"))),
                                 Datei1);
        item->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        item->setStatusTip(path);
        item->setToolTip(path);
        item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)));
        item->setShortcutContext(Qt::ApplicationShortcut);
        connect(item, &QAction::triggered, this, [this, path] { RecentItemClick(path); });
        Datei1->insertAction(RecentSeparator, item);
        RecentItems << item;
    }
}

void TMainForm::RecentItemClick(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        RemoveRecentDrawing(path);
        // Deleting the clicked item while its menu still holds it is not safe; the list is
        // rebuilt once the click is over.
        QTimer::singleShot(0, this, &TMainForm::UpdateRecentItems);
        ShowInformation(Translation.TranslateString(
                            QStringLiteral("Die Datei gibt es nicht mehr; sie wird aus der Liste entfernt:")) +
                            QLatin1Char('\n') + path,
                        CaptionBase);
        return;
    }
    // The items are rebuilt by a successful open; that must not delete the item whose click runs.
    QTimer::singleShot(0, this, [this, path] { OpenFromOutside(path); });
}

} // namespace velmora
