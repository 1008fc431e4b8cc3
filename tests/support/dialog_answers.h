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

// The ways out of a dialog a user has, as the rows of a data-driven test (column "way"): its
// OK and Cancel buttons, Escape, and the window's close button.
inline void AddWaysOut()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("OK") << "ok";
    QTest::newRow("Abbrechen") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close button") << "close";
}

// Leaves the dialog by that way.
inline void LeaveDialog(QWidget *dialog, const QString &way, QAbstractButton *ok, QAbstractButton *cancel)
{
    if (way == "ok")
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (way == "cancel")
        QTest::mouseClick(cancel, Qt::LeftButton);
    else if (way == "escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
}

} // namespace velmora
