// The session's state as the window shows it: settings in the bands and the view menu, the
// caption, the history's items, the recent drawings and the entry bar.
#include "main_form.h"

#include "document/caption.h"
#include "session/user_settings.h"

namespace velmora {

void TMainForm::ShowSettings(const DrawingSettings &settings)
{
    // Only what changes the picture repaints it (a new pen shows with the next line).
    if (ShowSettingsUnpainted(settings))
        surface_->Repaint();
    DescribeSurface(); // an instrument shown or hidden, the number of sheets
}

bool TMainForm::ShowSettingsUnpainted(const DrawingSettings &settings)
{
    settingsBar_->Show(settings);
    menus_->rulerShownAction->setChecked(settings.RulerShown);
    menus_->protractorShownAction->setChecked(settings.ProtractorShown);
    menus_->compassShownAction->setChecked(settings.CompassShown);
    menus_->setSquareShownAction->setChecked(settings.SetSquareShown);
    menus_->entryBarAction->setChecked(settings.EntryBarShown);
    menus_->inchLabelsAction->setChecked(settings.InchLabels);
    if (settings.EntryBarShown != shown_.EntryBarShown)
        entryBar_->setVisible(settings.EntryBarShown);
    const bool picture = settings.Zoom != shown_.Zoom || settings.SheetCount != shown_.SheetCount ||
                         settings.RulerShown != shown_.RulerShown ||
                         settings.ProtractorShown != shown_.ProtractorShown ||
                         settings.CompassShown != shown_.CompassShown || settings.InchLabels != shown_.InchLabels ||
                         settings.SetSquareShown != shown_.SetSquareShown;
    shown_ = settings;
    return picture;
}

void TMainForm::ShowDrawingRead()
{
    const DrawingSettings settings = session_.Settings();
    shown_.EntryBarShown = !settings.EntryBarShown; // the entry bar as the file has it
    ShowSettingsUnpainted(settings);
    ShowPlacement();
    surface_->ScrollToTopLeft(); // the drawing starts at its first sheet's top-left corner
    surface_->Repaint();
    DescribeSurface();
}

void TMainForm::ShowCaption()
{
    setWindowTitle(DrawingCaption(captionBase_, session_.FileName(),
                                  language_.Translation.ProgramMessage(Message::Untitled), session_.IsModified()));
}

void TMainForm::ShowHistory()
{
    menus_->ShowHistory(session_.History(), [this](const QString &german) { return Shown(german); });
}

void TMainForm::ShowRecentDrawings()
{
    if (!firstShowDone_)
        return; // built at the first showing, after the window texts were translated
    menus_->ShowRecentDrawings(RecentDrawings(), [this](const QString &path) { OpenRecent(path); });
}

void TMainForm::ShowPlacement()
{
    entryBar_->Show(session_.Drawing().Placement);
    if (!dispatch_.Dragging()) // a drag is told when it ends
        DescribeSurface();
}

} // namespace velmora
