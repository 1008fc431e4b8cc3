#include "window_prompts.h"

#include "dialogs/worksheet_forms.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace velmora {

namespace {

SessionPrompts::Answer AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return SessionPrompts::Answer::Yes;
    case QMessageBox::No: return SessionPrompts::Answer::No;
    default: return SessionPrompts::Answer::Cancel;
    }
}

} // namespace

WindowPrompts::WindowPrompts(QWidget &window, Translator &translation) : window_(window), translation_(translation)
{
    openDrawingFilter = new FileDialogFilter(QStringLiteral("openDrawingFilter"),
                                             QStringLiteral("Zeichnungen (*.vlm)|*.vlm"), QStringLiteral("vlm"), &window);
    saveDrawingFilter = new FileDialogFilter(QStringLiteral("saveDrawingFilter"),
                                             QStringLiteral("Zeichnungen (*.vlm)|*.vlm"), QStringLiteral("vlm"), &window);
    exportImageFilter = new FileDialogFilter(
        QStringLiteral("exportImageFilter"),
        QStringLiteral("BMP-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|PDF-Dokumente (*.pdf)|*.pdf|"
                       "SVG-Grafiken (*.svg)|*.svg"),
        QStringLiteral("bmp"), &window);
    openWorksheetFilter = new FileDialogFilter(
        QStringLiteral("openWorksheetFilter"),
        QStringLiteral("Arbeitsblätter (*.pdf *.png *.jpg *.jpeg)|*.pdf;*.png;*.jpg;*.jpeg"), QStringLiteral("pdf"),
        &window);
}

SessionPrompts::Answer WindowPrompts::AskYesNoCancel(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    &window_);
    return AnswerOf(box.exec());
}

SessionPrompts::Answer WindowPrompts::AskYesNo(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, &window_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

SessionPrompts::RecoveryAnswer WindowPrompts::AskRecovery(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, &window_);
    QPushButton *restore =
        box.addButton(translation_.TranslateString(QStringLiteral("&Wiederherstellen")), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(translation_.TranslateString(QStringLiteral("&Verwerfen")), QMessageBox::DestructiveRole);
    QPushButton *later =
        box.addButton(translation_.TranslateString(QStringLiteral("&Später entscheiden")), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later); // Escape and the close button keep the copy
    box.exec();
    if (box.clickedButton() == restore)
        return RecoveryAnswer::Restore;
    if (box.clickedButton() == discard)
        return RecoveryAnswer::Discard;
    return RecoveryAnswer::Later;
}

void WindowPrompts::ShowError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, Caption, text, QMessageBox::Ok, &window_);
    box.setWindowModality(Qt::WindowModal); // over the window that asked, which waits for it
    box.exec();
}

void WindowPrompts::ShowInformation(const QString &text, const QString &caption)
{
    QMessageBox::information(&window_, caption, text);
}

void WindowPrompts::ShowStatus(const QString &text)
{
    if (StatusBar)
        StatusBar->showMessage(text);
}

QString WindowPrompts::AskFileName(FileChoice choice, const QString &proposed)
{
    QFileDialog files(&window_);
    const bool opening = choice == FileChoice::OpenDrawing || choice == FileChoice::OpenWorksheet;
    const FileDialogFilter &filter = choice == FileChoice::OpenDrawing     ? *openDrawingFilter
                                     : choice == FileChoice::SaveDrawing   ? *saveDrawingFilter
                                     : choice == FileChoice::OpenWorksheet ? *openWorksheetFilter
                                                                           : *exportImageFilter;
    if (opening) {
        files.setAcceptMode(QFileDialog::AcceptOpen);
        files.setFileMode(QFileDialog::ExistingFile);
    } else {
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setFileMode(QFileDialog::AnyFile); // the folder must exist; overwriting is asked
    }
    // Qt's own title for opening and saving drawings, the command's for the export.
    if (choice == FileChoice::ExportImage)
        files.setWindowTitle(translation_.TranslateString(QStringLiteral("Als Bild exportieren")));
    if (choice == FileChoice::OpenWorksheet)
        files.setWindowTitle(translation_.TranslateString(QStringLiteral("Arbeitsblatt öffnen")));
    files.setNameFilter(filter.QtFilter());
    files.setDefaultSuffix(filter.DefaultSuffix);
    if (!opening) {
        // A name typed without an extension gets the one of the chosen file type.
        QObject::connect(&files, &QFileDialog::filterSelected, &files, [&files](const QString &chosen) {
            const qsizetype star = chosen.indexOf(QStringLiteral("*."));
            if (star >= 0)
                files.setDefaultSuffix(
                    chosen.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0));
        });
    }
    if (!proposed.isEmpty()) {
        // The proposed name's type is the one chosen in the list of types.
        const QString suffix = QFileInfo(proposed).suffix();
        for (const QString &type : files.nameFilters())
            if (!suffix.isEmpty() && type.contains(QStringLiteral("*.") + suffix, Qt::CaseInsensitive)) {
                files.selectNameFilter(type);
                files.setDefaultSuffix(suffix);
                break;
            }
        files.selectFile(proposed);
    }
    return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
}

std::optional<QByteArray> WindowPrompts::AskWorksheetPassword(bool again)
{
    TWorksheetPasswordForm form([this](const QString &text) { return translation_.TranslateString(text); }, &window_);
    return form.Ask(again);
}

std::optional<std::pair<int, int>> WindowPrompts::AskWorksheetPages(int pages)
{
    TWorksheetPagesForm form([this](const QString &text) { return translation_.TranslateString(text); }, &window_);
    return form.Ask(pages);
}

} // namespace velmora
