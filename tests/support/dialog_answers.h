// Answering the real modal dialogs a command opens, as a user would, while the code under
// test waits in their exec().
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace velmora {

// Runs `answer` on the next modal dialog of that kind; it is looked for until it shows up.
template <typename Dialog> void Answer(const std::function<void(Dialog *)> &answer)
{
    auto *poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog) {
            qWarning("the dialog did not show up");
            return;
        }
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        answer(dialog);
    });
    poll->start(10);
}

// Presses a button of the next message box; its text, when wanted, goes to `text`.
inline void AnswerBox(QMessageBox::StandardButton button, QString *text = nullptr)
{
    Answer<QMessageBox>([button, text](QMessageBox *box) {
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
}

inline QAbstractButton *DialogButton(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    for (auto *box : dialog->findChildren<QDialogButtonBox *>())
        if (QAbstractButton *button = box->button(which))
            return button;
    return nullptr;
}

inline QPushButton *DefaultButton(QWidget *dialog)
{
    for (auto *button : dialog->findChildren<QPushButton *>())
        if (button->isDefault())
            return button;
    return nullptr;
}

} // namespace velmora
