// The session's questions and messages, answered and kept by a test.
#pragma once

#include "session/session_prompts.h"

#include <QStringList>

namespace velmora {

// What the session asks and says, answered and kept by the test.
struct AnsweringPrompts : SessionPrompts {
    QStringList errors, questions, information, informationCaptions, statuses;
    Answer answer = Answer::Cancel;      // to the question about unsaved changes
    Answer yesNoAnswer = Answer::No;     // to the other questions
    RecoveryAnswer recoveryAnswer = RecoveryAnswer::Later;
    QString openPath, savePath, exportPath; // what the file dialogs give back
    int openDialogs = 0, saveDialogs = 0, exportDialogs = 0;

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
    QString AskFileName(FileChoice choice, const QString &) override
    {
        switch (choice) {
        case FileChoice::OpenDrawing: ++openDialogs; return openPath;
        case FileChoice::SaveDrawing: ++saveDialogs; return savePath;
        case FileChoice::ExportImage: ++exportDialogs; return exportPath;
        }
        return {};
    }
};

} // namespace velmora
