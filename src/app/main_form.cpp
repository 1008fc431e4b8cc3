#include "main_form.h"

#include "file_messages.h"

#include "document/units.h"
#include "desktop_keys.h"
#include "i18n/file_reasons.h"
#include "i18n/options_file.h"
#include "i18n/table_upkeep.h"
#include "i18n/translate_components.h"
#include "render/canvas/painter_canvas.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QWheelEvent>

namespace velmora {

TMainForm::TMainForm(const QString &programDir, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    ProgramDir = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    ShowInformation = [this](const QString &text, const QString &caption) {
        QMessageBox::information(this, caption, text);
    };
    DynaArrayCore::SetFailureReporter([](const QString &message) {
        QMessageBox box(QMessageBox::Critical, QString(), message, QMessageBox::Ok);
        box.exec();
    });
    CreateDialogHooks();
    CreateMenus();
    CreateHistory();
    CreateCopyCommand();
    CreateToolBarPanel();
    CreateToolMenu();
    CreateEntryBar();
    CreateSurface();
    CreateKeys();
    CreateOutsideOpening();
    ScrollBox1->viewport()->installEventFilter(this);
    resize(780, 560);
    UpdateEds();

    // The installed table itself (when the user's copy cannot be made) is only read.
    const QString tablePath = DataFilePath(ProgramDir, QStringLiteral("translate.dbf"));
    translate.Open(tablePath, tablePath == InstalledTemplatePath(ProgramDir, QStringLiteral("translate.dbf")));
    UpdateUserTable(translate, ProgramDir);
    Translation.LoadTranslationIndex();
    const QColor windowText = palette().color(QPalette::WindowText);
    FontDialog1.Colour = ColourRGB(uint8_t(windowText.red()), uint8_t(windowText.green()), uint8_t(windowText.blue()));
    AddTextForm = new TAddTextForm(FontDialog1, this);
    DPIForm = new TDPIForm(this);
    SeiteEinrichtenForm = new TSeiteEinrichtenForm(this);
    SeiteEinrichtenForm->PrintablePageMm = [this] { return PrintablePageMm(); };
    SeiteEinrichtenForm->Translate = [this](const QString &text) { return Translation.TranslateString(text); };
    TranslateForm = new TTranslateForm(translate, this);
    TranslateForm->Translate = [this](const QString &text) { return Translation.TranslateString(text); };
}

TMainForm::~TMainForm()
{
    NewAll();
    DynaArrayCore::SetFailureReporter({});
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow()
{
    if (FirstShowDone)
        return;
    LoadOptions();
    Translation.RegisterMessages();
    Translation.LanguageColumn = StartLanguage;
    LoadQtTranslations(StartLanguage);
    if (StartLanguage != LanguageGerman) {
        TranslateComponents(QCoreApplication::instance(),
                            [this](const QString &text) { return Translation.TranslateString(text); }, {this});
        AnsichtZollAngabenfrdasLineal1->setChecked(true);
    }
    FirstShowDone = true;
    AssignMnemonics(MainMenu); // after the translation: the letters are those of the shown texts
    MnemonicsShown = true;
    UpdateRecentItems(); // after the translation: file names are no window texts
    CaptionBase = Translation.ProgramMessage(Message::ProgramTitle);
    const auto translated = [this](const QString &text) { return Translation.TranslateString(text); };
    if (!translate.IsOpen())
        ShowInformation(translated(QStringLiteral(
                            "Die Übersetzungstabelle kann nicht gelesen werden; die Texte bleiben deutsch:")) +
                            QLatin1Char('\n') + translate.Path() + QStringLiteral("\n\n") +
                            translate.Problem().Text(translated),
                        CaptionBase);
    else if (!translate.Problem().IsEmpty())
        ShowInformation(translated(QStringLiteral("Die Übersetzungstabelle wird nur gelesen und nicht verändert:")) +
                            QLatin1Char('\n') + translate.Path() + QStringLiteral("\n\n") +
                            translate.Problem().Text(translated),
                        CaptionBase);
    const UserFolderState userFolder = UserFolderProblem(ProgramDir);
    if (!userFolder.Folder.isEmpty())
        ShowInformation(translated(QStringLiteral("Einstellungen und Übersetzungen können nicht gespeichert werden, "
                                                  "weil dieser Ordner nicht angelegt oder beschrieben werden kann:")) +
                            QLatin1Char('\n') + userFolder.Folder + QStringLiteral("\n\n") +
                            FileReason(userFolder.Problem, translated),
                        CaptionBase);
    // The desktop knows the program by its name and desktop file; no display name is set,
    // because Qt would append it to every window title.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    SetUnChanged();
    PaintBox1->setFocus(); // the keys go to the drawing first, not to the zoom edit
    PaintBox1Paint();
}

QString TMainForm::OptionsPath() const
{
    return DataFilePath(ProgramDir, QStringLiteral("options.dat"));
}

void TMainForm::LoadOptions()
{
    StartLanguage = LanguageItalian;
    Translation.LanguageColumn = LanguageItalian;
    SuppressLanguageClick = true;
    SpracheItaliano1->setChecked(true);
    SuppressLanguageClick = false;
    const int stored = ReadOptionsFile(OptionsPath());
    if (stored < 0)
        return; // missing, short or naming no column: Italian, as without a file
    StartLanguage = stored;
    SuppressLanguageClick = true;
    if (stored == LanguageGerman)
        SpracheDeutsch1->setChecked(true);
    else if (stored == LanguageEnglish)
        SpracheEnglish1->setChecked(true);
    else if (stored == LanguageItalian)
        SpracheItaliano1->setChecked(true);
    SuppressLanguageClick = false;
}

bool TMainForm::SaveOptions()
{
    QString path = OptionsPath();
    // The installed options are never written; the user's folder said why there is no copy.
    const UserFolderState userFolder = path == InstalledTemplatePath(ProgramDir, QStringLiteral("options.dat"))
                                           ? UserFolderProblem(ProgramDir)
                                           : UserFolderState();
    if (!userFolder.Folder.isEmpty())
        path = userFolder.Folder;
    const FileOutcome written =
        userFolder.Folder.isEmpty() ? WriteOptionsFile(path, Translation.LanguageColumn) : userFolder.Problem;
    if (!written.Ok())
        ShowError(FileFaultMessage(Translation,
                                   QStringLiteral("Die gewählte Sprache konnte nicht gespeichert werden; beim nächsten "
                                                  "Start erscheint das Programm wieder in der bisherigen Sprache:"),
                                   path, written));
    return written.Ok();
}

void TMainForm::ChooseLanguage(int language, QAction *item)
{
    if (SuppressLanguageClick)
        return;
    item->setChecked(true);
    Translation.LanguageColumn = language;
    // The request to restart only makes sense when the choice was kept for the next start.
    if (SaveOptions())
        ShowInformation(Translation.ProgramMessage(Message::RestartForLanguage), Translation.ProgramMessage(Message::ProgramTitle));
}

void TMainForm::SpracheDeutsch1Click()
{
    ChooseLanguage(LanguageGerman, SpracheDeutsch1);
}

void TMainForm::SpracheEnglish1Click()
{
    ChooseLanguage(LanguageEnglish, SpracheEnglish1);
}

void TMainForm::SpracheItaliano1Click()
{
    ChooseLanguage(LanguageItalian, SpracheItaliano1);
}

void TMainForm::Sprachebersetzen1Click()
{
    // Closed without a change, there is nothing to restart for.
    if (!TranslateForm->ShowModal())
        return;
    ShowInformation(Translation.ProgramMessage(Message::RestartForLanguage), Translation.ProgramMessage(Message::ProgramTitle));
}

void TMainForm::LoadQtTranslations(int language)
{
    // Standard dialogs and message boxes speak the start language too.
    const char *code = language == LanguageGerman ? "de" : language == LanguageItalian ? "it" : nullptr;
    if (code && QtTexts.load(QStringLiteral("qtbase_") + QLatin1String(code),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&QtTexts);
}

double TMainForm::ScreenDpiX() const
{
    const int dpi = PaintBox1->logicalDpiX();
    return dpi > 0 ? dpi : 96;
}

double TMainForm::ScreenDpiY() const
{
    const int dpi = PaintBox1->logicalDpiY();
    return dpi > 0 ? dpi : ScreenDpiX();
}

ViewGeometry TMainForm::CurrentView() const
{
    return ComputeViewGeometry(PageAnz->value(), zoomed->value(), ScreenDpiX(), ScreenDpiY(), State.PageWidthInch,
                               State.PageHeightInch);
}

SheetView TMainForm::CurrentSheetView() const
{
    return {Lineal2->isChecked(), Winkelmesser2->isChecked(), Zirkel2->isChecked(),
            AnsichtZollAngabenfrdasLineal1->isChecked()};
}

void TMainForm::PaintBox1Paint()
{
    PaintSheets(PaintScope::AllSheets);
}

void TMainForm::PaintSheets(PaintScope scope)
{
    if (PaintSuspended)
        return;
    const ViewGeometry view = CurrentView();
    View.Geometry = view;
    // The previews drawn over the old picture go with it, also when the surface changes size.
    const QRect overlay = SurfaceOverlay.DrawnRect();
    SurfaceOverlay.Clear();
    const QSize wanted = view.SurfaceSize();
    if (PaintBox1->size() != wanted) {
        // The resize makes the platform paint the surface again; that paint draws the sheets.
        PaintBox1->resize(wanted);
        return;
    }
    // The kept pictures follow the drawing, and texts get their measured boxes now, so what
    // follows the paint can rely on them.
    const std::optional<QRegion> changed =
        Renderer.AcceptDrawing(State, view, CurrentSheetView(), scope, View.ActivePage);
    if (!changed) {
        PaintBox1->update();
        return;
    }
    // Only what the change touched, and where the previews were.
    const QRegion area = (*changed + overlay).intersected(PaintBox1->rect());
    if (!area.isEmpty())
        PaintBox1->update(area);
}

void TMainForm::PaintSurface(QPainter &painter, const QRect &exposed)
{
    if (PaintSuspended)
        return;
    const ViewGeometry view = CurrentView();
    View.Geometry = view;
    Renderer.Paint(painter, exposed, State, view, CurrentSheetView());
    if (!SurfaceOverlay.IsEmpty()) {
        PainterCanvas surface(painter);
        SurfaceOverlay.ReplayOn(surface, exposed);
    }
}

void TMainForm::ScrollTo(int h, int v)
{
    PaintSuspended = true;
    ScrollBox1->horizontalScrollBar()->setValue(h);
    ScrollBox1->verticalScrollBar()->setValue(v);
    PaintSuspended = false;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The mouse wheel scrolls the drawing by 20 pixels a step.
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        QScrollBar *bar = ScrollBox1->verticalScrollBar();
        if (delta > 0)
            bar->setValue(bar->value() - 20);
        else if (delta < 0)
            bar->setValue(bar->value() + 20);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    const PointerButton which = button == Qt::LeftButton    ? PointerButton::Left
                                : button == Qt::RightButton  ? PointerButton::Right
                                : button == Qt::MiddleButton ? PointerButton::Middle
                                                             : PointerButton::Other;
    Dispatch.MouseDown(which, x, y);
    ShowSurfaceDrawing();
}

void TMainForm::ShowSurfaceDrawing()
{
    // Only the part the tools drew on is painted again (a pencil segment, a preview).
    const QRect dirty = SurfaceOverlay.TakeDirtyRect();
    if (!dirty.isNull())
        PaintBox1->update(dirty.intersected(PaintBox1->rect()));
}

void TMainForm::PaintBox1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    Dispatch.MouseMove(x, y);
    ShowSurfaceDrawing();
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    Dispatch.MouseUp(x, y);
    ShowSurfaceDrawing();
}

void TMainForm::CreateKeys()
{
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] { MainMenu->setActiveAction(Datei1->menuAction()); });
    auto *cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancelKey, &QShortcut::activated, this, [this] {
        Dispatch.Cancel();
        ShowSurfaceDrawing();
    });
}

void TMainForm::ScrollToTopLeft()
{
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TMainForm::zoomedChange()
{
    PaintBox1Paint();
}

void TMainForm::PageAnzChange()
{
    RecordPageCount(LastPageCount, PageAnz->value());
    LastPageCount = PageAnz->value();
    SetChanged();
    PaintBox1Paint();
}

void TMainForm::FarbeBtnClick()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(Shape1->Colour()), this);
    if (chosen.isValid())
        Shape1->SetColour(ColourRGB(chosen.red(), chosen.green(), chosen.blue()));
}

void TMainForm::ViewSwitchClick()
{
    PaintBox1Paint();
}

} // namespace velmora
