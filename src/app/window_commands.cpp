// The window's commands: each hands what the user chose to the session (or to a dialog first)
// and shows the result.
#include "main_form.h"

#include "render/canvas/painter_canvas.h"
#include "session/user_settings.h"
#include "document/file_names.h"
#include "document/safe_file.h"
#include "worksheet/worksheet_opening.h"

#include <QColorDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include <new>

namespace velmora {

namespace {

// The drawing or worksheet file a drag carries: its first URL when that is a local .vlm file
// or a file named as a worksheet.
QString DroppedDrawing(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QStringLiteral(".vlm"), Qt::CaseInsensitive) || IsWorksheetName(path) ? path : QString();
}

} // namespace

void TMainForm::SayOutOfMemory()
{
    session_.Prompts().ShowError(session_.Translation().TranslateString(OutOfMemoryText()));
}

void TMainForm::NewDrawing()
{
    session_.Files.New();
}

void TMainForm::OpenDrawing()
{
    session_.Files.Open();
}

void TMainForm::OpenWorksheet()
{
    session_.Worksheets.Open();
}

void TMainForm::SaveDrawing()
{
    session_.Files.Save();
}

void TMainForm::SaveDrawingAs()
{
    session_.Files.SaveAs();
}

void TMainForm::SetUpPage()
{
    PageSetup page = session_.Settings().Page;
    if (pageSetupDialog_->Execute(page.WidthInch, page.HeightInch, page.Paper))
        session_.ChangePageSetup(page);
}

void TMainForm::PrintDrawing()
{
    printer_.Print(this, session_);
    surface_->Repaint();
}

void TMainForm::SetUpPrinter()
{
    printer_.SetUp(this, language_.Tr(QStringLiteral("Drucker einrichten")), language_.Tr(QStringLiteral("Übernehmen")));
    surface_->Repaint();
}

void TMainForm::ExportImage()
{
    // The file first: its format tells whether dots per inch are asked.
    const QString path = session_.Output.AskExportPath();
    if (path.isEmpty())
        return;
    exportDialog_->AskDpi(OutputCommands::AsksDpi(path));
    if (exportDialog_->Execute())
        session_.Output.ExportImage(path, exportDialog_->SeiteEd->value(), exportDialog_->DPIED->value());
}

void TMainForm::CopySheet()
{
    session_.Output.CopySheet(surface_->View.ActivePage);
}

void TMainForm::Undo()
{
    if (!dispatch_.Dragging()) // a drag under way keeps the drawing it started on
        session_.Undo();
}

void TMainForm::Redo()
{
    if (!dispatch_.Dragging())
        session_.Redo();
}

void TMainForm::ChooseColour()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(session_.Settings().PenColour), this);
    if (chosen.isValid())
        session_.SetPenColour(ColourRGB(chosen.red(), chosen.green(), chosen.blue()));
}

void TMainForm::ChooseLanguage(int language)
{
    CheckLanguageItem(language);
    // The request to restart only makes sense when the choice was kept for the next start.
    Translator &translation = language_.Translation;
    if (language_.Keep(language, session_.Prompts()))
        session_.Prompts().ShowInformation(translation.ProgramMessage(Message::RestartForLanguage),
                                 translation.ProgramMessage(Message::ProgramTitle));
}

void TMainForm::EditTranslations()
{
    // Closed without a change, there is nothing to restart for.
    if (!translateDialog_->ShowModal())
        return;
    Translator &translation = language_.Translation;
    session_.Prompts().ShowInformation(translation.ProgramMessage(Message::RestartForLanguage),
                             translation.ProgramMessage(Message::ProgramTitle));
}

void TMainForm::OpenFromOutside(const QString &path)
{
    RunGuarded([this, &path] {
        if (IsWorksheetName(path))
            session_.Worksheets.OpenFromOutside(path);
        else
            session_.Files.OpenFromOutside(path);
    });
}

void TMainForm::OpenRecent(const QString &path)
{
    if (!FileNameExists(path)) {
        RemoveRecentDrawing(path);
        // Deleting the clicked item while its menu still holds it is not safe; the list is
        // rebuilt once the click is over.
        QTimer::singleShot(0, this, &TMainForm::ShowRecentDrawings);
        session_.Prompts().ShowInformation(
            language_.Tr(QStringLiteral("Die Datei gibt es nicht mehr; sie wird aus der Liste entfernt:")) +
                QLatin1Char('\n') + ReadableFileName(path),
            captionBase_);
        return;
    }
    // The items are rebuilt by a successful open; that must not delete the item whose click runs.
    QTimer::singleShot(0, this, [this, path] { OpenFromOutside(path); });
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedDrawing(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedDrawing(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QString path = DroppedDrawing(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag ends first; the question and the messages come after it, not inside it.
    QTimer::singleShot(0, this, [this, path] { OpenFromOutside(path); });
}

} // namespace velmora
