// The main window as tests use it: in a program folder of its own, in a chosen language
// (German unless said), shown. The session's questions and file dialogs are answered by the
// test through the fixture's members, unless the test asks for the real dialogs.
#pragma once

#include "answering_prompts.h"

#include "app/main_form.h"
#include "i18n/options_file.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace velmora {

struct WindowOptions {
    int Language = LanguageGerman;
    bool RealDialogs = false; // the window's own message boxes and file dialogs
    QString ProgramDir;       // a folder of the test's own when empty
    QSize Size;               // the window's size before it is shown, when given

    WindowOptions InLanguage(int language) const { return With(&WindowOptions::Language, language); }
    WindowOptions WithRealDialogs() const { return With(&WindowOptions::RealDialogs, true); }
    WindowOptions InFolder(const QString &folder) const { return With(&WindowOptions::ProgramDir, folder); }
    WindowOptions Sized(QSize size) const { return With(&WindowOptions::Size, size); }

private:
    template <class Value, class Given> WindowOptions With(Value WindowOptions::*field, const Given &value) const
    {
        WindowOptions options = *this;
        options.*field = value;
        return options;
    }
};

struct WindowFixture : AnsweringPrompts {
    explicit WindowFixture(const WindowOptions &options = {})
    {
        const QString folder = options.ProgramDir.isEmpty() ? dir.path() : options.ProgramDir;
        if (!QFileInfo::exists(folder + "/options.dat"))
            WriteOptionsFile(folder + "/options.dat", options.Language);
        form = std::make_unique<TMainForm>(folder);
        if (!options.RealDialogs)
            form->Session().SetPrompts(*this);
        if (options.Size.isValid())
            form->resize(options.Size);
        form->show();
    }
    WindowFixture(const WindowFixture &) = delete;

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;

    // A status line is no question: the window shows it as well.
    void ShowStatus(const QString &text) override
    {
        AnsweringPrompts::ShowStatus(text);
        form->statusBar()->showMessage(text);
    }

    // From now on the questions and file dialogs appear as the user meets them, or are
    // answered by the test again.
    void UseRealDialogs() { form->Session().SetPrompts(form->Prompts()); }
    void AnswerDialogs() { form->Session().SetPrompts(*this); }

    TMainForm *operator->() { return form.get(); }
    TMainForm &operator*() { return *form; }
    DocumentSession &Session() { return form->Session(); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    bool Starred() const { return form->windowTitle().endsWith(QStringLiteral("*]")); }
    bool WaitExposed() { return QTest::qWaitForWindowExposed(form.get()); }
    // A line drawn as a tool draws it: one step of the history, the drawing marked changed.
    void AddLine(double x1, double y1, double x2, double y2, double width)
    {
        EditTransaction &edit = Session().BeginEdit(QStringLiteral("Linie"));
        if (DrawingObject *line = edit.AppendObject()) {
            *line = DrawingObject{};
            line->PenWidth = width;
            line->X1 = x1, line->Y1 = y1, line->X2 = x2, line->Y2 = y2;
        }
        edit.Commit();
    }
    // One of the window's dialogs, as the user meets it.
    template <class Dialog> Dialog &Find()
    {
        Dialog *dialog = form->findChild<Dialog *>();
        if (!dialog)
            qFatal("the window has no such dialog");
        return *dialog;
    }
};

} // namespace velmora
