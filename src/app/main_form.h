// TMainForm: the main window. It owns the drawing, lays out the menus, the tool bar and
// the drawing surface, and hands every event to the layer that deals with it.
#pragma once

#include "colour_swatch.h"
#include "dialogs/decimal_edit.h"
#include "form_tool_host.h"
#include "paint_box.h"
#include "recovery_store.h"
#include "tool_icons.h"

#include "dialogs/add_text_form.h"
#include "dialogs/dpi_form.h"
#include "dialogs/page_setup_form.h"
#include "dialogs/translate_form.h"
#include "document/drawing_file.h"
#include "document/drawing_state.h"
#include "i18n/translate_components.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"
#include "render/canvas/overlay_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "render/surface/surface_renderer.h"
#include "tools/pointer_dispatch.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QPrinter>
#include <QTranslator>
#include <QUndoStack>

#include <functional>
#include <optional>
#include <memory>
#include <vector>

namespace velmora {

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // programDir: where translate.dbf and options.dat are looked for; the program's folder
    // when empty.
    explicit TMainForm(const QString &programDir = QString(), QWidget *parent = nullptr);
    ~TMainForm() override;

    // The one paint operation: sizes the surface to the stack of sheets and repaints it.
    void PaintBox1Paint();
    // The same for a tool, which may ask for the sheet of the latest press alone.
    void PaintSheets(PaintScope scope);
    // Scrolls the drawing without repainting it; the surface paints what scrolling uncovers.
    void ScrollTo(int h, int v);

    // The view of the drawing as the controls hold it now.
    ViewGeometry CurrentView() const;
    double ScreenDpiX() const;
    double ScreenDpiY() const;
    SheetView CurrentSheetView() const;

    DrawingState State;
    // The surface's transform of the last paint and the sheet of the latest press.
    SurfaceView View;

    // The chosen tool and its modes; the tool menu shows it and every check of an item writes it.
    ToolSelection Tools;

    // The pointer: what the tools draw on the surface, the dispatch and its gestures.
    OverlayCanvas SurfaceOverlay;
    FormToolHost Host{*this};
    PointerDispatch Dispatch{Host};

    // Output: page setup, printing, image export.
    QPrinter &CurrentPrinter();
    QString DrawingName(); // the file's name without folder and extension, for print jobs and PDFs
    std::optional<QSizeF> PrintablePageMm();
    void DateiSeiteeinrichten1Click();
    void Druckereinrichten1Click();
    void DateiDrucken1Click();
    void DateiAlsBildexportieren1Click();
    // Writes sheet `sheet` (from 0) to path as BMP, PNG, PDF or SVG by its extension; says what failed.
    bool ExportSheet(const QString &path, int sheet, int dpi);
    void ShowSheetSizeError(); // the sheet is too small or too large for paper or an image
    // Puts the sheet of the latest press on the clipboard as a picture and as SVG.
    void SeiteKopieren1Click();

    QString CaptionBase;
    QString ProgramDir; // the program's folder, ending in '/'

    // Languages: the translation table of the whole run and the translator over it.
    TranslateTable translate;
    Translator Translation{translate};
    int StartLanguage = 2;
    bool SuppressLanguageClick = false;
    QString OptionsPath() const;

    // Message boxes and file dialogs go through these, so tests can answer them.
    std::function<void(const QString &text, const QString &caption)> ShowInformation;
    std::function<void(const QString &text)> ShowError;
    std::function<QMessageBox::StandardButton(const QString &text, const QString &caption)> AskYesNoCancel;
    std::function<QString(const FileDialogFilter &dialog)> AskOpenFileName;
    std::function<QString(const FileDialogFilter &dialog)> AskSaveFileName;
    // The title of a file dialog: Qt's own for opening and saving, the command's for the export.
    QString FileDialogTitle(const FileDialogFilter &dialog);

    // The history of the drawing: undo and redo.
    QUndoStack History;
    EditRecorder Recorder;
    static constexpr int HistoryLimit = 1000; // steps kept; older ones are forgotten
    bool ApplyingHistory = false;
    int LastPageCount = 1;
    void Rueckgaengig1Click();
    void Wiederherstellen1Click();
    void UpdateHistoryItems();
    bool MnemonicsShown = false; // set once the menus are translated and carry their mnemonics
    void AfterHistoryStep();
    void CommitEdit();
    void RecordPageCount(int before, int after);
    // Undo or redo of a change of the number of sheets: sets the count without recording a step.
    void ApplyPageCountStep(int count);

    // Change tracking and the caption.
    void SetChanged();
    void SetUnChanged();
    void NewAll();

    // Drawing files and the document commands.
    bool SaveTheFile();
    bool OpenFile();
    bool SaveFile();
    // The question about unsaved changes; true when the caller may go on.
    bool AskToSaveChanges();
    DrawingFileSettings CurrentFileSettings() const;
    void ApplyFileSettings(const DrawingFileSettings &settings);
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();

    // Numeric entry bar.
    void UpdateEds();
    void LeistefrZahleneingabe1Click();
    void EntryEdChange(double InstrumentPlacement::*value, DecimalEdit *edit);
    void WinkWEdChange();

    // Event handlers.
    void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void zoomedChange();
    void PageAnzChange();
    void FarbeBtnClick();
    void ViewSwitchClick();
    void LoadOptions();
    bool SaveOptions(); // false (and the user told why) when the choice could not be kept
    void SpracheDeutsch1Click();
    void SpracheEnglish1Click();
    void SpracheItaliano1Click();
    void Sprachebersetzen1Click();
    void FormShow();
    // F10 opens the first menu; Escape drops a curve under construction.
    void CreateKeys();
    void ScrollToTopLeft();

    // Opening from outside the window: the command line, a drop, the recent drawings.
    bool OpenFile(const QString &path); // the Open command without its dialog
    void OpenFromOutside(const QString &path); // asks about unsaved changes first, then opens
    void UpdateRecentItems();
    void RecentItemClick(const QString &path);

    // Recovery copies of the changed drawing, and the offer to restore one at start.
    RecoveryStore Recovery{RecoveryStore::DefaultFolder()};
    QTimer RecoveryTimer;
    void WriteRecoveryCopy();
    void DropRecoveryCopy();
    void OfferRecovery();
    std::function<QMessageBox::StandardButton(const QString &text, const QString &caption)> AskYesNo;

private:
    // The window's widgets. Only the window's own code reaches them; the tools go through
    // FormToolHost, tests through MainFormProbe (tests/main_form_probe.h).
    friend class FormToolHost;
    friend class MainFormProbe;

    // Menu bar band: menus and icon items.
    QWidget *MenuBar20002 = nullptr;
    QMenuBar *MainMenu = nullptr;
    QMenu *Datei1 = nullptr;
    QMenu *Ansicht1 = nullptr;
    QMenu *Sprache1 = nullptr;
    QAction *Neu1 = nullptr;
    QAction *ffnen1 = nullptr;
    QAction *Speichern1 = nullptr;
    QAction *Speichernunter1 = nullptr;
    QAction *DateiSeiteeinrichten1 = nullptr;
    QAction *DateiDrucken1 = nullptr;
    QAction *Druckereinrichten1 = nullptr;
    QAction *DateiAlsBildexportieren1 = nullptr;
    QAction *Beenden1 = nullptr;
    QAction *Lineal2 = nullptr;
    QAction *Winkelmesser2 = nullptr;
    QAction *Zirkel2 = nullptr;
    QAction *LeistefrZahleneingabe1 = nullptr;
    QAction *AnsichtZollAngabenfrdasLineal1 = nullptr;
    QAction *SpracheDeutsch1 = nullptr;
    QAction *SpracheEnglish1 = nullptr;
    QAction *SpracheItaliano1 = nullptr;
    QAction *Sprachebersetzen1 = nullptr;
    QToolBar *IconItems = nullptr;

    // Tool bar panel.
    QToolBar *Panel1 = nullptr;
    QSpinBox *zoomed = nullptr;
    DecimalEdit *StrichEd = nullptr;
    ColourSwatch *Shape1 = nullptr;
    QPushButton *FarbeBtn = nullptr;
    DecimalEdit *RadierEd = nullptr;
    QSpinBox *PageAnz = nullptr;

    // Tool menu band: the tools and their modes.
    QToolBar *MenuBar20001 = nullptr;
    QAction *Lineal1 = nullptr, *LinealVerschieben1 = nullptr, *LinealDrehen1 = nullptr,
            *LinealAnLinealentlangzeichnen1 = nullptr, *LinealQuerzumLinealzeichnen1 = nullptr;
    QAction *Winkelmesser1 = nullptr, *WinkelmesserVerschieben1 = nullptr, *WinkelmesserDrehen1 = nullptr,
            *WinkelmesserGradzahlmitBleistiftmarkieren1 = nullptr;
    QAction *Zirkel1 = nullptr, *ZirkelVerschieben1 = nullptr, *ZirkelZirkelspanne1 = nullptr,
            *ZirkelKreisbogenzeichnen1 = nullptr, *ZirkelKreiszeichnen1 = nullptr;
    QAction *Kurven1 = nullptr, *Bleistift1 = nullptr, *Radierer1 = nullptr;
    QAction *Text1 = nullptr, *TextTexthinzufgen1 = nullptr, *TextTextndern1 = nullptr, *TextTextlschen1 = nullptr,
            *TextVerschieben1 = nullptr;
    QAction *Objekte1 = nullptr, *ObjekteLschen1 = nullptr, *ObjekteVerschieben1 = nullptr;
    QAction *Hand1 = nullptr, *Zoom1 = nullptr;

    // Numeric entry bar: the instrument placement as numbers.
    QToolBar *Panel2 = nullptr;
    DecimalEdit *LinXEd = nullptr;
    DecimalEdit *Linyed = nullptr;
    DecimalEdit *linwed = nullptr;
    DecimalEdit *WinkXed = nullptr;
    DecimalEdit *WinkYEd = nullptr;
    DecimalEdit *WinkWEd = nullptr;
    DecimalEdit *ZirkXed = nullptr;
    DecimalEdit *ZirkYed = nullptr;
    DecimalEdit *ZirksEd = nullptr;

    // The file dialogs' filters and default extensions.
    FileDialogFilter *OpenDialog1 = nullptr;
    FileDialogFilter *SaveDialog1 = nullptr;
    FileDialogFilter *SaveDialog2 = nullptr;

    // Output: page setup, printing, image export.
    TSeiteEinrichtenForm *SeiteEinrichtenForm = nullptr;
    TDPIForm *DPIForm = nullptr;
    std::unique_ptr<QPrinter> Printer;

    // The drawing surface in its scroll box, and the status line.
    QScrollArea *ScrollBox1 = nullptr;
    PaintBox *PaintBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    // Languages, and the text dialog with the font of new texts (the text tool's font dialog).
    TTranslateForm *TranslateForm = nullptr;
    TextFontChoice FontDialog1;
    TAddTextForm *AddTextForm = nullptr;

    // The history of the drawing: undo and redo.
    QMenu *Bearbeiten1 = nullptr;
    QAction *Rueckgaengig1 = nullptr;
    QAction *Wiederherstellen1 = nullptr;
    QAction *UndoIcon = nullptr, *RedoIcon = nullptr;
    QAction *SeiteKopieren1 = nullptr; // "Seite kopieren"

    // "Datei": the last drawings, Alt+1 to Alt+8.
    QList<QAction *> RecentItems;
    QAction *RecentSeparator = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ChooseLanguage(int language, QAction *item);
    void LoadQtTranslations(int language);
    void CreateMenus();
    void CreateToolBarPanel();
    void CreateSurface();
    struct ModeItem {
        const char *name;
        QString caption;
        QAction **field;
    };
    QAction *AddTool(QActionGroup *tools, const char *name, const QString &caption, const QString &hint,
                     ToolIconKind icon, std::initializer_list<ModeItem> modes);
    void CreateToolMenu();
    void FollowToolChoices();
    void CreateHistory();
    void CreateCopyCommand();
    void CreateEntryBar();
    struct EntryRow; // an edit of the numeric entry bar and the value it shows
    static const std::vector<EntryRow> &EntryRows();
    void CreateDialogHooks();
    void CreateOutsideOpening();
    bool LoadDrawing(const QString &path); // reads a drawing file into the window; says what failed
    QByteArray RecoveryWritten; // digest of the last recovery copy
    void PaintSurface(QPainter &painter, const QRect &exposed);
    void ShowSurfaceDrawing();

    SurfaceRenderer Renderer;
    bool PaintSuspended = false; // set while the tools scroll the view
    bool FirstShowDone = false;
    QTranslator QtTexts; // Qt's own texts in standard dialogs and message boxes
};

} // namespace velmora
