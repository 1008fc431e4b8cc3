// How the session asks the user and tells them things: questions, messages and the file
// dialogs. The main window answers with message boxes and file dialogs; tests answer
// themselves.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

namespace velmora {

enum class FileChoice {
    OpenDrawing, // an existing drawing to open
    SaveDrawing, // where to save the drawing
    ExportImage, // where to export a sheet as BMP, PNG, PDF or SVG
    OpenWorksheet, // a PDF, PNG or JPEG worksheet to open as a new drawing
};

class SessionPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    // What becomes of a recovery copy: restored, deleted, or kept for the next start.
    enum class RecoveryAnswer { Restore, Discard, Later };

    virtual ~SessionPrompts() = default;
    // Yes, No or Cancel; closing the question without an answer is Cancel.
    virtual Answer AskYesNoCancel(const QString &text, const QString &caption) = 0;
    // Yes or No; closing the question without an answer is No.
    virtual Answer AskYesNo(const QString &text, const QString &caption) = 0;
    // The offer of a recovery copy; closing the question without an answer is Later.
    virtual RecoveryAnswer AskRecovery(const QString &text, const QString &caption) = 0;
    virtual void ShowError(const QString &text) = 0;
    virtual void ShowInformation(const QString &text, const QString &caption) = 0;
    // A line in the status bar, for what must not interrupt the work.
    virtual void ShowStatus(const QString &text) = 0;
    // The chosen file, empty when the dialog was cancelled; proposed: a name to start from.
    virtual QString AskFileName(FileChoice choice, const QString &proposed) = 0;
    // The password of an encrypted worksheet (again: the last one was wrong); nothing when
    // the user gave up.
    virtual std::optional<QByteArray> AskWorksheetPassword(bool again) = 0;
    // The first page (from 1) and the number of pages to take of a worksheet longer than a
    // drawing's sheets; nothing when the user gave up.
    virtual std::optional<std::pair<int, int>> AskWorksheetPages(int pages) = 0;
};

} // namespace velmora
