#include "main_form.h"

#include "document/units.h"
#include "render/painter_canvas.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <QShowEvent>

namespace velmora {

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    ProgramDir = QCoreApplication::applicationDirPath();
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    DynaArrayCore::SetFailureReporter([](const QString &message) {
        QMessageBox box(QMessageBox::Critical, QString(), message, QMessageBox::Ok);
        box.exec();
    });
    CreateMenus();
    CreateToolBarPanel();
    CreateSurface();
    resize(780, 560);
}

TMainForm::~TMainForm()
{
    State.ClearRecords();
    DynaArrayCore::SetFailureReporter({});
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (FirstShowDone)
        return;
    FirstShowDone = true;
    CaptionBase = QStringLiteral("Brandok Velmora 1.0");
    setWindowTitle(CaptionBase);
    PaintBox1Paint();
}

double TMainForm::ScreenDpiX() const
{
    const int dpi = PaintBox1->logicalDpiX();
    return dpi > 0 ? dpi : 96;
}

double TMainForm::ScreenDpiY() const
{
    const int dpi = PaintBox1->logicalDpiY();
    return dpi > 0 ? dpi : ScreenDpiX();
}

ViewGeometry TMainForm::CurrentView() const
{
    return ComputeViewGeometry(PageAnz->value(), zoomed->value(), ScreenDpiX(), ScreenDpiY(), State.PageWidthInch,
                               State.PageHeightInch);
}

SheetView TMainForm::CurrentSheetView() const
{
    return {Lineal2->isChecked(), Winkelmesser2->isChecked(), Zirkel2->isChecked(),
            AnsichtZollAngabenfrdasLineal1->isChecked()};
}

void TMainForm::PaintBox1Paint()
{
    if (State.PaintSuspended)
        return;
    const ViewGeometry view = CurrentView();
    State.PixelsPerMm = view.PixelsPerMm;
    State.PageHeightPx = view.PageHeightPx;
    const QSize wanted = view.SurfaceSize();
    if (PaintBox1->size() != wanted) {
        // The resize makes the platform paint the surface again; that paint draws the sheets.
        PaintBox1->resize(wanted);
        return;
    }
    // Texts get their measured boxes now, so what follows the paint can rely on them.
    Renderer.UpdateTextBoxes(State, view);
    PaintBox1->update();
}

void TMainForm::PaintSurface(QPainter &painter, const QRect &exposed)
{
    if (State.PaintSuspended)
        return;
    const ViewGeometry view = CurrentView();
    State.PixelsPerMm = view.PixelsPerMm;
    State.PageHeightPx = view.PageHeightPx;
    Renderer.Paint(painter, exposed, State, view, CurrentSheetView());
}

void TMainForm::ShowPointerPosition(int x, int y)
{
    const double s = State.PixelsPerMm;
    if (s == 0)
        return;
    const MmPoint mm = PointerToMm(x, y, s);
    const QLocale locale;
    StatusBar1->showMessage(locale.toString(mm.x, 'f', 2) + QStringLiteral(" mm, ") + locale.toString(mm.y, 'f', 2) +
                            QStringLiteral(" mm"));
}

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int y)
{
    State.ActivePage = ActivePageFor(y, State.PageHeightPx);
    State.ActivePageTopPx = State.ActivePage * State.PageHeightPx;
}

void TMainForm::PaintBox1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    ShowPointerPosition(x, y);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

void TMainForm::zoomedChange()
{
    PaintBox1Paint();
}

void TMainForm::PageAnzChange()
{
    State.Modified = true;
    PaintBox1Paint();
}

void TMainForm::FarbeBtnClick()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(Shape1->Colour()), this);
    if (chosen.isValid())
        Shape1->SetColour(ColourRGB(chosen.red(), chosen.green(), chosen.blue()));
}

void TMainForm::ViewSwitchClick()
{
    PaintBox1Paint();
}

} // namespace velmora
