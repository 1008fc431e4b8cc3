// The session's questions and messages, answered and kept by a test.
#pragma once

#include "session/session_prompts.h"

#include <QStringList>

#include <deque>

namespace velmora {

// What the session asks and says, answered and kept by the test.
struct AnsweringPrompts : SessionPrompts {
    QStringList errors, questions, information, informationCaptions, statuses;
    Answer answer = Answer::Cancel;      // to the question about unsaved changes
    Answer yesNoAnswer = Answer::No;     // to the other questions
    RecoveryAnswer recoveryAnswer = RecoveryAnswer::Later;
    QString openPath, savePath, exportPath, worksheetPath; // what the file dialogs give back
    int openDialogs = 0, saveDialogs = 0, exportDialogs = 0, worksheetDialogs = 0;
    QStringList proposedNames; // what the file dialogs were opened with
    // The worksheet's questions, answered in turn (none left: the user gives up); passwordAgain
    // keeps whether each was asked after a wrong one, pageQuestions the page counts asked about.
    std::deque<std::optional<QByteArray>> passwords;
    std::deque<std::optional<std::pair<int, int>>> pageChoices;
    QList<bool> passwordAgain;
    QList<int> pageQuestions;

    Answer AskYesNoCancel(const QString &text, const QString &caption) override
    {
        questions << caption + ": " + text;
        return answer;
    }
    Answer AskYesNo(const QString &text, const QString &caption) override
    {
        questions << caption + ": " + text;
        return yesNoAnswer;
    }
    RecoveryAnswer AskRecovery(const QString &text, const QString &caption) override
    {
        questions << caption + ": " + text;
        return recoveryAnswer;
    }
    void ShowError(const QString &text) override { errors << text; }
    void ShowInformation(const QString &text, const QString &caption) override
    {
        information << text;
        informationCaptions << caption;
    }
    void ShowStatus(const QString &text) override { statuses << text; }
    QString AskFileName(FileChoice choice, const QString &proposed) override
    {
        proposedNames << proposed;
        switch (choice) {
        case FileChoice::OpenDrawing: ++openDialogs; return openPath;
        case FileChoice::SaveDrawing: ++saveDialogs; return savePath;
        case FileChoice::ExportImage: ++exportDialogs; return exportPath;
        case FileChoice::OpenWorksheet: ++worksheetDialogs; return worksheetPath;
        }
        return {};
    }
    std::optional<QByteArray> AskWorksheetPassword(bool again) override
    {
        passwordAgain << again;
        if (passwords.empty())
            return std::nullopt;
        const std::optional<QByteArray> given = passwords.front();
        passwords.pop_front();
        return given;
    }
    std::optional<std::pair<int, int>> AskWorksheetPages(int pages) override
    {
        pageQuestions << pages;
        if (pageChoices.empty())
            return std::nullopt;
        const std::optional<std::pair<int, int>> chosen = pageChoices.front();
        pageChoices.pop_front();
        return chosen;
    }
};

} // namespace velmora
