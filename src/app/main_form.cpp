#include "main_form.h"

#include "desktop_keys.h"

#include "document/caption.h"
#include "i18n/file_reasons.h"
#include "i18n/options_file.h"
#include "i18n/translate_components.h"
#include "render/canvas/painter_canvas.h"
#include "session/user_settings.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QShowEvent>

namespace velmora {

TMainForm::TMainForm(const QString &programDir, QWidget *parent)
    : QMainWindow(parent), language_(programDir), prompts_(*this, language_.Translation),
      session_(language_.Translation, prompts_, RecoveryStore::DefaultFolder())
{
    setObjectName(QStringLiteral("mainWindow"));
    DynaArrayCore::SetFailureReporter([](const QString &message) {
        QMessageBox box(QMessageBox::Critical, QString(), message, QMessageBox::Ok);
        box.exec();
    });
    // The bands from top to bottom, the entry bar at the left, the surface in the middle.
    menus_ = new MenuBand(this);
    setMenuWidget(menus_);
    settingsBar_ = new SettingsBar(this);
    addToolBar(Qt::TopToolBarArea, settingsBar_);
    addToolBarBreak(Qt::TopToolBarArea);
    toolBand_ = new ToolBand(this);
    addToolBar(Qt::TopToolBarArea, toolBand_);
    entryBar_ = new EntryBar(session_.Drawing().Placement, this);
    addToolBar(Qt::LeftToolBarArea, entryBar_);
    entryBar_->setVisible(false);
    surface_ = new DrawingSurface(session_, this);
    setCentralWidget(surface_);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(statusBar_);
    prompts_.StatusBar = statusBar_;
    shown_ = session_.Settings();

    WireMenus();
    WireBands();
    WireSurface();
    WireSession();
    CreateKeys();
    setAcceptDrops(true);
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("recoveryTimer"));
    recoveryTimer_->setInterval(RecoveryIntervalSeconds() * 1000);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] {
        if (!dispatch_.Dragging()) // half a stroke is no drawing; the next interval writes the finished one
            session_.Recovery.Write();
    });
    recoveryTimer_->start();
    resize(780, 560);
    ShowPlacement();
    ShowHistory();

    language_.OpenTable();
    const QColor windowText = palette().color(QPalette::WindowText);
    newTextFont_.Colour = ColourRGB(uint8_t(windowText.red()), uint8_t(windowText.green()), uint8_t(windowText.blue()));
    CreateDialogs();
}

TMainForm::~TMainForm()
{
    DynaArrayCore::SetFailureReporter({});
    // The bands go after the session: an entry edit that loses the focus then (a value typed
    // and the window closed) must not place an instrument of a session that is gone.
    disconnect(entryBar_, nullptr, this, nullptr);
    surface_->paintBox->OnFocus = nullptr; // the window's closing takes the focus; nothing to show then
}

void TMainForm::CreateDialogs()
{
    textDialog_ = new TAddTextForm(newTextFont_, this);
    exportDialog_ = new TDPIForm(this);
    pageSetupDialog_ = new TSeiteEinrichtenForm(this);
    pageSetupDialog_->PrintablePageMm = [this] { return printer_.PrintablePageMm(); };
    pageSetupDialog_->Translate = [this](const QString &text) { return language_.Tr(text); };
    translateDialog_ = new TTranslateForm(language_.Table, this);
    translateDialog_->Translate = [this](const QString &text) { return language_.Tr(text); };
}

void TMainForm::WireMenus()
{
    MenuBand &m = *menus_;
    connect(m.newAction, &QAction::triggered, this, Guarded(&TMainForm::NewDrawing));
    connect(m.openAction, &QAction::triggered, this, Guarded(&TMainForm::OpenDrawing));
    connect(m.openWorksheetAction, &QAction::triggered, this, Guarded(&TMainForm::OpenWorksheet));
    connect(m.saveAction, &QAction::triggered, this, Guarded(&TMainForm::SaveDrawing));
    connect(m.saveAsAction, &QAction::triggered, this, Guarded(&TMainForm::SaveDrawingAs));
    connect(m.pageSetupAction, &QAction::triggered, this, Guarded(&TMainForm::SetUpPage));
    connect(m.printAction, &QAction::triggered, this, Guarded(&TMainForm::PrintDrawing));
    connect(m.printerSetupAction, &QAction::triggered, this, Guarded(&TMainForm::SetUpPrinter));
    connect(m.exportAction, &QAction::triggered, this, Guarded(&TMainForm::ExportImage));
    connect(m.quitAction, &QAction::triggered, this, &QWidget::close);
    connect(m.undoAction, &QAction::triggered, this, Guarded(&TMainForm::Undo));
    connect(m.redoAction, &QAction::triggered, this, Guarded(&TMainForm::Redo));
    connect(m.copySheetAction, &QAction::triggered, this, Guarded(&TMainForm::CopySheet));
    for (QAction *item : {m.rulerShownAction, m.protractorShownAction, m.compassShownAction, m.setSquareShownAction})
        connect(item, &QAction::triggered, this, [this] {
            session_.SetShown(menus_->rulerShownAction->isChecked(), menus_->protractorShownAction->isChecked(),
                              menus_->compassShownAction->isChecked(), menus_->setSquareShownAction->isChecked());
        });
    connect(m.entryBarAction, &QAction::triggered, &session_, &DocumentSession::SetEntryBarShown);
    connect(m.inchLabelsAction, &QAction::triggered, &session_, &DocumentSession::SetInchLabels);
    connect(m.germanAction, &QAction::triggered, this, [this] { ChooseLanguage(LanguageGerman); });
    connect(m.englishAction, &QAction::triggered, this, [this] { ChooseLanguage(LanguageEnglish); });
    connect(m.italianAction, &QAction::triggered, this, [this] { ChooseLanguage(LanguageItalian); });
    connect(m.translateAction, &QAction::triggered, this, Guarded(&TMainForm::EditTranslations));
    connect(m.fullScreenAction, &QAction::triggered, this, &TMainForm::SetFullScreen);
}

void TMainForm::SetFullScreen(bool full)
{
    if (full != isFullScreen()) {
        if (full)
            placementBeforeFullScreen_ = saveGeometry();
        setWindowState(full ? windowState() | Qt::WindowFullScreen : windowState() & ~Qt::WindowFullScreen);
    }
    menus_->fullScreenAction->setChecked(isFullScreen());
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) // the desktop may end full screen itself
        menus_->fullScreenAction->setChecked(isFullScreen());
}

void TMainForm::WireBands()
{
    connect(settingsBar_, &SettingsBar::ZoomEdited, &session_, &DocumentSession::SetZoom);
    connect(settingsBar_, &SettingsBar::PenWidthEdited, &session_, &DocumentSession::SetPenWidth);
    connect(settingsBar_, &SettingsBar::EraserSizeEdited, &session_, &DocumentSession::SetEraserSize);
    connect(settingsBar_, &SettingsBar::PageCountEdited, &session_, &DocumentSession::SetSheetCount);
    connect(settingsBar_, &SettingsBar::ColourWanted, this, &TMainForm::ChooseColour);
    connect(toolBand_, &ToolBand::Chosen, surface_, [this] { surface_->Repaint(); });
    connect(toolBand_, &ToolBand::Chosen, this, &TMainForm::FollowToolChoice);
    connect(toolBand_, &ToolBand::CircleWanted, this, [this] { RunPointerGuarded([this] { dispatch_.AddCircle(); }); });
    connect(entryBar_, &EntryBar::Typed, this, [this](PlacementValue value, double typed) {
        session_.Document().Placement.*value = typed; // the instrument follows at once
        surface_->Repaint();
        if (value == &InstrumentPlacement::ProtractorAngle)
            ShowPlacement();
        DescribeSurface();
    });
}

void TMainForm::WireSurface()
{
    PaintBox &box = *surface_->paintBox;
    box.OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        RunPointerGuarded([&] {
            LeaveKeyPointer(); // one gesture at a time
            dispatch_.MouseDown(button == Qt::LeftButton    ? PointerButton::Left
                                : button == Qt::RightButton  ? PointerButton::Right
                                : button == Qt::MiddleButton ? PointerButton::Middle
                                                             : PointerButton::Other,
                                x, y);
            surface_->ShowToolDrawing();
        });
    };
    // Shift held while turning an instrument: its angle clicks into place.
    box.OnMouseMove = [this](Qt::MouseButtons, Qt::KeyboardModifiers shift, int x, int y) {
        RunPointerGuarded([&] {
            dispatch_.SetTurnSnapping(shift.testFlag(Qt::ShiftModifier));
            dispatch_.MouseMove(x, y);
            surface_->ShowToolDrawing();
        });
    };
    box.OnMouseUp = [this](Qt::MouseButton, Qt::KeyboardModifiers shift, int x, int y) {
        RunPointerGuarded([&] {
            dispatch_.SetTurnSnapping(shift.testFlag(Qt::ShiftModifier));
            dispatch_.MouseUp(x, y);
            surface_->ShowToolDrawing();
            DescribeSurface(); // the instrument's new place, the sheet of the press
        });
    };
    box.OnTouch = [this](const std::vector<Finger> &fingers, bool begin) {
        RunPointerGuarded([&] {
            dispatch_.SetTurnSnapping(false);
            touch_.Update(fingers, begin, surface_->paintBox->PenNear());
            surface_->ShowToolDrawing();
        });
    };
    box.OnTouchCancel = [this] {
        RunPointerGuarded([this] {
            touch_.Cancel();
            surface_->ShowToolDrawing();
        });
    };
    box.OnPenDown = [this](QPointF at, bool eraser) {
        RunPointerGuarded([&] {
            touch_.PenCameNear();
            dispatch_.SetTurnSnapping(false);
            dispatch_.PointerDown(PointerButton::Left, at, eraser);
            surface_->ShowToolDrawing();
        });
    };
    box.OnPenMove = [this](QPointF at) {
        RunPointerGuarded([&] {
            touch_.PenCameNear();
            dispatch_.PointerMove(at);
            surface_->ShowToolDrawing();
        });
    };
    box.OnPenUp = [this](QPointF at) {
        RunPointerGuarded([&] {
            dispatch_.PointerUp(at);
            surface_->ShowToolDrawing();
            DescribeSurface();
        });
    };
    box.OnKey = [this](int key, Qt::KeyboardModifiers modifiers) {
        bool used = false;
        RunPointerGuarded([&] {
            used = UseSurfaceKey(key, modifiers);
            surface_->ShowToolDrawing();
        });
        return used;
    };
    box.OnMouseCame = [this] { RunPointerGuarded([this] { LeaveKeyPointer(); }); };
    box.OnFocus = [this](bool focused) {
        surface_->ShowFocusFrame(focused);
        if (!focused)
            RunPointerGuarded([this] { LeaveKeyPointer(); });
        if (focused)
            ShowKeysHint();
    };
}

void TMainForm::WireSession()
{
    connect(&session_, &DocumentSession::SettingsChanged, this, &TMainForm::ShowSettings);
    connect(&session_, &DocumentSession::DrawingChanged, surface_, [this] { surface_->Repaint(); });
    connect(&session_, &DocumentSession::DrawingRead, this, &TMainForm::ShowDrawingRead);
    connect(&session_, &DocumentSession::MarkerChanged, this, &TMainForm::ShowCaption);
    connect(&session_, &DocumentSession::RecentDrawingsChanged, this, &TMainForm::ShowRecentDrawings);
    // The highlighted record may be gone or elsewhere after an undo or redo.
    connect(&session_, &DocumentSession::HistoryStepTaken, this, [this] { dispatch_.Hover().Active = false; });
    connect(&session_.History(), &QUndoStack::indexChanged, this, &TMainForm::ShowHistory);
    connect(&session_.History(), &QUndoStack::cleanChanged, this, &TMainForm::ShowHistory);
}

void TMainForm::CreateKeys()
{
    // F10 opens the first menu; Escape drops a curve under construction, takes back a drag of
    // the mouse or pen as a held keyboard press is taken back, or else, with no gesture under
    // way, leaves full screen.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menus_->menuBar->setActiveAction(menus_->fileMenu->menuAction()); });
    auto *cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancelKey, &QShortcut::activated, this, [this] {
        RunPointerGuarded([this] {
            if (WithdrawKeyPointerPress())
                return;
            if (dispatch_.Cancel()) {
                surface_->ShowToolDrawing();
            } else if (dispatch_.Dragging() && !touch_.Active()) {
                // Nothing of it stays: the moves until the release find no gesture.
                dispatch_.Withdraw();
                surface_->ShowToolDrawing();
            } else if (isFullScreen() && !dispatch_.Dragging() && !touch_.Active()) {
                SetFullScreen(false);
            }
        });
    });
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!firstShowDone_)
        FirstShow();
}

void TMainForm::FirstShow()
{
    language_.ReadStartLanguage();
    CheckLanguageItem(language_.StartLanguage);
    Translator &translation = language_.Translation;
    translation.RegisterMessages();
    language_.LoadQtTranslations();
    if (language_.StartLanguage != LanguageGerman) {
        TranslateComponents(QCoreApplication::instance(), [this](const QString &text) { return language_.Tr(text); },
                            {this});
        session_.SetInchLabels(true);
    }
    firstShowDone_ = true;
    NameControls(); // after the translation: from the texts shown
    AssignMnemonics(menus_->menuBar); // after the translation: the letters are those of the shown texts
    toolBand_->AssignModeMnemonics();
    menus_->MnemonicsShown = true;
    ShowRecentDrawings(); // after the translation: file names are no window texts
    captionBase_ = translation.ProgramMessage(Message::ProgramTitle);
    prompts_.Caption = captionBase_;
    TellAboutTable();
    // The desktop knows the program by its name and desktop file; no display name is set,
    // because Qt would append it to every window title.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    ShowCaption();
    surface_->paintBox->setFocus(); // the keys go to the drawing first, not to the zoom edit
    surface_->Repaint();
}

void TMainForm::TellAboutTable()
{
    const TranslateTable &table = language_.Table;
    const auto translated = [this](const QString &text) { return language_.Tr(text); };
    if (!table.IsOpen())
        session_.Prompts().ShowInformation(
            language_.Tr(QStringLiteral("Die Übersetzungstabelle kann nicht gelesen werden; die Texte bleiben deutsch:")) +
                QLatin1Char('\n') + table.Path() + QStringLiteral("\n\n") + table.Problem().Text(translated),
            captionBase_);
    else if (!table.Problem().IsEmpty())
        session_.Prompts().ShowInformation(
            language_.Tr(QStringLiteral("Die Übersetzungstabelle wird nur gelesen und nicht verändert:")) +
                QLatin1Char('\n') + table.Path() + QStringLiteral("\n\n") + table.Problem().Text(translated),
            captionBase_);
    const UserFolderState userFolder = UserFolderProblem(language_.ProgramDir);
    if (!userFolder.Folder.isEmpty())
        session_.Prompts().ShowInformation(
            language_.Tr(QStringLiteral("Einstellungen und Übersetzungen können nicht gespeichert werden, "
                                        "weil dieser Ordner nicht angelegt oder beschrieben werden kann:")) +
                QLatin1Char('\n') + userFolder.Folder + QStringLiteral("\n\n") + FileReason(userFolder.Problem, translated),
            captionBase_);
}

void TMainForm::CheckLanguageItem(int language)
{
    // Another column of the table than the three of the menu leaves Italian checked.
    QAction *item = language == LanguageGerman    ? menus_->germanAction
                    : language == LanguageEnglish ? menus_->englishAction
                                                  : menus_->italianAction;
    item->setChecked(true);
}

QString TMainForm::Shown(const QString &german)
{
    // Window texts reach the translator (and so the table) only at a start in another language.
    return firstShowDone_ && language_.StartLanguage != LanguageGerman ? language_.Tr(german) : german;
}

void TMainForm::KeepPlacementBetweenRuns()
{
    keepsPlacement_ = true;
    const QByteArray placement = WindowPlacement();
    if (!placement.isEmpty())
        restoreGeometry(placement); // a place off every screen today is moved onto one
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!session_.Files.AskToSaveChanges()) {
        event->ignore();
        return;
    }
    if (keepsPlacement_) // full screen is kept nowhere: the window's place before it is
        KeepWindowPlacement(isFullScreen() && !placementBeforeFullScreen_.isEmpty() ? placementBeforeFullScreen_
                                                                                    : saveGeometry());
    event->accept();
}

} // namespace velmora
