// Which tool is chosen in the tool menu, and each tool's mode. Every tool keeps its mode
// while another tool is in use; a tool with modes becomes current only by choosing a mode.
#pragma once

namespace velmora {

enum class Tool { Ruler, Protractor, Compass, SetSquare, Curves, Pencil, Eraser, Text, Objects, Hand, Zoom };
enum class RulerMode { Move, Turn, Along, Across };
enum class ProtractorMode { Move, Turn, Mark };
enum class CompassMode { Move, Span, Arc };
// Drawing along the long side, or along the short side nearer the pointer.
enum class SetSquareMode { Move, Turn, LongSide, ShortSide };
enum class TextMode { Add, Change, Delete, Move };
enum class ObjectMode { Delete, Move };

struct ToolSelection {
    Tool Current = Tool::Ruler;
    RulerMode Ruler = RulerMode::Move;
    ProtractorMode Protractor = ProtractorMode::Move;
    CompassMode Compass = CompassMode::Move;
    SetSquareMode SetSquare = SetSquareMode::Move;
    TextMode Text = TextMode::Add;
    ObjectMode Objects = ObjectMode::Delete;

    bool Is(Tool tool) const { return Current == tool; }
    bool Is(RulerMode mode) const { return Current == Tool::Ruler && Ruler == mode; }
    bool Is(ProtractorMode mode) const { return Current == Tool::Protractor && Protractor == mode; }
    bool Is(CompassMode mode) const { return Current == Tool::Compass && Compass == mode; }
    bool Is(SetSquareMode mode) const { return Current == Tool::SetSquare && SetSquare == mode; }
    bool Is(TextMode mode) const { return Current == Tool::Text && Text == mode; }
    bool Is(ObjectMode mode) const { return Current == Tool::Objects && Objects == mode; }
};

} // namespace velmora
