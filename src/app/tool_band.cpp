#include "tool_band.h"

#include "desktop_keys.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>

namespace velmora {

namespace {

QAction *RadioItem(QObject *owner, QActionGroup *group, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

} // namespace

ToolBand::ToolBand(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("toolBand"));
    setMovable(false);
    setFloatable(false);
    auto *tools = new QActionGroup(this);
    rulerTool = AddTool(tools, "rulerTool", QStringLiteral("Lineal"),
                        QStringLiteral("Lineal verschieben, drehen und Linien daran zeichnen"), ToolIconKind::Ruler,
                        {{"rulerMoveMode", QStringLiteral("Verschieben"), &rulerMoveMode},
                         {"rulerTurnMode", QStringLiteral("Drehen"), &rulerTurnMode},
                         {"rulerAlongMode", QStringLiteral("Am Lineal entlang zeichnen"), &rulerAlongMode},
                         {"rulerAcrossMode", QStringLiteral("Quer zum Lineal zeichnen"), &rulerAcrossMode}});
    protractorTool = AddTool(tools, "protractorTool", QStringLiteral("Winkelmesser"),
                             QStringLiteral("Winkelmesser verschieben, drehen und Gradzahlen markieren"),
                             ToolIconKind::Protractor,
                             {{"protractorMoveMode", QStringLiteral("Verschieben"), &protractorMoveMode},
                              {"protractorTurnMode", QStringLiteral("Drehen"), &protractorTurnMode},
                              {"protractorMarkMode", QStringLiteral("Gradzahl mit Bleistift markieren"),
                               &protractorMarkMode}});
    compassTool = AddTool(tools, "compassTool", QStringLiteral("Zirkel"),
                          QStringLiteral("Zirkel verschieben, Spanne einstellen, Kreisbögen und Kreise zeichnen"),
                          ToolIconKind::Compass,
                          {{"compassMoveMode", QStringLiteral("Verschieben"), &compassMoveMode},
                           {"compassSpanMode", QStringLiteral("Zirkelspanne"), &compassSpanMode},
                           {"compassArcMode", QStringLiteral("Kreisbogen zeichnen"), &compassArcMode}});
    // "Kreis zeichnen" is a command, not a mode: it adds a full circle at once.
    auto *compassMenu = qobject_cast<QMenu *>(compassMoveMode->parent());
    circleAction = compassMenu->addAction(QStringLiteral("Kreis zeichnen"));
    circleAction->setObjectName(QStringLiteral("circleAction"));
    setSquareTool = AddTool(
        tools, "setSquareTool", QStringLiteral("Geodreieck"),
        QStringLiteral("Geodreieck verschieben, um seinen Nullpunkt drehen und Linien an seinen Seiten zeichnen"),
        ToolIconKind::SetSquare,
        {{"setSquareMoveMode", QStringLiteral("Verschieben"), &setSquareMoveMode},
         {"setSquareTurnMode", QStringLiteral("Drehen"), &setSquareTurnMode},
         {"setSquareLongMode", QStringLiteral("An der langen Seite zeichnen"), &setSquareLongMode},
         {"setSquareShortMode", QStringLiteral("An einer kurzen Seite zeichnen"), &setSquareShortMode}});
    curvesTool = AddTool(tools, "curvesTool", QStringLiteral("Kurven"),
                         QStringLiteral("Kurve mit vier Klicks: Anfang, Ende, zwei Kontrollpunkte"),
                         ToolIconKind::Curves, {});
    pencilTool = AddTool(tools, "pencilTool", QStringLiteral("Bleistift"), QStringLiteral("Freihand zeichnen"),
                         ToolIconKind::Pencil, {});
    eraserTool = AddTool(tools, "eraserTool", QStringLiteral("Radierer"), QStringLiteral("Radieren"),
                         ToolIconKind::Eraser, {});
    textTool = AddTool(tools, "textTool", QStringLiteral("Text"),
                       QStringLiteral("Texte hinzufügen, ändern, löschen und verschieben"), ToolIconKind::Text,
                       {{"textAddMode", QStringLiteral("Text hinzufügen"), &textAddMode},
                        {"textChangeMode", QStringLiteral("Ändern..."), &textChangeMode},
                        {"textDeleteMode", QStringLiteral("Löschen"), &textDeleteMode},
                        {"textMoveMode", QStringLiteral("Verschieben"), &textMoveMode}});
    objectsTool = AddTool(tools, "objectsTool", QStringLiteral("Objekte"),
                          QStringLiteral("Gezeichnete Objekte löschen und verschieben"), ToolIconKind::Objects,
                          {{"objectDeleteMode", QStringLiteral("Löschen"), &objectDeleteMode},
                           {"objectMoveMode", QStringLiteral("Verschieben"), &objectMoveMode}});
    handTool = AddTool(tools, "handTool", QStringLiteral("Hand"), QStringLiteral("Die Ansicht verschieben"),
                       ToolIconKind::Hand, {});
    zoomTool = AddTool(tools, "zoomTool", QStringLiteral("Zoom"),
                       QStringLiteral("Linksklick vergrößert, Rechtsklick verkleinert"), ToolIconKind::Zoom, {});

    connect(this, &ToolBand::Chosen, this, [this] { ++choices_; });
    FollowChoices();
    rulerTool->setChecked(true);
    rulerMoveMode->setChecked(true);
    setSquareMoveMode->setChecked(true);
    NameButtons();
    connect(circleAction, &QAction::triggered, this, &ToolBand::CircleWanted);
}

QAction *ToolBand::AddTool(QActionGroup *tools, const char *name, const QString &caption, const QString &hint,
                           ToolIconKind icon, std::initializer_list<Mode> modes)
{
    QAction *tool = RadioItem(this, tools, name, caption);
    tool->setIcon(ToolIcon(icon));
    tool->setToolTip(hint);
    auto *button = new QToolButton(this);
    button->setDefaultAction(tool);
    // Tab reaches the tools, a click gives them no focus: only the checked tool looks pressed.
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QFont small = button->font(); // ten tools fit the window's width
    small.setPointSizeF(small.pointSizeF() * 0.85);
    button->setFont(small);
    connect(tool, &QAction::triggered, this, &ToolBand::Chosen);
    connect(tool, &QAction::toggled, this, &ToolBand::NameButtons);
    // Assistive technology toggles the button itself, which checks the tool but triggers
    // nothing: that is announced as a choice too, once the toggle is over and no click's
    // trigger announced it. The chosen tool's button cannot be toggled off.
    connect(button, &QToolButton::toggled, this, [this, tool, button](bool on) {
        if (!on) {
            if (tool->isChecked())
                button->setChecked(true);
            return;
        }
        const quint64 before = choices_;
        QMetaObject::invokeMethod(
            this,
            [this, before] {
                if (choices_ == before)
                    emit Chosen();
            },
            Qt::QueuedConnection);
    });
    if (modes.size() == 0) {
        addWidget(button);
        buttons_.append({tool, button, nullptr});
        return tool;
    }
    auto *menu = new QMenu(caption, button); // its title names the modes' menu for screen readers
    menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Modes"));
    modeMenus_ << menu;
    auto *group = new QActionGroup(menu);
    for (const Mode &mode : modes) {
        QAction *item = RadioItem(menu, group, mode.name, mode.caption);
        menu->addAction(item);
        *mode.item = item;
        // Choosing a mode checks its tool, then the mode.
        connect(item, &QAction::triggered, this, [this, tool] {
            tool->setChecked(true);
            emit Chosen();
        });
        connect(item, &QAction::toggled, this, &ToolBand::NameButtons);
    }
    // A click on the button chooses the tool in the mode it had; the arrow opens the modes.
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->installEventFilter(this); // the arrow down opens the modes from the keyboard
    addWidget(button);
    buttons_.append({tool, button, group});
    return tool;
}

bool ToolBand::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *button = qobject_cast<QToolButton *>(watched);
        if (button && button->menu() && (key == Qt::Key_Down || key == Qt::Key_F4)) {
            button->showMenu();
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

QList<QToolButton *> ToolBand::Buttons() const
{
    QList<QToolButton *> list;
    for (const ToolButton &entry : buttons_)
        list << entry.button;
    return list;
}

namespace {

// A menu text as read: without its access letter ("&&" is a plain "&").
QString Plain(const QString &text)
{
    QString plain;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

QString ToolBand::ToolText(const ToolButton &entry)
{
    const QAction *mode = entry.modes ? entry.modes->checkedAction() : nullptr;
    return mode ? Plain(entry.tool->text()) + QStringLiteral(", ") + Plain(mode->text()) : Plain(entry.tool->text());
}

void ToolBand::NameButtons()
{
    for (const ToolButton &entry : std::as_const(buttons_)) {
        const QString name = ToolText(entry);
        if (entry.button->accessibleName() != name)
            entry.button->setAccessibleName(name);
    }
}

QString ToolBand::ChosenText() const
{
    for (const ToolButton &entry : buttons_)
        if (entry.tool->isChecked())
            return ToolText(entry);
    return QString();
}

void ToolBand::AssignModeMnemonics()
{
    for (QMenu *modes : modeMenus_)
        AssignMnemonics(modes);
}

namespace {

// Checking the item writes its choice into the selection.
template <class Value> void Follow(QAction *item, ToolSelection &selection, Value ToolSelection::*field, Value value)
{
    QObject::connect(item, &QAction::toggled, item, [&selection, field, value](bool checked) {
        if (checked)
            selection.*field = value;
    });
}

} // namespace

void ToolBand::FollowChoices()
{
    const std::pair<QAction *, Tool> tools[] = {
        {rulerTool, Tool::Ruler},     {protractorTool, Tool::Protractor}, {compassTool, Tool::Compass},
        {setSquareTool, Tool::SetSquare},
        {curvesTool, Tool::Curves},   {pencilTool, Tool::Pencil},         {eraserTool, Tool::Eraser},
        {textTool, Tool::Text},       {objectsTool, Tool::Objects},       {handTool, Tool::Hand},
        {zoomTool, Tool::Zoom}};
    for (const auto &[item, tool] : tools)
        Follow(item, selection_, &ToolSelection::Current, tool);
    Follow(rulerMoveMode, selection_, &ToolSelection::Ruler, RulerMode::Move);
    Follow(rulerTurnMode, selection_, &ToolSelection::Ruler, RulerMode::Turn);
    Follow(rulerAlongMode, selection_, &ToolSelection::Ruler, RulerMode::Along);
    Follow(rulerAcrossMode, selection_, &ToolSelection::Ruler, RulerMode::Across);
    Follow(protractorMoveMode, selection_, &ToolSelection::Protractor, ProtractorMode::Move);
    Follow(protractorTurnMode, selection_, &ToolSelection::Protractor, ProtractorMode::Turn);
    Follow(protractorMarkMode, selection_, &ToolSelection::Protractor, ProtractorMode::Mark);
    Follow(compassMoveMode, selection_, &ToolSelection::Compass, CompassMode::Move);
    Follow(compassSpanMode, selection_, &ToolSelection::Compass, CompassMode::Span);
    Follow(compassArcMode, selection_, &ToolSelection::Compass, CompassMode::Arc);
    Follow(setSquareMoveMode, selection_, &ToolSelection::SetSquare, SetSquareMode::Move);
    Follow(setSquareTurnMode, selection_, &ToolSelection::SetSquare, SetSquareMode::Turn);
    Follow(setSquareLongMode, selection_, &ToolSelection::SetSquare, SetSquareMode::LongSide);
    Follow(setSquareShortMode, selection_, &ToolSelection::SetSquare, SetSquareMode::ShortSide);
    Follow(textAddMode, selection_, &ToolSelection::Text, TextMode::Add);
    Follow(textChangeMode, selection_, &ToolSelection::Text, TextMode::Change);
    Follow(textDeleteMode, selection_, &ToolSelection::Text, TextMode::Delete);
    Follow(textMoveMode, selection_, &ToolSelection::Text, TextMode::Move);
    Follow(objectDeleteMode, selection_, &ToolSelection::Objects, ObjectMode::Delete);
    Follow(objectMoveMode, selection_, &ToolSelection::Objects, ObjectMode::Move);
}

} // namespace velmora
