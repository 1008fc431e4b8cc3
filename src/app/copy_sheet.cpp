// "Bearbeiten" / "Seite kopieren": the sheet of the latest press on the clipboard, as a
// picture at 300 dpi and as SVG, both with the sheet's true size, so it pastes into a word
// processor or an image editor as large as it is on paper.
#include "main_form.h"

#include "command_icons.h"

#include "render/output/sheet_export.h"
#include "render/output/sheet_svg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// The clipboard holds the whole picture in memory, and programs pasting it may refuse very
// large ones (Qt's image reader stops at 128 MB): sheets from about A2 up are copied at fewer
// dots per inch (still at their true size), so a poster-sized sheet cannot take gigabytes
// and bring the program down with the pupil's drawing.
constexpr double MaxCopyPixels = 30e6;

double CopyDpi(const DrawingState &state)
{
    const double squareInches = state.PageWidthInch * state.PageHeightInch;
    if (!(squareInches * SheetCopyDpi * SheetCopyDpi > MaxCopyPixels))
        return SheetCopyDpi;
    return std::max(1.0, std::floor(std::sqrt(MaxCopyPixels / squareInches)));
}

} // namespace

void TMainForm::CreateCopyCommand()
{
    Bearbeiten1->addSeparator();
    SeiteKopieren1 = Bearbeiten1->addAction(QStringLiteral("Seite kopieren"));
    SeiteKopieren1->setObjectName(QStringLiteral("SeiteKopieren1"));
    SeiteKopieren1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    SeiteKopieren1->setShortcutContext(Qt::ApplicationShortcut);
    SeiteKopieren1->setIcon(CommandIcon(CommandIconKind::CopySheet));
    connect(SeiteKopieren1, &QAction::triggered, this, &TMainForm::SeiteKopieren1Click);
}

void TMainForm::SeiteKopieren1Click()
{
    const int sheets = PageAnz->value();
    const int sheet = std::clamp(View.ActivePage, 0, sheets - 1);
    QImage image;
    ExportError error = SheetImage(State, sheets, sheet, CopyDpi(State), image);
    QByteArray svg;
    if (error == ExportError::None)
        error = SheetSvg(State, sheets, sheet, DrawingName(), svg);
    if (error == ExportError::BadSheetSize) {
        ShowSheetSizeError();
        return;
    }
    if (error != ExportError::None) {
        ShowError(Translation.TranslateString(QStringLiteral("Die Seite ist zu groß für die Zwischenablage.")));
        return;
    }
    auto *data = new QMimeData;
    data->setImageData(image);
    data->setData(QStringLiteral("image/svg+xml"), svg);
    QGuiApplication::clipboard()->setMimeData(data);
    StatusBar1->showMessage(
        Translation.TranslateString(QStringLiteral("Seite %1 ist in der Zwischenablage.")).arg(sheet + 1));
}

} // namespace velmora
