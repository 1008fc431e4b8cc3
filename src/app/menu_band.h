// The band at the top of the window: the menus "Datei", "Bearbeiten", "Ansicht" and
// "Sprache" and, beside them, icon buttons for the file and history commands. Its items are
// wired to the commands by the window.
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

#include <functional>

class QUndoStack;

namespace velmora {

class MenuBand : public QWidget {
    Q_OBJECT
public:
    explicit MenuBand(QWidget *parent);

    QMenuBar *menuBar = nullptr;
    QToolBar *iconBar = nullptr;

    QMenu *fileMenu = nullptr;
    QAction *newAction = nullptr, *openAction = nullptr, *openWorksheetAction = nullptr, *saveAction = nullptr,
            *saveAsAction = nullptr;
    QAction *pageSetupAction = nullptr, *printAction = nullptr, *printerSetupAction = nullptr,
            *exportAction = nullptr, *quitAction = nullptr;

    QMenu *editMenu = nullptr;
    QAction *undoAction = nullptr, *redoAction = nullptr, *copySheetAction = nullptr;

    QMenu *viewMenu = nullptr;
    QAction *rulerShownAction = nullptr, *protractorShownAction = nullptr, *compassShownAction = nullptr,
            *setSquareShownAction = nullptr;
    QAction *entryBarAction = nullptr, *inchLabelsAction = nullptr;
    QAction *fullScreenAction = nullptr; // F11; checked while the window fills the screen

    QMenu *languageMenu = nullptr;
    QAction *germanAction = nullptr, *englishAction = nullptr, *italianAction = nullptr, *translateAction = nullptr;

    // The icon buttons that trigger the history's items.
    QAction *undoIcon = nullptr, *redoIcon = nullptr;

    // The items "Rückgängig" and "Wiederherstellen" name the step they take back or do again
    // (translated by `shown`), and are enabled only when there is one.
    void ShowHistory(const QUndoStack &history, const std::function<QString(const QString &)> &shown);

    // "Datei": the last drawings, Alt+1 to Alt+8, before "Beenden"; a click calls open.
    void ShowRecentDrawings(const QStringList &paths, const std::function<void(const QString &)> &open);

    // Set once the menus are translated: from then on their texts carry mnemonics.
    bool MnemonicsShown = false;

private:
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateLanguageMenu();
    void CreateFileIcons();
    void CreateHistoryIcons();

    QAction *pageSetupIcon_ = nullptr;
    QList<QAction *> recentItems_;
    QAction *recentSeparator_ = nullptr;
};

} // namespace velmora
