// Every way out of the page setup, the export resolution and the translation editor: Escape,
// the window's close button and each button, with real keys and clicks; and the editor's
// column titles in the interface language.
#include "app/main_form.h"
#include "support/answering_prompts.h"
#include "i18n/options_file.h"

#include <QLineEdit>
#include <QtTest>

using namespace velmora;

namespace {

// Runs act on the dialog once it is shown modally (the code under test waits in its exec()).
void WhenShown(QWidget *dialog, const std::function<void()> &act)
{
    auto *poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, dialog, act] {
        const bool shown = QApplication::activeModalWidget() == dialog;
        if (!shown && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (shown)
            act();
    });
    poll->start(5);
}

enum class Way { Escape, CloseButton, Cancel, Ok };

void Leave(QDialog *dialog, Way way, QPushButton *cancel, QPushButton *ok, QWidget *focus = nullptr)
{
    switch (way) {
    case Way::Escape:
        focus = focus ? focus : dialog->focusWidget();
        QTest::keyClick(focus ? focus : dialog, Qt::Key_Escape);
        break;
    case Way::CloseButton: dialog->close(); break;
    case Way::Cancel: QTest::mouseClick(cancel, Qt::LeftButton); break;
    case Way::Ok: QTest::mouseClick(ok, Qt::LeftButton); break;
    }
}

void AddWays()
{
    QTest::addColumn<Way>("way");
    QTest::newRow("Escape") << Way::Escape;
    QTest::newRow("close button") << Way::CloseButton;
    QTest::newRow("Abbrechen") << Way::Cancel;
    QTest::newRow("OK") << Way::Ok;
}

// A program folder of its own with the shipped table and the given language.
struct ProgramFolder {
    QTemporaryDir dir;
    explicit ProgramFolder(int language)
    {
        WriteOptionsFile(dir.filePath("options.dat"), language);
        QFile::copy(QStringLiteral(BUILT_TABLE), dir.filePath("translate.dbf"));
    }
};

struct Window : AnsweringPrompts {
    ProgramFolder folder;
    TMainForm form;
    explicit Window(int language) : folder(language), form(folder.dir.path())
    {
        form.Session().SetPrompts(*this);
        form.show();
    }
    TTranslateForm *Editor() { return form.findChild<TTranslateForm *>(); }
    void OpenEditor() { form.findChild<QAction *>("translateAction")->trigger(); }
};

} // namespace

Q_DECLARE_METATYPE(Way)

class TestDialogExits : public QObject {
    Q_OBJECT
private slots:
    // Before, the page setup had no "Abbrechen" button.
    void pageSetup_data() { AddWays(); }
    void pageSetup()
    {
        QFETCH(Way, way);
        TSeiteEinrichtenForm dialog;
        dialog.ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
        dialog.PrintablePageMm = [] { return std::optional<QSizeF>(QSizeF(199.6, 286.5)); };
        QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("Abbrechen"));
        double width = A4WidthInch, height = A4HeightInch;
        PaperKind paper = PaperKind::Plain;
        WhenShown(&dialog, [&] {
            QVERIFY(dialog.CancelBtn->isVisible());
            // The other buttons set values and leave the dialog open.
            for (QPushButton *button : {dialog.BitBtnXP2, dialog.BitBtnXP3, dialog.BitBtnXP4, dialog.BitBtnXP5,
                                        dialog.VonDruckerBtn})
                QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            dialog.PapierBox->setCurrentIndex(2);
            Leave(&dialog, way, dialog.CancelBtn, dialog.BitBtnXP1);
        });
        QCOMPARE(dialog.Execute(width, height, paper), way == Way::Ok);
        if (way == Way::Ok) { // the printer's page, in whole millimetres
            QCOMPARE(width, 200 / MmPerInch);
            QCOMPARE(height, 286 / MmPerInch);
            QVERIFY(paper != PaperKind::Plain);
        } else {
            QCOMPARE(width, A4WidthInch);
            QCOMPARE(height, A4HeightInch);
            QCOMPARE(paper, PaperKind::Plain);
        }
    }

    // Before, the export resolution had no "Abbrechen" button.
    void exportResolution_data() { AddWays(); }
    void exportResolution()
    {
        QFETCH(Way, way);
        TDPIForm dialog;
        QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("Abbrechen"));
        WhenShown(&dialog, [&] {
            QVERIFY(dialog.CancelBtn->isVisible());
            Leave(&dialog, way, dialog.CancelBtn, dialog.BitBtn1);
        });
        QCOMPARE(dialog.Execute(), way == Way::Ok);
    }

    void cancelButtonsSpeakTheLanguage()
    {
        Window w(LanguageEnglish);
        QCOMPARE(w.form.findChild<TSeiteEinrichtenForm *>()->CancelBtn->text(), QStringLiteral("Cancel"));
        QCOMPARE(w.form.findChild<TDPIForm *>()->CancelBtn->text(), QStringLiteral("Cancel"));
    }

    // Before, the editor's columns were titled "language1", "language2", ... in every language.
    void editorTitlesItsColumnsInTheInterfaceLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("German") << LanguageGerman
                                << QStringList{"Deutsch (Original)", "Englisch", "Italienisch", "Sprache 4"};
        QTest::newRow("English") << LanguageEnglish
                                 << QStringList{"German (original)", "English", "Italian", "Language 4"};
        QTest::newRow("Italian") << LanguageItalian
                                 << QStringList{"Tedesco (originale)", "Inglese", "Italiano", "Lingua 4"};
    }
    void editorTitlesItsColumnsInTheInterfaceLanguage()
    {
        QFETCH(int, language);
        QFETCH(QStringList, titles);
        Window w(language);
        QStringList shown;
        WhenShown(w.Editor(), [&] {
            for (int column = 0; column < TranslateTable::FieldCount; ++column)
                shown << w.Editor()->DBGrid1->model()->headerData(column, Qt::Horizontal).toString();
            Leave(w.Editor(), Way::Escape, nullptr, nullptr);
        });
        w.OpenEditor();
        QCOMPARE(shown.mid(0, 4), titles);
        QCOMPARE(shown.size(), 19);
        QCOMPARE(shown.last(), titles.last().replace("4", "19"));
    }

    // Before, closing the editor unchanged still asked for a restart.
    void editorAsksForARestartOnlyAfterAChange_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("change");
        for (const bool change : {false, true}) {
            const char *what = change ? "changed" : "unchanged";
            QTest::addRow("%s, Escape", what) << Way::Escape << change;
            QTest::addRow("%s, close button", what) << Way::CloseButton << change;
            QTest::addRow("%s, Zurück", what) << Way::Ok << change;
        }
    }
    void editorAsksForARestartOnlyAfterAChange()
    {
        QFETCH(Way, way);
        QFETCH(bool, change);
        Window w(LanguageGerman);
        TTranslateForm *editor = w.Editor();
        WhenShown(editor, [&] {
            if (change) { // a translation typed into a cell of the grid (F2 opens it), ended by Enter
                editor->DBGrid1->setCurrentIndex(editor->DBGrid1->model()->index(0, 5));
                QTest::keyClick(editor->DBGrid1, Qt::Key_F2);
                auto *cell = editor->DBGrid1->viewport()->findChild<QLineEdit *>();
                QVERIFY(cell);
                QTest::keyClicks(cell, "Sichern");
                QTest::keyClick(cell, Qt::Key_Return);
                QCoreApplication::processEvents(); // the grid commits the cell after the key
                QCOMPARE(editor->DataSet.Value(0, 5), QStringLiteral("Sichern"));
            }
            Leave(editor, way, nullptr, editor->BackBtn, editor->DBGrid1);
        });
        w.OpenEditor();
        QCOMPARE(w.information,
                 change ? QStringList{"Bitte schließen Sie das Programm und starten Sie es erneut!"} : QStringList());
        QCOMPARE(w.form.Language().Table.FieldText(w.Editor()->DataSet.RecordAt(0), 5),
                 change ? QStringLiteral("Sichern") : QString());
    }
};

QTEST_MAIN(TestDialogExits)
#include "test_dialog_exits.moc"
