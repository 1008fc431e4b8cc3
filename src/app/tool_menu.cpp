// The tool menu band: a drop-down button per tool that shows which tool is checked, each
// tool's modes in a radio group of their own, so every tool keeps its mode.
#include "main_form.h"
#include "tool_icons.h"

#include <QActionGroup>
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

QAction *TMainForm::AddTool(QActionGroup *tools, const char *name, const QString &caption, const QString &hint,
                            ToolIconKind icon, std::initializer_list<ModeItem> modes)
{
    QAction *tool = RadioItem(MenuBar20001, tools, name, caption);
    tool->setIcon(ToolIcon(icon));
    tool->setToolTip(hint);
    auto *button = new QToolButton(MenuBar20001);
    button->setDefaultAction(tool);
    button->setFocusPolicy(Qt::NoFocus); // only the checked tool looks pressed
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QFont small = button->font(); // ten tools fit the window's width
    small.setPointSizeF(small.pointSizeF() * 0.85);
    button->setFont(small);
    if (modes.size() > 0) {
        auto *menu = new QMenu(button);
        auto *group = new QActionGroup(menu);
        for (const ModeItem &mode : modes) {
            QAction *item = RadioItem(menu, group, mode.name, mode.caption);
            menu->addAction(item);
            *mode.field = item;
            // Choosing a mode checks its tool, then the mode, then repaints.
            connect(item, &QAction::triggered, this, [this, tool] {
                tool->setChecked(true);
                PaintBox1Paint();
            });
        }
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    } else {
        connect(tool, &QAction::triggered, this, &TMainForm::PaintBox1Paint);
    }
    MenuBar20001->addWidget(button);
    return tool;
}

void TMainForm::CreateToolMenu()
{
    auto *tools = new QActionGroup(this);
    Lineal1 = AddTool(tools, "Lineal1", QStringLiteral("Lineal"),
                      QStringLiteral("Lineal verschieben, drehen und Linien daran zeichnen"), ToolIconKind::Ruler,
                      {{"LinealVerschieben1", QStringLiteral("Verschieben"), &LinealVerschieben1},
                       {"LinealDrehen1", QStringLiteral("Drehen"), &LinealDrehen1},
                       {"LinealAnLinealentlangzeichnen1", QStringLiteral("Am Lineal entlang zeichnen"),
                        &LinealAnLinealentlangzeichnen1},
                       {"LinealQuerzumLinealzeichnen1", QStringLiteral("Quer zum Lineal zeichnen"),
                        &LinealQuerzumLinealzeichnen1}});
    Winkelmesser1 = AddTool(tools, "Winkelmesser1", QStringLiteral("Winkelmesser"),
                            QStringLiteral("Winkelmesser verschieben, drehen und Gradzahlen markieren"),
                            ToolIconKind::Protractor,
                            {{"WinkelmesserVerschieben1", QStringLiteral("Verschieben"), &WinkelmesserVerschieben1},
                             {"WinkelmesserDrehen1", QStringLiteral("Drehen"), &WinkelmesserDrehen1},
                             {"WinkelmesserGradzahlmitBleistiftmarkieren1",
                              QStringLiteral("Gradzahl mit Bleistift markieren"),
                              &WinkelmesserGradzahlmitBleistiftmarkieren1}});
    Zirkel1 = AddTool(tools, "Zirkel1", QStringLiteral("Zirkel"),
                      QStringLiteral("Zirkel verschieben, Spanne einstellen, Kreisbögen und Kreise zeichnen"),
                      ToolIconKind::Compass,
                      {{"ZirkelVerschieben1", QStringLiteral("Verschieben"), &ZirkelVerschieben1},
                       {"ZirkelZirkelspanne1", QStringLiteral("Zirkelspanne"), &ZirkelZirkelspanne1},
                       {"ZirkelKreisbogenzeichnen1", QStringLiteral("Kreisbogen zeichnen"), &ZirkelKreisbogenzeichnen1}});
    // "Kreis zeichnen" is a command, not a mode: it adds a full circle at once.
    auto *compassMenu = qobject_cast<QMenu *>(ZirkelVerschieben1->parent()); // the compass's modes
    ZirkelKreiszeichnen1 = compassMenu->addAction(QStringLiteral("Kreis zeichnen"));
    ZirkelKreiszeichnen1->setObjectName(QStringLiteral("ZirkelKreiszeichnen1"));
    Kurven1 = AddTool(tools, "Kurven1", QStringLiteral("Kurven"),
                      QStringLiteral("Kurve mit vier Klicks: Anfang, Ende, zwei Kontrollpunkte"), ToolIconKind::Curves,
                      {});
    Bleistift1 = AddTool(tools, "Bleistift1", QStringLiteral("Bleistift"), QStringLiteral("Freihand zeichnen"),
                         ToolIconKind::Pencil, {});
    Radierer1 = AddTool(tools, "Radierer1", QStringLiteral("Radierer"), QStringLiteral("Radieren"),
                        ToolIconKind::Eraser, {});
    Text1 = AddTool(tools, "Text1", QStringLiteral("Text"),
                    QStringLiteral("Texte hinzufügen, ändern, löschen und verschieben"), ToolIconKind::Text,
                    {{"TextTexthinzufgen1", QStringLiteral("Text hinzufügen"), &TextTexthinzufgen1},
                     {"TextTextndern1", QStringLiteral("Ändern..."), &TextTextndern1},
                     {"TextTextlschen1", QStringLiteral("Löschen"), &TextTextlschen1},
                     {"TextVerschieben1", QStringLiteral("Verschieben"), &TextVerschieben1}});
    Objekte1 = AddTool(tools, "Objekte1", QStringLiteral("Objekte"),
                       QStringLiteral("Gezeichnete Objekte löschen und verschieben"), ToolIconKind::Objects,
                       {{"ObjekteLschen1", QStringLiteral("Löschen"), &ObjekteLschen1},
                        {"ObjekteVerschieben1", QStringLiteral("Verschieben"), &ObjekteVerschieben1}});
    Hand1 = AddTool(tools, "Hand1", QStringLiteral("Hand"), QStringLiteral("Die Ansicht verschieben"),
                    ToolIconKind::Hand, {});
    Zoom1 = AddTool(tools, "Zoom1", QStringLiteral("Zoom"),
                    QStringLiteral("Linksklick vergrößert, Rechtsklick verkleinert"), ToolIconKind::Zoom, {});

    FollowToolChoices();
    Lineal1->setChecked(true);
    LinealVerschieben1->setChecked(true);
    connect(ZirkelKreiszeichnen1, &QAction::triggered, this, [this] { Dispatch.AddCircle(); });
}

namespace {

// Checking the item writes its choice into the tool selection.
template <class Value>
void Follow(TMainForm &form, QAction *item, Value ToolSelection::*field, Value value)
{
    QObject::connect(item, &QAction::toggled, &form, [&form, field, value](bool checked) {
        if (checked)
            form.Tools.*field = value;
    });
}

} // namespace

void TMainForm::FollowToolChoices()
{
    const std::pair<QAction *, Tool> tools[] = {
        {Lineal1, Tool::Ruler},     {Winkelmesser1, Tool::Protractor}, {Zirkel1, Tool::Compass}, {Kurven1, Tool::Curves},
        {Bleistift1, Tool::Pencil}, {Radierer1, Tool::Eraser},         {Text1, Tool::Text},       {Objekte1, Tool::Objects},
        {Hand1, Tool::Hand},        {Zoom1, Tool::Zoom}};
    for (const auto &[item, tool] : tools)
        Follow(*this, item, &ToolSelection::Current, tool);
    Follow(*this, LinealVerschieben1, &ToolSelection::Ruler, RulerMode::Move);
    Follow(*this, LinealDrehen1, &ToolSelection::Ruler, RulerMode::Turn);
    Follow(*this, LinealAnLinealentlangzeichnen1, &ToolSelection::Ruler, RulerMode::Along);
    Follow(*this, LinealQuerzumLinealzeichnen1, &ToolSelection::Ruler, RulerMode::Across);
    Follow(*this, WinkelmesserVerschieben1, &ToolSelection::Protractor, ProtractorMode::Move);
    Follow(*this, WinkelmesserDrehen1, &ToolSelection::Protractor, ProtractorMode::Turn);
    Follow(*this, WinkelmesserGradzahlmitBleistiftmarkieren1, &ToolSelection::Protractor, ProtractorMode::Mark);
    Follow(*this, ZirkelVerschieben1, &ToolSelection::Compass, CompassMode::Move);
    Follow(*this, ZirkelZirkelspanne1, &ToolSelection::Compass, CompassMode::Span);
    Follow(*this, ZirkelKreisbogenzeichnen1, &ToolSelection::Compass, CompassMode::Arc);
    Follow(*this, TextTexthinzufgen1, &ToolSelection::Text, TextMode::Add);
    Follow(*this, TextTextndern1, &ToolSelection::Text, TextMode::Change);
    Follow(*this, TextTextlschen1, &ToolSelection::Text, TextMode::Delete);
    Follow(*this, TextVerschieben1, &ToolSelection::Text, TextMode::Move);
    Follow(*this, ObjekteLschen1, &ToolSelection::Objects, ObjectMode::Delete);
    Follow(*this, ObjekteVerschieben1, &ToolSelection::Objects, ObjectMode::Move);
}

} // namespace velmora
