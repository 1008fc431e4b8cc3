// The session's questions and file dialogs as the main window shows them: message boxes over
// the window and Qt's file dialogs with the drawing and image filters.
#pragma once

#include "i18n/translate_components.h"
#include "i18n/translator.h"
#include "session/session_prompts.h"

#include <QStatusBar>

namespace velmora {

class WindowPrompts : public SessionPrompts {
public:
    // The filters are components of the window, translated with it.
    WindowPrompts(QWidget &window, Translator &translation);

    Answer AskYesNoCancel(const QString &text, const QString &caption) override;
    Answer AskYesNo(const QString &text, const QString &caption) override;
    RecoveryAnswer AskRecovery(const QString &text, const QString &caption) override;
    void ShowError(const QString &text) override;
    void ShowInformation(const QString &text, const QString &caption) override;
    void ShowStatus(const QString &text) override;
    QString AskFileName(FileChoice choice, const QString &proposed) override;
    std::optional<QByteArray> AskWorksheetPassword(bool again) override;
    std::optional<std::pair<int, int>> AskWorksheetPages(int pages) override;

    // The title errors carry: the program's, once the window has its texts.
    QString Caption;
    QStatusBar *StatusBar = nullptr;

    FileDialogFilter *openDrawingFilter = nullptr;
    FileDialogFilter *saveDrawingFilter = nullptr;
    FileDialogFilter *exportImageFilter = nullptr;
    FileDialogFilter *openWorksheetFilter = nullptr;

private:
    QWidget &window_;
    Translator &translation_;
};

} // namespace velmora
