// Change tracking, the drawing file and the file commands New, Open, Save, Save as, Exit.
#include "main_form.h"

#include "file_messages.h"
#include "user_settings.h"

#include "document/caption.h"
#include "document/units.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>

namespace velmora {

namespace {

// A drawing file larger than this is no drawing of ours (a drawing of a million objects is 88 MB).

int RoundedInto(const QSpinBox *edit, double value)
{
    return qBound(edit->minimum(), Round(value), edit->maximum());
}

} // namespace

void TMainForm::CreateDialogHooks()
{
    OpenDialog1 = new FileDialogFilter(QStringLiteral("OpenDialog1"), QStringLiteral("Zeichnungen (*.vlm)|*.vlm"),
                                       QStringLiteral("vlm"), this);
    SaveDialog1 = new FileDialogFilter(QStringLiteral("SaveDialog1"), QStringLiteral("Zeichnungen (*.vlm)|*.vlm"),
                                       QStringLiteral("vlm"), this);
    SaveDialog2 = new FileDialogFilter(
        QStringLiteral("SaveDialog2"),
        QStringLiteral("BMP-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|PDF-Dokumente (*.pdf)|*.pdf|"
                       "SVG-Grafiken (*.svg)|*.svg"),
        QStringLiteral("bmp"), this);
    ShowError = [this](const QString &text) {
        QMessageBox box(QMessageBox::Critical, CaptionBase, text, QMessageBox::Ok, this);
        box.exec();
    };
    AskYesNoCancel = [this](const QString &text, const QString &caption) {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                        this);
        return QMessageBox::StandardButton(box.exec());
    };
    AskOpenFileName = [this](const FileDialogFilter &dialog) {
        QFileDialog files(this);
        files.setAcceptMode(QFileDialog::AcceptOpen);
        files.setFileMode(QFileDialog::ExistingFile);
        files.setNameFilter(dialog.QtFilter());
        files.setDefaultSuffix(dialog.DefaultSuffix);
        return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
    };
    AskSaveFileName = [this](const FileDialogFilter &dialog) {
        QFileDialog files(this);
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setFileMode(QFileDialog::AnyFile); // the folder must exist; overwriting is asked
        if (const QString title = FileDialogTitle(dialog); !title.isEmpty())
            files.setWindowTitle(title);
        files.setNameFilter(dialog.QtFilter());
        files.setDefaultSuffix(dialog.DefaultSuffix);
        // A name typed without an extension gets the one of the chosen file type.
        connect(&files, &QFileDialog::filterSelected, &files, [&files](const QString &filter) {
            const qsizetype star = filter.indexOf(QStringLiteral("*."));
            if (star >= 0)
                files.setDefaultSuffix(filter.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0));
        });
        if (&dialog == SaveDialog1 && !State.FileName.isEmpty())
            files.selectFile(State.FileName);
        return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
    };
}

QString TMainForm::FileDialogTitle(const FileDialogFilter &dialog)
{
    if (&dialog == SaveDialog2)
        return Translation.TranslateString(QStringLiteral("Als Bild exportieren"));
    return {};
}

void TMainForm::SetChanged()
{
    State.Modified = true;
    setWindowTitle(DrawingCaption(CaptionBase, State.FileName, Translation.ProgramMessage(Message::Untitled), true));
}

void TMainForm::SetUnChanged()
{
    State.Modified = false;
    History.setClean(); // this step of the history is what the file holds
    DropRecoveryCopy(); // the drawing is saved, opened or empty: nothing to recover
    setWindowTitle(DrawingCaption(CaptionBase, State.FileName, Translation.ProgramMessage(Message::Untitled), false));
}

void TMainForm::NewAll()
{
    History.clear();
    State.ClearRecords();
    State.FileName.clear();
    SetUnChanged();
}

DrawingFileSettings TMainForm::CurrentFileSettings() const
{
    DrawingFileSettings s;
    s.Placement = State.Placement;
    s.Zoom = zoomed->value();
    s.PenWidth = StrichEd->value();
    s.PenColour = Shape1->Colour();
    s.EntryBarShown = LeistefrZahleneingabe1->isChecked();
    s.RulerShown = Lineal2->isChecked();
    s.ProtractorShown = Winkelmesser2->isChecked();
    s.CompassShown = Zirkel2->isChecked();
    s.HasTail = true;
    s.EraserSize = RadierEd->value();
    s.PageWidthInch = State.PageWidthInch;
    s.PageHeightInch = State.PageHeightInch;
    s.PageCount = PageAnz->value();
    s.Paper = State.Paper;
    return s;
}

void TMainForm::ApplyFileSettings(const DrawingFileSettings &s)
{
    const double diameter = State.Placement.ProtractorDiameter, compassAngle = State.Placement.CompassAngle;
    State.Placement = s.Placement; // the file holds neither the protractor's size nor the compass angle
    State.Placement.ProtractorDiameter = diameter;
    State.Placement.CompassAngle = compassAngle;
    zoomed->setValue(RoundedInto(zoomed, s.Zoom));
    StrichEd->setValue(s.PenWidth);
    Shape1->SetColour(s.PenColour);
    LeistefrZahleneingabe1->setChecked(s.EntryBarShown);
    Panel2->setVisible(s.EntryBarShown);
    Lineal2->setChecked(s.RulerShown);
    Winkelmesser2->setChecked(s.ProtractorShown);
    Zirkel2->setChecked(s.CompassShown);
    if (s.HasTail) {
        RadierEd->setValue(s.EraserSize);
        State.PageWidthInch = s.PageWidthInch;
        State.PageHeightInch = s.PageHeightInch;
        State.Paper = s.Paper;
        PageAnz->setValue(SheetCountOf(s));
    }
}

bool TMainForm::SaveTheFile()
{
    // Written beside the target and renamed over it only when every byte reached the disk:
    // a failed save leaves the old file whole.
    const FileOutcome written = WriteFileSafely(State.FileName, WriteDrawingFile(State, CurrentFileSettings()));
    if (!written.Ok()) {
        ShowError(FileFaultMessage(Translation, QStringLiteral("Die Zeichnung konnte nicht gespeichert werden:"),
                                   State.FileName, written));
        return false;
    }
    SetUnChanged();
    AddRecentDrawing(State.FileName);
    UpdateRecentItems();
    return true;
}

bool TMainForm::SaveFile()
{
    bool saved = false;
    if (!State.FileName.isEmpty()) {
        saved = SaveTheFile();
    } else {
        const QString path = AskSaveFileName(*SaveDialog1);
        if (!path.isEmpty()) {
            State.FileName = path;
            saved = SaveTheFile();
        }
    }
    if (saved)
        SetUnChanged();
    return saved;
}

bool TMainForm::AskToSaveChanges()
{
    if (!State.Modified)
        return true;
    switch (AskYesNoCancel(Translation.ProgramMessage(Message::SaveChangesQuestion), Translation.ProgramMessage(Message::SaveChangesCaption))) {
    case QMessageBox::Yes:
        return SaveFile();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TMainForm::OpenFile()
{
    const QString path = AskOpenFileName(*OpenDialog1);
    return !path.isEmpty() && OpenFile(path);
}

bool TMainForm::LoadDrawing(const QString &path)
{
    // The whole file is read into a drawing of its own first; the current drawing is replaced
    // only when the file was read completely and makes sense.
    DrawingState drawing;
    DrawingFileSettings settings = CurrentFileSettings(); // an older file keeps the current tail values
    FileOutcome opened;
    const DrawingFileError error = LoadDrawingFile(path, drawing, settings, &opened);
    if (!opened.Ok()) {
        ShowError(FileFaultMessage(Translation, QStringLiteral("Die Datei kann nicht geöffnet werden:"), path, opened));
        return false;
    }
    if (error != DrawingFileError::None) {
        ShowError(Translation.TranslateString(
                      QStringLiteral("Die Datei ist beschädigt oder keine Zeichnung; die bisherige Zeichnung bleibt:")) +
                  QLatin1Char('\n') + path);
        return false;
    }
    State.TakeRecords(drawing);
    ApplyFileSettings(settings);
    History.clear(); // a history of another drawing means nothing here
    UpdateEds();
    ScrollToTopLeft(); // the drawing starts at its first sheet's top-left corner
    return true;
}

bool TMainForm::OpenFile(const QString &path)
{
    if (!LoadDrawing(path))
        return false;
    State.FileName = path;
    SetUnChanged();
    AddRecentDrawing(path);
    UpdateRecentItems();
    return true;
}

void TMainForm::Neu1Click()
{
    if (AskToSaveChanges())
        NewAll();
    PaintBox1Paint();
}

void TMainForm::ffnen1Click()
{
    if (AskToSaveChanges())
        OpenFile();
    PaintBox1Paint();
}

void TMainForm::Speichern1Click()
{
    SaveFile();
}

void TMainForm::Speichernunter1Click()
{
    const QString path = AskSaveFileName(*SaveDialog1);
    if (path.isEmpty())
        return;
    State.FileName = path; // also when the save fails, so the caption names where it went
    if (!SaveTheFile())
        SetChanged();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (AskToSaveChanges())
        event->accept();
    else
        event->ignore();
}

} // namespace velmora
