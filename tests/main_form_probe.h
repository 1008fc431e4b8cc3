// Test access to the main window's widgets. The window keeps its widgets to itself; tests
// reach them by their names through Probe(window), e.g. Probe(form).PaintBox1, to press them
// and read what they show as a user would.
#pragma once

#include "app/main_form.h"

#include <concepts>

namespace velmora {

// References to the widgets of one window, under the window's own names.
struct MainFormProbe {
    decltype(TMainForm::Datei1) &Datei1;
    decltype(TMainForm::Neu1) &Neu1;
    decltype(TMainForm::ffnen1) &ffnen1;
    decltype(TMainForm::Speichern1) &Speichern1;
    decltype(TMainForm::Speichernunter1) &Speichernunter1;
    decltype(TMainForm::DateiSeiteeinrichten1) &DateiSeiteeinrichten1;
    decltype(TMainForm::DateiDrucken1) &DateiDrucken1;
    decltype(TMainForm::Druckereinrichten1) &Druckereinrichten1;
    decltype(TMainForm::DateiAlsBildexportieren1) &DateiAlsBildexportieren1;
    decltype(TMainForm::Beenden1) &Beenden1;
    decltype(TMainForm::Lineal2) &Lineal2;
    decltype(TMainForm::Winkelmesser2) &Winkelmesser2;
    decltype(TMainForm::Zirkel2) &Zirkel2;
    decltype(TMainForm::LeistefrZahleneingabe1) &LeistefrZahleneingabe1;
    decltype(TMainForm::AnsichtZollAngabenfrdasLineal1) &AnsichtZollAngabenfrdasLineal1;
    decltype(TMainForm::SpracheDeutsch1) &SpracheDeutsch1;
    decltype(TMainForm::SpracheEnglish1) &SpracheEnglish1;
    decltype(TMainForm::SpracheItaliano1) &SpracheItaliano1;
    decltype(TMainForm::Sprachebersetzen1) &Sprachebersetzen1;
    decltype(TMainForm::IconItems) &IconItems;
    decltype(TMainForm::zoomed) &zoomed;
    decltype(TMainForm::StrichEd) &StrichEd;
    decltype(TMainForm::Shape1) &Shape1;
    decltype(TMainForm::FarbeBtn) &FarbeBtn;
    decltype(TMainForm::RadierEd) &RadierEd;
    decltype(TMainForm::PageAnz) &PageAnz;
    decltype(TMainForm::Lineal1) &Lineal1;
    decltype(TMainForm::LinealVerschieben1) &LinealVerschieben1;
    decltype(TMainForm::LinealDrehen1) &LinealDrehen1;
    decltype(TMainForm::LinealAnLinealentlangzeichnen1) &LinealAnLinealentlangzeichnen1;
    decltype(TMainForm::LinealQuerzumLinealzeichnen1) &LinealQuerzumLinealzeichnen1;
    decltype(TMainForm::WinkelmesserGradzahlmitBleistiftmarkieren1) &WinkelmesserGradzahlmitBleistiftmarkieren1;
    decltype(TMainForm::ZirkelKreisbogenzeichnen1) &ZirkelKreisbogenzeichnen1;
    decltype(TMainForm::ZirkelKreiszeichnen1) &ZirkelKreiszeichnen1;
    decltype(TMainForm::Kurven1) &Kurven1;
    decltype(TMainForm::Bleistift1) &Bleistift1;
    decltype(TMainForm::Radierer1) &Radierer1;
    decltype(TMainForm::TextTexthinzufgen1) &TextTexthinzufgen1;
    decltype(TMainForm::TextTextndern1) &TextTextndern1;
    decltype(TMainForm::TextTextlschen1) &TextTextlschen1;
    decltype(TMainForm::TextVerschieben1) &TextVerschieben1;
    decltype(TMainForm::ObjekteLschen1) &ObjekteLschen1;
    decltype(TMainForm::ObjekteVerschieben1) &ObjekteVerschieben1;
    decltype(TMainForm::Hand1) &Hand1;
    decltype(TMainForm::Panel2) &Panel2;
    decltype(TMainForm::LinXEd) &LinXEd;
    decltype(TMainForm::Linyed) &Linyed;
    decltype(TMainForm::WinkWEd) &WinkWEd;
    decltype(TMainForm::ZirkXed) &ZirkXed;
    decltype(TMainForm::ZirkYed) &ZirkYed;
    decltype(TMainForm::ZirksEd) &ZirksEd;
    decltype(TMainForm::OpenDialog1) &OpenDialog1;
    decltype(TMainForm::SeiteEinrichtenForm) &SeiteEinrichtenForm;
    decltype(TMainForm::DPIForm) &DPIForm;
    decltype(TMainForm::ScrollBox1) &ScrollBox1;
    decltype(TMainForm::PaintBox1) &PaintBox1;
    decltype(TMainForm::StatusBar1) &StatusBar1;
    decltype(TMainForm::TranslateForm) &TranslateForm;
    decltype(TMainForm::FontDialog1) &FontDialog1;
    decltype(TMainForm::AddTextForm) &AddTextForm;
    decltype(TMainForm::Bearbeiten1) &Bearbeiten1;
    decltype(TMainForm::Rueckgaengig1) &Rueckgaengig1;
    decltype(TMainForm::Wiederherstellen1) &Wiederherstellen1;
    decltype(TMainForm::UndoIcon) &UndoIcon;

    static MainFormProbe Of(TMainForm &form)
    {
        return {
            .Datei1 = form.Datei1,
            .Neu1 = form.Neu1,
            .ffnen1 = form.ffnen1,
            .Speichern1 = form.Speichern1,
            .Speichernunter1 = form.Speichernunter1,
            .DateiSeiteeinrichten1 = form.DateiSeiteeinrichten1,
            .DateiDrucken1 = form.DateiDrucken1,
            .Druckereinrichten1 = form.Druckereinrichten1,
            .DateiAlsBildexportieren1 = form.DateiAlsBildexportieren1,
            .Beenden1 = form.Beenden1,
            .Lineal2 = form.Lineal2,
            .Winkelmesser2 = form.Winkelmesser2,
            .Zirkel2 = form.Zirkel2,
            .LeistefrZahleneingabe1 = form.LeistefrZahleneingabe1,
            .AnsichtZollAngabenfrdasLineal1 = form.AnsichtZollAngabenfrdasLineal1,
            .SpracheDeutsch1 = form.SpracheDeutsch1,
            .SpracheEnglish1 = form.SpracheEnglish1,
            .SpracheItaliano1 = form.SpracheItaliano1,
            .Sprachebersetzen1 = form.Sprachebersetzen1,
            .IconItems = form.IconItems,
            .zoomed = form.zoomed,
            .StrichEd = form.StrichEd,
            .Shape1 = form.Shape1,
            .FarbeBtn = form.FarbeBtn,
            .RadierEd = form.RadierEd,
            .PageAnz = form.PageAnz,
            .Lineal1 = form.Lineal1,
            .LinealVerschieben1 = form.LinealVerschieben1,
            .LinealDrehen1 = form.LinealDrehen1,
            .LinealAnLinealentlangzeichnen1 = form.LinealAnLinealentlangzeichnen1,
            .LinealQuerzumLinealzeichnen1 = form.LinealQuerzumLinealzeichnen1,
            .WinkelmesserGradzahlmitBleistiftmarkieren1 = form.WinkelmesserGradzahlmitBleistiftmarkieren1,
            .ZirkelKreisbogenzeichnen1 = form.ZirkelKreisbogenzeichnen1,
            .ZirkelKreiszeichnen1 = form.ZirkelKreiszeichnen1,
            .Kurven1 = form.Kurven1,
            .Bleistift1 = form.Bleistift1,
            .Radierer1 = form.Radierer1,
            .TextTexthinzufgen1 = form.TextTexthinzufgen1,
            .TextTextndern1 = form.TextTextndern1,
            .TextTextlschen1 = form.TextTextlschen1,
            .TextVerschieben1 = form.TextVerschieben1,
            .ObjekteLschen1 = form.ObjekteLschen1,
            .ObjekteVerschieben1 = form.ObjekteVerschieben1,
            .Hand1 = form.Hand1,
            .Panel2 = form.Panel2,
            .LinXEd = form.LinXEd,
            .Linyed = form.Linyed,
            .WinkWEd = form.WinkWEd,
            .ZirkXed = form.ZirkXed,
            .ZirkYed = form.ZirkYed,
            .ZirksEd = form.ZirksEd,
            .OpenDialog1 = form.OpenDialog1,
            .SeiteEinrichtenForm = form.SeiteEinrichtenForm,
            .DPIForm = form.DPIForm,
            .ScrollBox1 = form.ScrollBox1,
            .PaintBox1 = form.PaintBox1,
            .StatusBar1 = form.StatusBar1,
            .TranslateForm = form.TranslateForm,
            .FontDialog1 = form.FontDialog1,
            .AddTextForm = form.AddTextForm,
            .Bearbeiten1 = form.Bearbeiten1,
            .Rueckgaengig1 = form.Rueckgaengig1,
            .Wiederherstellen1 = form.Wiederherstellen1,
            .UndoIcon = form.UndoIcon,
        };
    }
};

inline MainFormProbe Probe(TMainForm &form)
{
    return MainFormProbe::Of(form);
}

inline MainFormProbe Probe(TMainForm *form)
{
    return MainFormProbe::Of(*form);
}

// The tests' holders of a window (std::unique_ptr, their Window fixtures) hand it out with ->.
template <class Holder>
    requires requires(Holder &holder) {
        { holder.operator->() } -> std::convertible_to<TMainForm *>;
    }
MainFormProbe Probe(Holder &holder)
{
    return MainFormProbe::Of(*holder.operator->());
}

} // namespace velmora
