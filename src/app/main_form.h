// TMainForm: the main window. It shows the document session (the drawing, its settings and
// its history) in its bands, menus and drawing surface, and sends what the user does to the
// session and, for the pointer, to the tools. It keeps no value of the drawing itself.
#pragma once

#include "drawing_surface.h"
#include "entry_bar.h"
#include "menu_band.h"
#include "program_language.h"
#include "settings_bar.h"
#include "tool_band.h"
#include "window_printer.h"
#include "window_prompts.h"
#include "window_tool_host.h"

#include "dialogs/add_text_form.h"
#include "dialogs/dpi_form.h"
#include "dialogs/page_setup_form.h"
#include "dialogs/translate_form.h"
#include "session/document_session.h"
#include "tools/key_pointer.h"
#include "tools/pointer_dispatch.h"
#include "tools/touch_gestures.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include <new>

namespace velmora {

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // programDir: where translate.dbf and options.dat are looked for; the program's folder
    // when empty.
    explicit TMainForm(const QString &programDir = QString(), QWidget *parent = nullptr);
    ~TMainForm() override;

    DocumentSession &Session() { return session_; }
    // How the window asks and tells the user: message boxes and file dialogs.
    SessionPrompts &Prompts() { return prompts_; }
    Translator &Translation() { return language_.Translation; }
    ProgramLanguage &Language() { return language_; }
    PointerDispatch &Dispatch() { return dispatch_; }
    TouchGestures &Touch() { return touch_; }
    // The window's parts.
    MenuBand &Menus() { return *menus_; }
    SettingsBar &SettingsBand() { return *settingsBar_; }
    ToolBand &Tools() { return *toolBand_; }
    EntryBar &Entries() { return *entryBar_; }
    DrawingSurface &Surface() { return *surface_; }
    // The font new texts get; the text dialog's font button changes it.
    TextFontChoice &NewTextFont() { return newTextFont_; }
    TAddTextForm &TextDialog() { return *textDialog_; }
    // The printer "Drucker einrichten..." sets up and "Drucken..." prints on.
    QPrinter &Printer() { return printer_.Printer(); }

    // The commands, as the menus and keys give them.
    void NewDrawing();
    void OpenDrawing();
    void OpenWorksheet();
    void SaveDrawing();
    void SaveDrawingAs();
    void SetUpPage();
    void PrintDrawing();
    void SetUpPrinter();
    void ExportImage();
    void CopySheet();
    void Undo();
    void Redo();
    void ChooseColour();
    void ChooseLanguage(int language);
    // "Vollbild": the window fills the screen with its menus and bars, or leaves it.
    void SetFullScreen(bool full);
    void EditTranslations();
    // A drawing or a worksheet (named .pdf, .png, .jpg, .jpeg) from outside the window (command
    // line, drop, recent drawings): after the question about unsaved changes.
    void OpenFromOutside(const QString &path);
    void OpenRecent(const QString &path);

    // The session's state, shown.
    void ShowSettings(const DrawingSettings &settings);
    void ShowDrawingRead();
    void ShowCaption();
    void ShowHistory();
    void ShowRecentDrawings();
    void ShowPlacement();
    // The surface's description for assistive technology, told to it when it changed.
    void DescribeSurface();
    // The instrument the current tool works with, or the one whose tool was chosen last.
    Instrument ActiveInstrument() const { return activeInstrument_; }
    // The size and place the last run left, and from now on kept when the window closes
    // (the program's window; test windows keep none). Without one, the window stays as made.
    void KeepPlacementBetweenRuns();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // A command the user starts: a lack of memory inside it is said ("nicht genug
    // Arbeitsspeicher") and the program goes on with the drawing as it was.
    auto Guarded(void (TMainForm::*command)())
    {
        return [this, command] { RunGuarded([this, command] { (this->*command)(); }); };
    }
    template <class Command> void RunGuarded(const Command &command);
    // A pointer event: a lack of memory inside it takes back the gesture and its open edit
    // whole, says so, and the program goes on with the drawing as before the gesture.
    template <class Event> void RunPointerGuarded(const Event &event);
    void SayOutOfMemory();
    void CreateDialogs();
    void WireMenus();
    void WireBands();
    void WireSurface();
    void WireSession();
    void CreateKeys();
    // A key on the drawing surface: an instrument's step, or Enter to add a text at the active
    // instrument's zero point; false when the key is not for the surface (the arrows scroll).
    bool UseSurfaceKey(int key, Qt::KeyboardModifiers modifiers);
    // Alt with the arrows moves the keyboard pointer, Space presses and releases the left
    // button at it, through the same handlers as the mouse; false for other keys.
    bool UseKeyPointerKey(int key, Qt::KeyboardModifiers modifiers);
    // The mouse or the focus takes over: a held keyboard press is released, the pointer hidden.
    void LeaveKeyPointer();
    // Escape during a held keyboard press: the gesture is taken back; false without one.
    bool WithdrawKeyPointerPress();
    void ShowKeyPointer();
    void FollowToolChoice();
    // Names for assistive technology that are not window texts of their own (after the translation).
    void NameControls();
    void ShowKeysHint();
    // At the first showing: the options, the language of every window, the caption.
    void FirstShow();
    void TellAboutTable();
    void CheckLanguageItem(int language);
    // Shows the settings without painting; true when the picture changed with them.
    bool ShowSettingsUnpainted(const DrawingSettings &settings);
    // A window text as shown: translated once the windows are (at a start in another language).
    QString Shown(const QString &german);

    ProgramLanguage language_;
    WindowPrompts prompts_;
    DocumentSession session_;
    MenuBand *menus_ = nullptr;
    SettingsBar *settingsBar_ = nullptr;
    ToolBand *toolBand_ = nullptr;
    EntryBar *entryBar_ = nullptr;
    DrawingSurface *surface_ = nullptr;
    QStatusBar *statusBar_ = nullptr;
    WindowToolHost host_{*this};
    PointerDispatch dispatch_{host_};
    TouchGestures touch_{host_, dispatch_};
    QByteArray placementBeforeFullScreen_; // what the window keeps when closed full screen

    TextFontChoice newTextFont_;
    TAddTextForm *textDialog_ = nullptr;
    TDPIForm *exportDialog_ = nullptr;
    TSeiteEinrichtenForm *pageSetupDialog_ = nullptr;
    TTranslateForm *translateDialog_ = nullptr;
    WindowPrinter printer_;
    QTimer *recoveryTimer_ = nullptr;

    DrawingSettings shown_; // the settings the window shows
    QString captionBase_;
    Instrument activeInstrument_ = Instrument::Ruler;
    KeyPointer keyPointer_;
    bool firstShowDone_ = false;
    bool keepsPlacement_ = false;
};

template <class Command> void TMainForm::RunGuarded(const Command &command)
{
    try {
        command();
    } catch (const std::bad_alloc &) {
        SayOutOfMemory(); // what the command had taken is given back by now: room enough to say so
    }
}

template <class Event> void TMainForm::RunPointerGuarded(const Event &event)
{
    try {
        event();
    } catch (const std::bad_alloc &) {
        // Half a stroke or a line without its step of the history would be a drawing nobody made.
        dispatch_.Abandon();
        keyPointer_.Held = false; // its gesture is gone with the others
        session_.CancelEdit();
        SayOutOfMemory();
    }
}

} // namespace velmora
