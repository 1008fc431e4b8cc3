// The questions of opening a worksheet, answered with real keys and clicks: every way out of
// the password and the page dialogs.
#include "support/dialog_answers.h"

#include "dialogs/worksheet_forms.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace velmora;

namespace {

QString Same(const QString &text)
{
    return text;
}

// Does `act` to the dialog once it shows.
void WhenShown(QDialog &dialog, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (!QTest::qWaitForWindowExposed(&dialog))
            qWarning("the dialog did not show");
        act();
    });
}

} // namespace

class TestWorksheetForms : public QObject {
    Q_OBJECT

private slots:
    void passwordWaysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("answers");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Return") << "return" << true;
        QTest::newRow("Abbrechen") << "cancel" << false;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("close button") << "close" << false;
    }
    void passwordWaysOut()
    {
        QFETCH(QString, way);
        QFETCH(bool, answers);
        TWorksheetPasswordForm form(Same);
        WhenShown(form, [&] {
            QTest::keyClicks(form.PasswordEd, QStringLiteral("geheim"));
            if (way == "return")
                QTest::keyClick(form.PasswordEd, Qt::Key_Return);
            else
                LeaveDialog(&form, way, form.OkBtn, form.CancelBtn);
        });
        const std::optional<QByteArray> password = form.Ask(way == "ok");
        QCOMPARE(password.has_value(), answers);
        if (answers)
            QCOMPARE(*password, QByteArray("geheim"));
        QCOMPARE(form.WrongLabel->isVisibleTo(&form), way == "ok"); // the note after a wrong one
    }

    void pagesWaysOut_data() { AddWaysOut(); }
    void pagesWaysOut()
    {
        QFETCH(QString, way);
        TWorksheetPagesForm form(Same);
        WhenShown(form, [&] {
            // Pages 20 to 24 of 24: the count cannot reach past the last page.
            form.FirstEd->selectAll();
            QTest::keyClicks(form.FirstEd, QStringLiteral("20"));
            QCOMPARE(form.CountEd->maximum(), 5);
            LeaveDialog(&form, way, form.OkBtn, form.CancelBtn);
        });
        const auto pages = form.Ask(24);
        QVERIFY(form.AboutLabel->text().contains(QStringLiteral("24 Seiten")));
        QCOMPARE(pages.has_value(), way == "ok");
        if (pages)
            QCOMPARE(*pages, (std::pair{20, 5}));
    }
};

QTEST_MAIN(TestWorksheetForms)
#include "test_worksheet_forms.moc"
