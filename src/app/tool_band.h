// The tool band: a button per tool that shows which tool is checked, with an arrow for the
// tool's modes; each tool's modes are a radio group of their own, so every tool keeps its mode.
// Checking an item writes its choice into the selection the tools read.
#pragma once

#include "tool_icons.h"

#include "tools/tool_selection.h"

#include <QToolBar>

#include <initializer_list>

class QActionGroup;
class QMenu;
class QToolButton;

namespace velmora {

class ToolBand : public QToolBar {
    Q_OBJECT
public:
    explicit ToolBand(QWidget *parent);

    const ToolSelection &Selection() const { return selection_; }
    // Access letters for the modes of every tool, from the texts shown (after the translation).
    void AssignModeMnemonics();
    // Each tool button's name for assistive technology: its tool and the mode it has now.
    void NameButtons();
    // The chosen tool and its mode as shown ("Lineal, Verschieben").
    QString ChosenText() const;

    QAction *rulerTool = nullptr, *rulerMoveMode = nullptr, *rulerTurnMode = nullptr, *rulerAlongMode = nullptr,
            *rulerAcrossMode = nullptr;
    QAction *protractorTool = nullptr, *protractorMoveMode = nullptr, *protractorTurnMode = nullptr,
            *protractorMarkMode = nullptr;
    QAction *compassTool = nullptr, *compassMoveMode = nullptr, *compassSpanMode = nullptr,
            *compassArcMode = nullptr;
    QAction *circleAction = nullptr; // "Kreis zeichnen": a command among the compass's modes
    QAction *setSquareTool = nullptr, *setSquareMoveMode = nullptr, *setSquareTurnMode = nullptr,
            *setSquareLongMode = nullptr, *setSquareShortMode = nullptr;
    QAction *curvesTool = nullptr, *pencilTool = nullptr, *eraserTool = nullptr;
    QAction *textTool = nullptr, *textAddMode = nullptr, *textChangeMode = nullptr, *textDeleteMode = nullptr,
            *textMoveMode = nullptr;
    QAction *objectsTool = nullptr, *objectDeleteMode = nullptr, *objectMoveMode = nullptr;
    QAction *handTool = nullptr, *zoomTool = nullptr;

    // The tools' buttons, in the band's order.
    QList<QToolButton *> Buttons() const;

signals:
    // A tool or a mode was chosen.
    void Chosen();
    void CircleWanted();

private:
    struct Mode {
        const char *name;
        QString caption;
        QAction **item;
    };
    QAction *AddTool(QActionGroup *tools, const char *name, const QString &caption, const QString &hint,
                     ToolIconKind icon, std::initializer_list<Mode> modes);
    void FollowChoices();
    bool eventFilter(QObject *watched, QEvent *event) override;

    struct ToolButton {
        QAction *tool;
        QToolButton *button;
        QActionGroup *modes; // none for a tool without modes
    };
    // The tool and its checked mode, without access letters.
    static QString ToolText(const ToolButton &entry);

    ToolSelection selection_;
    QList<QMenu *> modeMenus_;
    QList<ToolButton> buttons_;
    quint64 choices_ = 0; // how often a choice was announced
};

} // namespace velmora
