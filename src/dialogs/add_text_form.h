// TAddTextForm: the text dialog of the text tool. A multi-line memo shown in the text's font,
// a font button and a colour button (the platform's font dialog has no colour on Linux),
// OK only for a non-empty text, and Alt+Enter confirming even an empty one.
#pragma once

#include "document/text_font_choice.h"

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace velmora {

class TAddTextForm : public QDialog {
    Q_OBJECT
public:
    // font: the font of new texts (the font dialog's font), which the buttons change.
    TAddTextForm(TextFontChoice &font, QWidget *parent = nullptr);

    // Shows the dialog modally. prefill, when given, replaces the memo's text; otherwise the
    // memo shows what it held at its last use. True with the memo's text on OK.
    bool Execute(const QString *prefill, QString &text);

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *NewFontBtn = nullptr;
    QPushButton *ColourBtn = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void NewFontBtnClick();
    void ColourBtnClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void ShowFontInMemo();

    TextFontChoice &font_;
};

// The Qt font for a text font choice at its point size, and back.
QFont QtFontFor(const TextFontChoice &font);
void TakeQtFont(const QFont &chosen, TextFontChoice &font);

} // namespace velmora
