#include "change_areas.h"

#include "document/drawing_state.h"
#include "document/stroke_runs.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// More notes than this since the last repaint (a pasted or erased mass): everything is drawn anew.
constexpr size_t MaxNotes = 20000;

// Where the records of one list that were inserted or changed stand now.
std::vector<int> PlacesNow(std::span<const RecordChange> notes, bool text)
{
    std::vector<int> places;
    for (const RecordChange &note : notes) {
        if (note.Text != text)
            continue;
        const int i = note.Index;
        if (note.What == RecordChange::Inserted) {
            for (int &p : places)
                p += p >= i;
            places.push_back(i);
        } else if (note.What == RecordChange::Removed) {
            std::erase(places, i);
            for (int &p : places)
                p -= p > i;
        } else {
            places.push_back(i);
        }
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    return places;
}

// Where objects were inserted, changed or removed, as places in the list as it is now (seam i
// lies between objects i - 1 and i): the seam a removed object leaves, and the seams on either
// side of the others. A line appended at the end only lengthens a stroke: no seam.
std::vector<int> SeamsNow(std::span<const RecordChange> notes)
{
    std::vector<int> seams;
    for (const RecordChange &note : notes) {
        if (note.Text)
            continue;
        const int i = note.Index;
        if (note.What == RecordChange::Inserted) {
            for (int &p : seams)
                p += p > i;
            if (note.Appended)
                continue;
            seams.push_back(i);
            seams.push_back(i + 1);
        } else if (note.What == RecordChange::Removed) {
            for (int &p : seams)
                p -= p > i;
            seams.push_back(i);
        } else {
            seams.push_back(i);
            seams.push_back(i + 1);
        }
    }
    std::sort(seams.begin(), seams.end());
    seams.erase(std::unique(seams.begin(), seams.end()), seams.end());
    return seams;
}

MmBox SpanBox(const TDynaArray<DrawingObject> &objects, const ObjectSpan &span)
{
    MmBox all{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (int i = span.First; i <= span.Last; ++i) {
        const MmBox box = ObjectInkBox(objects.At(i));
        all = {std::min(all.Left, box.Left), std::min(all.Top, box.Top), std::max(all.Right, box.Right),
               std::max(all.Bottom, box.Bottom)};
    }
    return all;
}

bool Meets(const MmBox &a, const MmBox &b)
{
    return !(a.Right < b.Left || a.Left > b.Right || a.Bottom < b.Top || a.Top > b.Bottom);
}

MmBox Normal(const MmBox &b)
{
    return {std::min(b.Left, b.Right), std::min(b.Top, b.Bottom), std::max(b.Left, b.Right),
            std::max(b.Top, b.Bottom)};
}

// A text lies near one of the areas (all: their bounding box).
bool UnderText(const DrawingState &state, const std::vector<ChangedArea> &areas, const MmBox &all)
{
    for (int t = 0; t < state.Texts.Count; ++t) {
        const MmBox text = Normal(TextBox(state.Texts.At(t)));
        const MmBox near{text.Left - 2, text.Top - 2, text.Right + 2, text.Bottom + 2};
        if (!Meets(near, all))
            continue;
        for (const ChangedArea &area : areas)
            if (Meets(near, area.Box))
                return true;
    }
    return false;
}

} // namespace

bool CollectChanges(const DrawingState &state, std::span<const RecordChange> notes, DrawingChanges &out)
{
    out = DrawingChanges();
    if (notes.size() > MaxNotes)
        return false;
    const bool appendsOnly = std::all_of(notes.begin(), notes.end(), [](const RecordChange &n) {
        return !n.Text && n.What == RecordChange::Inserted && n.Appended;
    });
    const int appended = state.Objects.Count - int(notes.size());
    // Lines appended to a stroke are drawn as one line with it, and white lines after white
    // lines show the paper with them: not simply drawn over the picture.
    const bool continued = appendsOnly && appended > 0 && appended < state.Objects.Count &&
                           DrawnTogether(state.Objects.At(appended - 1), state.Objects.At(appended));
    if (appendsOnly && !notes.empty() && notes.size() <= size_t(state.Objects.Count) && !continued) {
        const int first = appended;
        MmBox all{INFINITY, INFINITY, -INFINITY, -INFINITY};
        for (int i = first; i < state.Objects.Count; ++i) {
            const MmBox box = ObjectInkBox(state.Objects.At(i));
            out.OnTop.push_back({box, false});
            all = {std::min(all.Left, box.Left), std::min(all.Top, box.Top), std::max(all.Right, box.Right),
                   std::max(all.Bottom, box.Bottom)};
        }
        // Texts are drawn after every object: one under the new objects must be drawn again over them.
        if (!UnderText(state, out.OnTop, all)) {
            out.OnTopFrom = first;
            return true;
        }
        out.Redraw = std::move(out.OnTop);
        out.OnTop.clear();
        return true;
    }
    for (const RecordChange &note : notes)
        if (note.What != RecordChange::Inserted)
            out.Redraw.push_back({note.Before, note.Text});
    for (int i : PlacesNow(notes, false))
        if (i >= 0 && i < state.Objects.Count)
            out.Redraw.push_back({ObjectInkBox(state.Objects.At(i)), false});
    // A line that a stroke grew from, or shrank to, is drawn anew: alone it is drawn as a
    // line of its own, which differs from it as a part of a stroke by a shade here and there.
    if (continued) {
        out.Redraw.push_back({ObjectInkBox(state.Objects.At(appended - 1)), false});
        MmBox all{INFINITY, INFINITY, -INFINITY, -INFINITY};
        for (const ChangedArea &area : out.Redraw)
            all = {std::min(all.Left, area.Box.Left), std::min(all.Top, area.Box.Top),
                   std::max(all.Right, area.Box.Right), std::max(all.Bottom, area.Box.Bottom)};
        if (!UnderText(state, out.Redraw, all)) {
            out.GrownFrom = DrawnTogetherAround(state.Objects, appended - 1).First;
            out.Before = appended;
        }
    }
    // Objects drawn together (a stroke, white lines) that a change split or joined are drawn
    // anew as a whole: where they overlap they show as one, or now apart.
    for (int i : SeamsNow(notes)) {
        if (i == state.Objects.Count && i > 0)
            out.Redraw.push_back({ObjectInkBox(state.Objects.At(i - 1)), false});
        if (i <= 0 || i >= state.Objects.Count)
            continue; // at an end of the list a stroke only grew or shrank there
        for (int at : {i - 1, i})
            if (state.Objects.At(at).Kind == KindLine)
                out.Redraw.push_back({SpanBox(state.Objects, DrawnTogetherAround(state.Objects, at)), false});
    }
    for (int i : PlacesNow(notes, true))
        if (i >= 0 && i < state.Texts.Count)
            out.Redraw.push_back({TextBox(state.Texts.At(i)), true});
    return true;
}

QRect AreaOnSheet(const ChangedArea &area, double s, double offMm, const QRect &limit)
{
    const MmBox b = Normal(area.Box);
    double left = s * b.Left, right = s * b.Right, top = s * (b.Top - offMm), bottom = s * (b.Bottom - offMm);
    // Rounding of the points and the pen, the one-pixel least pen and antialiasing; a text's
    // glyphs may lean or hang out of its measured box.
    double sideMargin = 3, endMargin = 3;
    if (area.Text) {
        sideMargin = std::max(6.0, (bottom - top) / 2 + 4);
        endMargin = 6;
    }
    left = std::floor(left - sideMargin);
    right = std::ceil(right + sideMargin);
    top = std::floor(top - endMargin);
    bottom = std::ceil(bottom + endMargin);
    if (std::isnan(left) || std::isnan(right) || std::isnan(top) || std::isnan(bottom))
        return limit; // may draw anywhere
    left = std::max(left, double(limit.left()));
    top = std::max(top, double(limit.top()));
    right = std::min(right, double(limit.right()) + 1);
    bottom = std::min(bottom, double(limit.bottom()) + 1);
    if (left >= right || top >= bottom)
        return QRect();
    return QRect(QPoint(int(left), int(top)), QPoint(int(right) - 1, int(bottom) - 1));
}

} // namespace velmora
