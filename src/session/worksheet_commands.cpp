#include "worksheet_commands.h"

#include "document_session.h"

#include "worksheet/worksheet_opening.h"

#include <QFileInfo>

namespace velmora {

bool WorksheetCommands::Open()
{
    if (!session_.Files.AskToSaveChanges())
        return false;
    const QString path = session_.Prompts().AskFileName(FileChoice::OpenWorksheet, QString());
    return !path.isEmpty() && OpenFile(path);
}

bool WorksheetCommands::OpenFromOutside(const QString &path)
{
    return session_.Files.AskToSaveChanges() && OpenFile(QFileInfo(path).absoluteFilePath());
}

bool WorksheetCommands::OpenFile(const QString &path)
{
    SessionPrompts &prompts = session_.Prompts();
    WorksheetOpening opened = OpenWorksheetFile(path);
    // An encrypted PDF: its password, asked again after a wrong one until the user gives up.
    while (opened.Problem == WorksheetProblem::NeedsPassword || opened.Problem == WorksheetProblem::WrongPassword) {
        const std::optional<QByteArray> password =
            prompts.AskWorksheetPassword(opened.Problem == WorksheetProblem::WrongPassword);
        if (!password)
            return false;
        opened = OpenWorksheetFile(path, *password);
    }
    if (opened.Problem != WorksheetProblem::None) {
        Translator &translation = session_.Translation();
        prompts.ShowError(translation.TranslateString(QStringLiteral("Das Arbeitsblatt kann nicht geöffnet werden:")) +
                          QLatin1Char('\n') + path + QStringLiteral("\n\n") +
                          translation.TranslateString(WorksheetProblemText(opened.Problem)));
        return false;
    }
    const int pages = int(opened.Document.Pages.size());
    int first = 1, count = pages;
    if (pages > MaxWorksheetPages) {
        const std::optional<std::pair<int, int>> chosen = prompts.AskWorksheetPages(pages);
        if (!chosen)
            return false;
        std::tie(first, count) = *chosen;
    }
    session_.TakeWorksheet(ChooseWorksheetPages(opened.Document, first, count), path);
    return true;
}

} // namespace velmora
