// Undo and redo: every action that changes the drawing is one step of a QUndoStack.
#include "main_form.h"

#include "command_icons.h"
#include "desktop_keys.h"

#include "i18n/options_file.h"

namespace velmora {

namespace {

// A step of the drawing: done when it is pushed, taken back and done again from the edit.
class DrawingCommand : public QUndoCommand {
public:
    DrawingCommand(TMainForm &form, DrawingEdit edit) : form_(form), edit_(std::move(edit))
    {
        setText(edit_.Label);
    }
    void undo() override
    {
        edit_.Revert(form_.State);
        form_.AfterHistoryStep();
    }
    void redo() override
    {
        if (pushed_) { // pushing: the action has already done it
            pushed_ = false;
            return;
        }
        edit_.Apply(form_.State);
        form_.AfterHistoryStep();
    }

private:
    TMainForm &form_;
    DrawingEdit edit_;
    bool pushed_ = true;
};

// A change of the number of sheets, which lives in its spin edit. Consecutive changes are
// one step: typing "10" or clicking the arrow three times is undone at once.
class PageCountCommand : public QUndoCommand {
public:
    static constexpr int Id = 1;
    PageCountCommand(TMainForm &form, int before, int after) : form_(form), before_(before), after_(after)
    {
        setText(QStringLiteral("Seitenanzahl"));
    }
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand *other) override
    {
        after_ = static_cast<const PageCountCommand *>(other)->after_;
        setObsolete(after_ == before_); // back where it started: no step at all
        return true;
    }
    void undo() override { Set(before_); }
    void redo() override
    {
        if (pushed_) {
            pushed_ = false;
            return;
        }
        Set(after_);
    }

private:
    void Set(int count) { form_.ApplyPageCountStep(count); }
    TMainForm &form_;
    int before_, after_;
    bool pushed_ = true;
};

} // namespace

void TMainForm::ApplyPageCountStep(int count)
{
    ApplyingHistory = true;
    PageAnz->setValue(count);
    ApplyingHistory = false;
    AfterHistoryStep();
}

void TMainForm::CreateHistory()
{
    History.setUndoLimit(HistoryLimit);
    Bearbeiten1 = new QMenu(QStringLiteral("Bearbeiten"), MainMenu);
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    MainMenu->insertMenu(Ansicht1->menuAction(), Bearbeiten1);
    Rueckgaengig1 = Bearbeiten1->addAction(QStringLiteral("Rückgängig"));
    Rueckgaengig1->setObjectName(QStringLiteral("Rueckgaengig1"));
    Rueckgaengig1->setShortcuts(CommonShortcuts(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    Wiederherstellen1 = Bearbeiten1->addAction(QStringLiteral("Wiederherstellen"));
    Wiederherstellen1->setObjectName(QStringLiteral("Wiederherstellen1"));
    // GNOME knows only Ctrl+Shift+Z, other desktops only Ctrl+Y: both work everywhere.
    Wiederherstellen1->setShortcuts(CommonShortcuts(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    for (QAction *item : {Rueckgaengig1, Wiederherstellen1})
        item->setShortcutContext(Qt::ApplicationShortcut);
    connect(Rueckgaengig1, &QAction::triggered, this, &TMainForm::Rueckgaengig1Click);
    connect(Wiederherstellen1, &QAction::triggered, this, &TMainForm::Wiederherstellen1Click);

    // Icon items after the file commands' New to Save as, with hints.
    QAction *before = IconItems->findChild<QAction *>(QStringLiteral("MenuItem1")); // page setup
    Rueckgaengig1->setIcon(CommandIcon(CommandIconKind::Undo));
    Wiederherstellen1->setIcon(CommandIcon(CommandIconKind::Redo));
    UndoIcon = new QAction(Rueckgaengig1->icon(), QString(), IconItems);
    UndoIcon->setObjectName(QStringLiteral("UndoIcon"));
    UndoIcon->setToolTip(QStringLiteral("Rückgängig"));
    RedoIcon = new QAction(Wiederherstellen1->icon(), QString(), IconItems);
    RedoIcon->setObjectName(QStringLiteral("RedoIcon"));
    RedoIcon->setToolTip(QStringLiteral("Wiederherstellen"));
    IconItems->insertAction(before, UndoIcon);
    IconItems->insertAction(before, RedoIcon);
    IconItems->insertSeparator(before);
    connect(UndoIcon, &QAction::triggered, Rueckgaengig1, &QAction::trigger);
    connect(RedoIcon, &QAction::triggered, Wiederherstellen1, &QAction::trigger);

    connect(&History, &QUndoStack::indexChanged, this, &TMainForm::UpdateHistoryItems);
    connect(&History, &QUndoStack::cleanChanged, this, &TMainForm::UpdateHistoryItems);
    // Undoing back to the state last saved or opened makes the drawing unchanged again;
    // going away from it by undo or redo makes it changed.
    connect(&History, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean)
            SetUnChanged();
        else
            SetChanged();
    });
    UpdateHistoryItems();
}

void TMainForm::UpdateHistoryItems()
{
    // Window texts reach the translator (and so the table) only at a start in another language.
    auto shown = [this](const QString &german) {
        return FirstShowDone && StartLanguage != LanguageGerman ? Translation.TranslateString(german) : german;
    };
    auto name = [&](const QString &item, const QString &step) {
        const QString text = shown(item);
        return step.isEmpty() ? text : text + QStringLiteral(": ") + shown(step);
    };
    Rueckgaengig1->setText(name(QStringLiteral("Rückgängig"), History.canUndo() ? History.undoText() : QString()));
    Wiederherstellen1->setText(
        name(QStringLiteral("Wiederherstellen"), History.canRedo() ? History.redoText() : QString()));
    Rueckgaengig1->setEnabled(History.canUndo());
    Wiederherstellen1->setEnabled(History.canRedo());
    UndoIcon->setEnabled(History.canUndo());
    RedoIcon->setEnabled(History.canRedo());
    if (MnemonicsShown)
        AssignMnemonics(Bearbeiten1);
}

void TMainForm::Rueckgaengig1Click()
{
    if (!Dispatch.Dragging()) // a drag under way keeps the drawing it started on
        History.undo();
}

void TMainForm::Wiederherstellen1Click()
{
    if (!Dispatch.Dragging())
        History.redo();
}

void TMainForm::AfterHistoryStep()
{
    Dispatch.Hover().Active = false; // the highlighted record may be gone or elsewhere
    SetChanged();
    PaintBox1Paint();
}

void TMainForm::PushStep(std::optional<DrawingEdit> step)
{
    if (step)
        History.push(new DrawingCommand(*this, std::move(*step)));
}

void TMainForm::RecordPageCount(int before, int after)
{
    if (!ApplyingHistory && before != after)
        History.push(new PageCountCommand(*this, before, after));
}

} // namespace velmora
