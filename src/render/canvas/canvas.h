// A small 2-D canvas in the spirit of a classic device context: pen and brush state,
// a current point, integer pixel coordinates. Rendering code is written against it so
// the same code paints the screen and exported images, and tests can record it.
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora {

enum class PenStyle { Solid, Dash, Dot, Clear };
enum class BrushStyle { Solid, Clear };

struct FontSpec {
    QString Face;
    int PixelHeight = 16; // character (em) height without internal leading
    int Weight = 400;     // 100 .. 900, 400 normal, 700 bold
    int Escapement = 0;   // tenths of a degree, counter-clockwise
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    uint8_t Charset = 1; // default character set
    uint8_t Pitch = 0;   // 0 default, 1 variable, 2 fixed
    uint32_t Colour = 0; // platform colour value

    bool operator==(const FontSpec &) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void SetPenColour(uint32_t colour) = 0;
    virtual void SetPenWidth(int width) = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    // Setting a brush colour makes a clear brush solid, as on a classic canvas.
    virtual void SetBrushColour(uint32_t colour) = 0;
    virtual void SetBrushStyle(BrushStyle style) = 0;
    virtual void SetFont(const FontSpec &font) = 0;
    virtual void SetBackgroundTransparent(bool transparent) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Bounding boxes run from (x1, y1) to (x2, y2), the right and bottom edges excluded.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // Counter-clockwise on the screen from the ray through (x3, y3) to the ray through (x4, y4).
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    // One cubic Bezier segment from the current point; the end point becomes current.
    virtual void BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y) = 0;
    // A line through the points as one stroke of the pen, round at its ends and joints: where
    // its pieces overlap, a pixel is inked once (a pencil stroke shows no beads at its joints).
    // The last point becomes current.
    virtual void Polyline(const std::vector<QPoint> &points) = 0;

    // Text in the current font: measuring keeps left and top and sets right and bottom to
    // the extent of the text (lines split at line breaks, no word wrap, '&' marks a mnemonic).
    virtual QRect MeasureText(const QRect &box, const QString &text) = 0;
    virtual void DrawText(const QRect &box, const QString &text) = 0;
    // Text with its top-left corner at (x, y), turned by the font's escapement.
    virtual void TextOut(int x, int y, const QString &text) = 0;
    virtual int TextWidth(const QString &text) = 0;

    virtual void CopyImage(int x, int y, const QImage &image) = 0;
    // An image scaled smoothly into the target (in pixel edges, like FillArea): the part within
    // a rectangle, or the area a clip covers within it (filled with the image as its pattern).
    virtual void DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                           const QPainterPath *clip = nullptr) = 0;
    // Fills an area in a colour, without outline: the paper's lines and dots. The area's
    // coordinates run along pixel edges: pixel (x, y) is the square from (x, y) to (x + 1, y + 1).
    virtual void FillArea(const QPainterPath &area, uint32_t colour) = 0;
    // The same for rectangles, which every device fills fast (a pixel grid's lines).
    virtual void FillRects(const std::vector<QRectF> &rects, uint32_t colour) = 0;

    // Limits what the following operations draw to a rectangle; ResetClip lifts it.
    virtual void SetClipRect(const QRect &rect) = 0;
    virtual void ResetClip() = 0;

    // The canvas pixels painting can change (its device and clip), when the canvas knows
    // them: long scales draw only what meets them.
    virtual std::optional<QRect> PaintedArea() { return std::nullopt; }
    // Device pixels per canvas pixel (a high-density screen's ratio), when the canvas knows it.
    virtual double DeviceScale() { return 1; }
};

} // namespace velmora
