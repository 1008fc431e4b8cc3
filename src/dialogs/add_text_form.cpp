#include "add_text_form.h"

#include "document/records.h"
#include "render/canvas/painter_canvas.h"

#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QScreen>

namespace velmora {

QFont QtFontFor(const TextFontChoice &font)
{
    QFont qt(font.Name);
    qt.setPointSize(font.Size > 0 ? font.Size : 10);
    qt.setBold(font.Style & StyleBold);
    qt.setItalic(font.Style & StyleItalic);
    qt.setUnderline(font.Style & StyleUnderline);
    qt.setStrikeOut(font.Style & StyleStrikeOut);
    if (font.Pitch == 2)
        qt.setFixedPitch(true);
    return qt;
}

void TakeQtFont(const QFont &chosen, TextFontChoice &font)
{
    font.Name = chosen.family();
    if (chosen.pointSize() > 0)
        font.Size = chosen.pointSize();
    font.Style = uint8_t((chosen.bold() ? StyleBold : 0) | (chosen.italic() ? StyleItalic : 0) |
                         (chosen.underline() ? StyleUnderline : 0) | (chosen.strikeOut() ? StyleStrikeOut : 0));
    // Qt knows no character sets; the character set stays as it was. A fixed-pitch face is kept as such.
    font.Pitch = chosen.fixedPitch() ? 2 : (font.Pitch == 2 ? 0 : font.Pitch);
}

TAddTextForm::TAddTextForm(TextFontChoice &font, QWidget *parent) : QDialog(parent), font_(font)
{
    setObjectName(QStringLiteral("AddTextForm"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));
    setFixedSize(399, 266);
    Label1 = new QLabel(QStringLiteral("Text:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 6, 377, 16);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Label1->setBuddy(Memo1); // the memo is named by its label
    Memo1->setGeometry(8, 24, 377, 137);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(this);
    NewFontBtn = new QPushButton(QStringLiteral("Schriftart wählen..."), this);
    NewFontBtn->setObjectName(QStringLiteral("NewFontBtn"));
    NewFontBtn->setGeometry(8, 172, 180, 28);
    ColourBtn = new QPushButton(QStringLiteral("Textfarbe..."), this);
    ColourBtn->setObjectName(QStringLiteral("ColourBtn"));
    ColourBtn->setGeometry(196, 172, 120, 28);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(196, 226, 90, 30);
    OkBtn->setDefault(true); // Enter in the memo is a line break; elsewhere it confirms
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(295, 226, 90, 30);
    CancelBtn->setAutoDefault(false);

    connect(Memo1, &QPlainTextEdit::textChanged, this,
            [this] { OkBtn->setEnabled(!Memo1->toPlainText().isEmpty()); });
    connect(NewFontBtn, &QPushButton::clicked, this, &TAddTextForm::NewFontBtnClick);
    connect(ColourBtn, &QPushButton::clicked, this, &TAddTextForm::ColourBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    OkBtn->setEnabled(false);
}

void TAddTextForm::ShowFontInMemo()
{
    Memo1->setFont(QtFontFor(font_));
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, ToQColor(font_.Colour));
    Memo1->setPalette(palette);
}

void TAddTextForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ShowFontInMemo();
    OkBtn->setEnabled(!Memo1->toPlainText().isEmpty());
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Memo1->setFocus();
}

bool TAddTextForm::Execute(const QString *prefill, QString &text)
{
    if (prefill)
        Memo1->setPlainText(*prefill);
    if (exec() != QDialog::Accepted)
        return false;
    text = Memo1->toPlainText();
    return true;
}

bool TAddTextForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::AltModifier)) {
            accept(); // Alt+Enter confirms, even an empty text
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAddTextForm::NewFontBtnClick()
{
    // The dialog lists the installed families; a name the drawing asks for, like "Arial", may
    // be served by a metric twin under another name. The dialog starts at that family, and a
    // choice of the same family keeps the name the text had.
    QFont start = QtFontFor(font_);
    const QString shown = QFontInfo(start).family();
    if (!QFontDatabase::hasFamily(font_.Name))
        start.setFamily(shown);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, this);
    if (!ok)
        return;
    const QString name = font_.Name;
    TakeQtFont(chosen, font_);
    if (chosen.family() == start.family())
        font_.Name = name;
    ShowFontInMemo();
}

void TAddTextForm::ColourBtnClick()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(font_.Colour), this);
    if (!chosen.isValid())
        return;
    font_.Colour = ColourRGB(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
    ShowFontInMemo();
}

} // namespace velmora
