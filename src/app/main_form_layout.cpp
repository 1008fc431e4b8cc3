// Construction of the main window's bands, menus and controls.
#include "main_form.h"

#include "command_icons.h"
#include "desktop_keys.h"

#include <QActionGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>

namespace velmora {

namespace {

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

QLabel *BandLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return label;
}

QSpinBox *IntegerEdit(const char *name, int min, int max, int step, int value, QWidget *parent)
{
    auto *edit = new QSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(min, max);
    edit->setSingleStep(step);
    edit->setValue(value);
    return edit;
}

} // namespace

void TMainForm::CreateMenus()
{
    // The menu bar band: the menus, then icon items for the file commands.
    MenuBar20002 = new QWidget(this);
    MenuBar20002->setObjectName(QStringLiteral("MenuBar20002"));
    auto *band = new QHBoxLayout(MenuBar20002);
    band->setContentsMargins(0, 0, 0, 0);
    band->setSpacing(4);
    MainMenu = new QMenuBar(MenuBar20002);
    MainMenu->setNativeMenuBar(false);
    band->addWidget(MainMenu);
    IconItems = new QToolBar(MenuBar20002);
    IconItems->setObjectName(QStringLiteral("IconItems"));
    IconItems->setIconSize(QSize(16, 16));
    band->addWidget(IconItems);
    band->addStretch(1);
    setMenuWidget(MenuBar20002);

    Datei1 = MainMenu->addMenu(QStringLiteral("Datei"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    Neu1 = MenuItem(Datei1, "Neu1", QStringLiteral("Neu"));
    ffnen1 = MenuItem(Datei1, "ffnen1", QStringLiteral("Öffnen..."));
    Speichern1 = MenuItem(Datei1, "Speichern1", QStringLiteral("Speichern"));
    Speichernunter1 = MenuItem(Datei1, "Speichernunter1", QStringLiteral("Speichern unter..."));
    Datei1->addSeparator();
    DateiSeiteeinrichten1 = MenuItem(Datei1, "DateiSeiteeinrichten1", QStringLiteral("Seite einrichten..."));
    DateiDrucken1 = MenuItem(Datei1, "DateiDrucken1", QStringLiteral("Drucken..."));
    Druckereinrichten1 = MenuItem(Datei1, "Druckereinrichten1", QStringLiteral("Drucker einrichten..."));
    DateiAlsBildexportieren1 = MenuItem(Datei1, "DateiAlsBildexportieren1", QStringLiteral("Als Bild exportieren..."));
    Datei1->addSeparator();
    Beenden1 = MenuItem(Datei1, "Beenden1", QStringLiteral("Beenden"));
    // The platform's keys, and the common ones where the platform has none (plain X11 has no
    // key for Save as).
    Neu1->setShortcuts(CommonShortcuts(QKeySequence::New, {QKeySequence(Qt::CTRL | Qt::Key_N)}));
    ffnen1->setShortcuts(CommonShortcuts(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
    Speichern1->setShortcuts(CommonShortcuts(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
    Speichernunter1->setShortcuts(
        CommonShortcuts(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));
    DateiDrucken1->setShortcuts(CommonShortcuts(QKeySequence::Print, {QKeySequence(Qt::CTRL | Qt::Key_P)}));
    Beenden1->setShortcuts(CommonShortcuts(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    for (QAction *item : {Neu1, ffnen1, Speichern1, Speichernunter1, DateiDrucken1, Beenden1})
        item->setShortcutContext(Qt::ApplicationShortcut);
    connect(DateiSeiteeinrichten1, &QAction::triggered, this, &TMainForm::DateiSeiteeinrichten1Click);
    connect(DateiDrucken1, &QAction::triggered, this, &TMainForm::DateiDrucken1Click);
    connect(Druckereinrichten1, &QAction::triggered, this, &TMainForm::Druckereinrichten1Click);
    connect(DateiAlsBildexportieren1, &QAction::triggered, this, &TMainForm::DateiAlsBildexportieren1Click);
    connect(Neu1, &QAction::triggered, this, &TMainForm::Neu1Click);
    connect(ffnen1, &QAction::triggered, this, &TMainForm::ffnen1Click);
    connect(Speichern1, &QAction::triggered, this, &TMainForm::Speichern1Click);
    connect(Speichernunter1, &QAction::triggered, this, &TMainForm::Speichernunter1Click);
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);

    Ansicht1 = MainMenu->addMenu(QStringLiteral("Ansicht"));
    Ansicht1->setObjectName(QStringLiteral("Ansicht1"));
    Lineal2 = CheckItem(Ansicht1, "Lineal2", QStringLiteral("Lineal"), true);
    Winkelmesser2 = CheckItem(Ansicht1, "Winkelmesser2", QStringLiteral("Winkelmesser"), true);
    Zirkel2 = CheckItem(Ansicht1, "Zirkel2", QStringLiteral("Zirkel"), true);
    LeistefrZahleneingabe1 =
        CheckItem(Ansicht1, "LeistefrZahleneingabe1", QStringLiteral("Leiste für Zahleneingabe"), false);
    connect(LeistefrZahleneingabe1, &QAction::triggered, this, &TMainForm::LeistefrZahleneingabe1Click);
    AnsichtZollAngabenfrdasLineal1 =
        CheckItem(Ansicht1, "AnsichtZollAngabenfrdasLineal1", QStringLiteral("Zollangaben für das Lineal"), false);
    for (QAction *item : {Lineal2, Winkelmesser2, Zirkel2, AnsichtZollAngabenfrdasLineal1})
        connect(item, &QAction::triggered, this, &TMainForm::ViewSwitchClick);

    Sprache1 = MainMenu->addMenu(QStringLiteral("Sprache"));
    Sprache1->setObjectName(QStringLiteral("Sprache1"));
    auto *languages = new QActionGroup(this);
    SpracheDeutsch1 = CheckItem(Sprache1, "SpracheDeutsch1", QStringLiteral("Deutsch"), true);
    SpracheEnglish1 = CheckItem(Sprache1, "SpracheEnglish1", QStringLiteral("English"), false);
    SpracheItaliano1 = CheckItem(Sprache1, "SpracheItaliano1", QStringLiteral("Italiano"), false);
    for (QAction *item : {SpracheDeutsch1, SpracheEnglish1, SpracheItaliano1})
        languages->addAction(item);
    connect(SpracheDeutsch1, &QAction::triggered, this, &TMainForm::SpracheDeutsch1Click);
    connect(SpracheEnglish1, &QAction::triggered, this, &TMainForm::SpracheEnglish1Click);
    connect(SpracheItaliano1, &QAction::triggered, this, &TMainForm::SpracheItaliano1Click);
    Sprache1->addSeparator();
    Sprachebersetzen1 = MenuItem(Sprache1, "Sprachebersetzen1", QStringLiteral("Übersetzen..."));
    connect(Sprachebersetzen1, &QAction::triggered, this, &TMainForm::Sprachebersetzen1Click);

    // Icon items with hints, in the order of the file menu.
    const struct {
        const char *name;
        QAction *item;
        CommandIconKind icon;
        QString hint;
    } icons[] = {
        {"N5", Neu1, CommandIconKind::New, QStringLiteral("Neu")},
        {"N6", ffnen1, CommandIconKind::Open, QStringLiteral("Öffnen...")},
        {"N7", Speichern1, CommandIconKind::Save, QStringLiteral("Speichern")},
        {"N8", Speichernunter1, CommandIconKind::SaveAs, QStringLiteral("Speichern unter...")},
        {"MenuItem1", DateiSeiteeinrichten1, CommandIconKind::PageSetup, QStringLiteral("Seite einrichten")},
        {"N9", DateiDrucken1, CommandIconKind::Print, QStringLiteral("Drucken")},
        {"N10", Druckereinrichten1, CommandIconKind::PrinterSetup, QStringLiteral("Drucker einrichten")},
        {"N11", Beenden1, CommandIconKind::Quit, QStringLiteral("Beenden")},
    };
    for (const auto &entry : icons) {
        const QIcon icon = CommandIcon(entry.icon);
        entry.item->setIcon(icon); // the menu shows it too
        QAction *button = IconItems->addAction(icon, QString());
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setToolTip(entry.hint);
        button->setEnabled(entry.item->isEnabled());
        connect(entry.item, &QAction::enabledChanged, button, &QAction::setEnabled);
        connect(button, &QAction::triggered, entry.item, &QAction::trigger);
    }
}

void TMainForm::CreateToolBarPanel()
{
    Panel1 = new QToolBar(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    auto *panel = new QWidget(Panel1);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    zoomed = IntegerEdit("zoomed", 1, 300, 10, 100, panel);
    StrichEd = new DecimalEdit("StrichEd", 0.01, 100, 0.1, 0.1, panel);
    Shape1 = new ColourSwatch(panel);
    FarbeBtn = new QPushButton(QStringLiteral("Farbe..."), panel);
    FarbeBtn->setObjectName(QStringLiteral("FarbeBtn"));
    RadierEd = new DecimalEdit("RadierEd", 0.01, 100, 0.1, 2, panel);
    PageAnz = IntegerEdit("PageAnz", 1, 10, 1, 1, panel);

    grid->addWidget(BandLabel("Label1", QStringLiteral("Zoom:"), panel), 0, 0);
    grid->addWidget(zoomed, 1, 0);
    grid->addWidget(BandLabel("Label2", QStringLiteral("Strichstärke:"), panel), 0, 1, 1, 2);
    grid->addWidget(StrichEd, 1, 1);
    grid->addWidget(BandLabel("Label3", QStringLiteral("mm"), panel), 1, 2);
    grid->addWidget(BandLabel("Label4", QStringLiteral("Stiftfarbe:"), panel), 0, 3, 1, 2);
    grid->addWidget(Shape1, 1, 3);
    grid->addWidget(FarbeBtn, 1, 4);
    grid->addWidget(BandLabel("Label5", QStringLiteral("Radiergummi:"), panel), 0, 5, 1, 2);
    grid->addWidget(RadierEd, 1, 5);
    grid->addWidget(BandLabel("Label6", QStringLiteral("mm"), panel), 1, 6);
    grid->addWidget(BandLabel("Label7", QStringLiteral("Seitenanzahl:"), panel), 0, 7);
    grid->addWidget(PageAnz, 1, 7);
    grid->setColumnStretch(8, 1);
    Panel1->addWidget(panel);
    addToolBar(Qt::TopToolBarArea, Panel1);

    connect(zoomed, &QSpinBox::valueChanged, this, &TMainForm::zoomedChange);
    connect(PageAnz, &QSpinBox::valueChanged, this, &TMainForm::PageAnzChange);
    connect(FarbeBtn, &QPushButton::clicked, this, &TMainForm::FarbeBtnClick);
    connect(Shape1, &ColourSwatch::Pressed, this, &TMainForm::FarbeBtnClick);

    addToolBarBreak(Qt::TopToolBarArea);
    MenuBar20001 = new QToolBar(this);
    MenuBar20001->setObjectName(QStringLiteral("MenuBar20001"));
    MenuBar20001->setMovable(false);
    MenuBar20001->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, MenuBar20001);
}

void TMainForm::CreateSurface()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    // The area around the sheets shows the application-workspace colour.
    QPalette workspace = ScrollBox1->viewport()->palette();
    workspace.setColor(QPalette::Window, palette().color(QPalette::Dark));
    ScrollBox1->viewport()->setPalette(workspace);
    ScrollBox1->viewport()->setAutoFillBackground(true);

    PaintBox1 = new PaintBox;
    // A click on the sheet takes the keyboard from an edit, so Ctrl+Z undoes the drawing, not
    // the edit's typing.
    PaintBox1->setFocusPolicy(Qt::ClickFocus);
    PaintBox1->OnPaint = [this](QPainter &painter, const QRect &exposed) { PaintSurface(painter, exposed); };
    PaintBox1->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
        PaintBox1MouseDown(b, s, x, y);
    };
    PaintBox1->OnMouseMove = [this](Qt::MouseButtons b, Qt::KeyboardModifiers s, int x, int y) {
        PaintBox1MouseMove(b, s, x, y);
    };
    PaintBox1->OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
        PaintBox1MouseUp(b, s, x, y);
    };
    ScrollBox1->setWidget(PaintBox1);
    setCentralWidget(ScrollBox1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
}

} // namespace velmora
