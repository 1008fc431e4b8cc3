// Drawings for tests and benchmarks, made through an edit transaction as the tools make them,
// but without a history step or a changed marker: as if read from a file.
#pragma once

#include "document/edit_transaction.h"

#include <QString>

#include <initializer_list>
#include <optional>

namespace velmora {

class DrawingBuilder {
public:
    // Builds into a drawing of its own transaction, or into a host's open one.
    explicit DrawingBuilder(DrawingState &state) : own_(std::in_place, state, QStringLiteral("test")), edit_(*own_) {}
    explicit DrawingBuilder(EditTransaction &edit) : edit_(edit) { edit_.Open(QStringLiteral("test")); }
    ~DrawingBuilder() { edit_.Finish(); }
    DrawingBuilder(const DrawingBuilder &) = delete;
    DrawingBuilder &operator=(const DrawingBuilder &) = delete;

    // An object with every byte zero, to be filled by the caller.
    DrawingObject &Blank()
    {
        DrawingObject *o = edit_.AppendObject();
        *o = DrawingObject{};
        return *o;
    }
    // An object of a kind with its points in order (x1, y1, x2, y2, ...), the rest zero.
    DrawingObject &Object(uint32_t kind, double width, std::initializer_list<double> points,
                          uint32_t colour = ColourBlack)
    {
        DrawingObject &o = Blank();
        o.Kind = kind;
        o.PenWidth = width;
        o.Colour = colour;
        double *c[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
        int i = 0;
        for (double v : points)
            *c[i++] = v;
        return o;
    }
    DrawingObject &Line(double x1, double y1, double x2, double y2, double width, uint32_t colour = ColourBlack)
    {
        return Object(KindLine, width, {x1, y1, x2, y2}, colour);
    }
    // A text at (left, top) mm whose right and bottom edges the next paint measures.
    TextObject &Text(double left, double top, const QString &content, int size = 12, const char *font = "Arial")
    {
        TextObject &t = *edit_.AppendText();
        t.Left = t.Right = left;
        t.Top = t.Bottom = top;
        t.Size = size;
        SetTextString(t, content);
        SetFontName(t, font, int(qstrlen(font)));
        return t;
    }
    // Object i, changed in place; a text likewise.
    DrawingObject &Change(int i) { return edit_.ChangeObject(i); }
    TextObject &ChangeText(int i) { return edit_.ChangeText(i); }
    bool Delete(int i) { return edit_.DeleteObject(i); }

private:
    std::optional<EditTransaction> own_;
    EditTransaction &edit_;
};

} // namespace velmora
