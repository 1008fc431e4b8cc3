#include "menu_band.h"

#include "command_icons.h"
#include "desktop_keys.h"

#include "document/file_names.h"

#include <QActionGroup>
#include <QDir>
#include <QHBoxLayout>
#include <QUndoStack>

namespace velmora {

namespace {

// An icon button is read by its hint, the command's name, in the language shown.
void NameByHint(QToolBar *bar, QAction *button)
{
    QWidget *widget = bar->widgetForAction(button);
    if (!widget)
        return;
    widget->setAccessibleName(button->toolTip());
    QObject::connect(button, &QAction::changed, widget, [widget, button] {
        if (widget->accessibleName() != button->toolTip())
            widget->setAccessibleName(button->toolTip());
    });
}

QAction *MenuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction *CheckItem(QMenu *menu, const char *name, const QString &caption, bool checked)
{
    QAction *action = MenuItem(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QMenu *Menu(QMenuBar *bar, const char *name, const QString &title)
{
    QMenu *menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

MenuBand::MenuBand(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("menuBand"));
    auto *band = new QHBoxLayout(this);
    band->setContentsMargins(0, 0, 0, 0);
    band->setSpacing(4);
    menuBar = new QMenuBar(this);
    menuBar->setNativeMenuBar(false);
    band->addWidget(menuBar);
    iconBar = new QToolBar(this);
    iconBar->setObjectName(QStringLiteral("iconBar"));
    iconBar->setIconSize(QSize(16, 16));
    band->addWidget(iconBar);
    band->addStretch(1);

    CreateFileMenu();
    CreateViewMenu();
    CreateLanguageMenu();
    CreateFileIcons();
    CreateEditMenu();
    CreateHistoryIcons();
    editMenu->addSeparator();
    copySheetAction = MenuItem(editMenu, "copySheetAction", QStringLiteral("Seite kopieren"));
    copySheetAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copySheetAction->setShortcutContext(Qt::ApplicationShortcut);
    copySheetAction->setIcon(CommandIcon(CommandIconKind::CopySheet));
}

void MenuBand::CreateFileMenu()
{
    fileMenu = Menu(menuBar, "fileMenu", QStringLiteral("Datei"));
    newAction = MenuItem(fileMenu, "newAction", QStringLiteral("Neu"));
    openAction = MenuItem(fileMenu, "openAction", QStringLiteral("Öffnen..."));
    openWorksheetAction = MenuItem(fileMenu, "openWorksheetAction", QStringLiteral("Arbeitsblatt öffnen..."));
    saveAction = MenuItem(fileMenu, "saveAction", QStringLiteral("Speichern"));
    saveAsAction = MenuItem(fileMenu, "saveAsAction", QStringLiteral("Speichern unter..."));
    fileMenu->addSeparator();
    pageSetupAction = MenuItem(fileMenu, "pageSetupAction", QStringLiteral("Seite einrichten..."));
    printAction = MenuItem(fileMenu, "printAction", QStringLiteral("Drucken..."));
    printerSetupAction = MenuItem(fileMenu, "printerSetupAction", QStringLiteral("Drucker einrichten..."));
    exportAction = MenuItem(fileMenu, "exportAction", QStringLiteral("Als Bild exportieren..."));
    fileMenu->addSeparator();
    quitAction = MenuItem(fileMenu, "quitAction", QStringLiteral("Beenden"));
    // The platform's keys, and the common ones where the platform has none (plain X11 has no
    // key for Save as).
    newAction->setShortcuts(CommonShortcuts(QKeySequence::New, {QKeySequence(Qt::CTRL | Qt::Key_N)}));
    openAction->setShortcuts(CommonShortcuts(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
    saveAction->setShortcuts(CommonShortcuts(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
    saveAsAction->setShortcuts(CommonShortcuts(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));
    printAction->setShortcuts(CommonShortcuts(QKeySequence::Print, {QKeySequence(Qt::CTRL | Qt::Key_P)}));
    quitAction->setShortcuts(CommonShortcuts(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    for (QAction *item : {newAction, openAction, saveAction, saveAsAction, printAction, quitAction})
        item->setShortcutContext(Qt::ApplicationShortcut);
}

void MenuBand::CreateViewMenu()
{
    viewMenu = Menu(menuBar, "viewMenu", QStringLiteral("Ansicht"));
    rulerShownAction = CheckItem(viewMenu, "rulerShownAction", QStringLiteral("Lineal"), true);
    protractorShownAction = CheckItem(viewMenu, "protractorShownAction", QStringLiteral("Winkelmesser"), true);
    compassShownAction = CheckItem(viewMenu, "compassShownAction", QStringLiteral("Zirkel"), true);
    setSquareShownAction = CheckItem(viewMenu, "setSquareShownAction", QStringLiteral("Geodreieck"), true);
    entryBarAction = CheckItem(viewMenu, "entryBarAction", QStringLiteral("Leiste für Zahleneingabe"), false);
    inchLabelsAction = CheckItem(viewMenu, "inchLabelsAction", QStringLiteral("Zollangaben für das Lineal"), false);
    viewMenu->addSeparator();
    fullScreenAction = CheckItem(viewMenu, "fullScreenAction", QStringLiteral("Vollbild"), false);
    fullScreenAction->setShortcut(QKeySequence(Qt::Key_F11));
}

void MenuBand::CreateLanguageMenu()
{
    languageMenu = Menu(menuBar, "languageMenu", QStringLiteral("Sprache"));
    auto *languages = new QActionGroup(this);
    germanAction = CheckItem(languageMenu, "germanAction", QStringLiteral("Deutsch"), true);
    englishAction = CheckItem(languageMenu, "englishAction", QStringLiteral("English"), false);
    italianAction = CheckItem(languageMenu, "italianAction", QStringLiteral("Italiano"), false);
    for (QAction *item : {germanAction, englishAction, italianAction})
        languages->addAction(item);
    languageMenu->addSeparator();
    translateAction = MenuItem(languageMenu, "translateAction", QStringLiteral("Übersetzen..."));
}

void MenuBand::CreateFileIcons()
{
    // Icon buttons with hints, in the order of the file menu.
    const struct {
        const char *name;
        QAction *item;
        CommandIconKind icon;
        QString hint;
    } icons[] = {
        {"newIcon", newAction, CommandIconKind::New, QStringLiteral("Neu")},
        {"openIcon", openAction, CommandIconKind::Open, QStringLiteral("Öffnen...")},
        {"saveIcon", saveAction, CommandIconKind::Save, QStringLiteral("Speichern")},
        {"saveAsIcon", saveAsAction, CommandIconKind::SaveAs, QStringLiteral("Speichern unter...")},
        {"pageSetupIcon", pageSetupAction, CommandIconKind::PageSetup, QStringLiteral("Seite einrichten")},
        {"printIcon", printAction, CommandIconKind::Print, QStringLiteral("Drucken")},
        {"printerSetupIcon", printerSetupAction, CommandIconKind::PrinterSetup, QStringLiteral("Drucker einrichten")},
        {"quitIcon", quitAction, CommandIconKind::Quit, QStringLiteral("Beenden")},
    };
    for (const auto &entry : icons) {
        const QIcon icon = CommandIcon(entry.icon);
        entry.item->setIcon(icon); // the menu shows it too
        QAction *button = iconBar->addAction(icon, QString());
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setToolTip(entry.hint);
        button->setEnabled(entry.item->isEnabled());
        connect(entry.item, &QAction::enabledChanged, button, &QAction::setEnabled);
        connect(button, &QAction::triggered, entry.item, &QAction::trigger);
        NameByHint(iconBar, button);
        if (entry.item == pageSetupAction)
            pageSetupIcon_ = button;
    }
}

void MenuBand::CreateEditMenu()
{
    editMenu = new QMenu(QStringLiteral("Bearbeiten"), menuBar);
    editMenu->setObjectName(QStringLiteral("editMenu"));
    menuBar->insertMenu(viewMenu->menuAction(), editMenu);
    undoAction = MenuItem(editMenu, "undoAction", QStringLiteral("Rückgängig"));
    undoAction->setShortcuts(CommonShortcuts(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    redoAction = MenuItem(editMenu, "redoAction", QStringLiteral("Wiederherstellen"));
    // GNOME knows only Ctrl+Shift+Z, other desktops only Ctrl+Y: both work everywhere.
    redoAction->setShortcuts(CommonShortcuts(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    for (QAction *item : {undoAction, redoAction})
        item->setShortcutContext(Qt::ApplicationShortcut);
}

void MenuBand::CreateHistoryIcons()
{
    // After the file commands' New to Save as, with hints.
    undoAction->setIcon(CommandIcon(CommandIconKind::Undo));
    redoAction->setIcon(CommandIcon(CommandIconKind::Redo));
    undoIcon = new QAction(undoAction->icon(), QString(), iconBar);
    undoIcon->setObjectName(QStringLiteral("undoIcon"));
    undoIcon->setToolTip(QStringLiteral("Rückgängig"));
    redoIcon = new QAction(redoAction->icon(), QString(), iconBar);
    redoIcon->setObjectName(QStringLiteral("redoIcon"));
    redoIcon->setToolTip(QStringLiteral("Wiederherstellen"));
    iconBar->insertAction(pageSetupIcon_, undoIcon);
    iconBar->insertAction(pageSetupIcon_, redoIcon);
    iconBar->insertSeparator(pageSetupIcon_);
    connect(undoIcon, &QAction::triggered, undoAction, &QAction::trigger);
    connect(redoIcon, &QAction::triggered, redoAction, &QAction::trigger);
    NameByHint(iconBar, undoIcon);
    NameByHint(iconBar, redoIcon);
}

void MenuBand::ShowHistory(const QUndoStack &history, const std::function<QString(const QString &)> &shown)
{
    auto name = [&](const QString &item, const QString &step) {
        const QString text = shown(item);
        return step.isEmpty() ? text : text + QStringLiteral(": ") + shown(step);
    };
    undoAction->setText(name(QStringLiteral("Rückgängig"), history.canUndo() ? history.undoText() : QString()));
    redoAction->setText(name(QStringLiteral("Wiederherstellen"), history.canRedo() ? history.redoText() : QString()));
    undoAction->setEnabled(history.canUndo());
    redoAction->setEnabled(history.canRedo());
    undoIcon->setEnabled(history.canUndo());
    redoIcon->setEnabled(history.canRedo());
    if (MnemonicsShown)
        AssignMnemonics(editMenu);
}

void MenuBand::ShowRecentDrawings(const QStringList &paths, const std::function<void(const QString &)> &open)
{
    for (QAction *item : std::as_const(recentItems_))
        delete item;
    recentItems_.clear();
    if (!recentSeparator_) {
        recentSeparator_ = new QAction(fileMenu);
        recentSeparator_->setSeparator(true);
        fileMenu->insertAction(quitAction, recentSeparator_);
    }
    recentSeparator_->setVisible(!paths.isEmpty());
    const QFontMetrics metrics(fileMenu->font());
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        const QString shown = metrics.elidedText(QDir::toNativeSeparators(ReadableFileName(path)), Qt::ElideMiddle,
                                                 metrics.averageCharWidth() * 60);
        auto *item = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&"))),
            fileMenu);
        item->setObjectName(QStringLiteral("recentAction%1").arg(i + 1));
        item->setStatusTip(ReadableFileName(path));
        item->setToolTip(ReadableFileName(path));
        item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)));
        item->setShortcutContext(Qt::ApplicationShortcut);
        connect(item, &QAction::triggered, this, [open, path] { open(path); });
        fileMenu->insertAction(recentSeparator_, item);
        recentItems_ << item;
    }
}

} // namespace velmora
