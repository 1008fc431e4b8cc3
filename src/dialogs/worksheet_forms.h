// The questions of opening a worksheet: the password of an encrypted PDF (again after a wrong
// one), and which pages of a PDF longer than a drawing's ten sheets become the sheets. Each
// way out but OK (Abbrechen, Escape, the close button) gives nothing and changes nothing.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <functional>
#include <optional>
#include <utility>

namespace velmora {

using TranslateFunction = std::function<QString(const QString &)>;

class TWorksheetPasswordForm : public QDialog {
    Q_OBJECT
public:
    explicit TWorksheetPasswordForm(const TranslateFunction &translate, QWidget *parent = nullptr);
    // The password typed, or nothing when the user gave up; `again` says the last was wrong.
    std::optional<QByteArray> Ask(bool again);

    QLabel *WrongLabel = nullptr;
    QLineEdit *PasswordEd = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};

class TWorksheetPagesForm : public QDialog {
    Q_OBJECT
public:
    explicit TWorksheetPagesForm(const TranslateFunction &translate, QWidget *parent = nullptr);
    // The first page (from 1) and the number of pages of a document of `pages` pages, or
    // nothing when the user gave up.
    std::optional<std::pair<int, int>> Ask(int pages);

    QLabel *AboutLabel = nullptr;
    QSpinBox *FirstEd = nullptr;
    QSpinBox *CountEd = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private:
    TranslateFunction translate_;
};

} // namespace velmora
