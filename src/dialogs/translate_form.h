// TTranslateForm: the editor of the translation table. A navigator, an edit for the German
// text of the current row, a search and a grid with all 19 language columns; every change
// is written to translate.dbf.
#pragma once

#include "i18n/translate_dataset.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

#include <functional>

namespace velmora {

class TranslateGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TranslateGridModel(TranslateDataSet &data, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reload();
    void RowChanged(int row);
    // The column titles: each language's name in the interface language.
    void SetHeaders(const QStringList &headers);

private:
    TranslateDataSet &data_;
    QStringList headers_;
};

class TTranslateForm : public QDialog {
    Q_OBJECT
public:
    explicit TTranslateForm(TranslateTable &table, QWidget *parent = nullptr);

    // Shows the window modally; the search is switched off however it is closed. True when
    // the table was changed meanwhile.
    bool ShowModal();
    // The column titles of the languages, "Deutsch (Original)", "Englisch", ... "Sprache 19".
    static QStringList GermanColumnTitles();

    std::function<QString(const QString &)> Translate = [](const QString &text) { return text; };

    TranslateDataSet DataSet;
    QToolBar *DBNavigator1 = nullptr;
    QAction *NavFirst = nullptr, *NavPrior = nullptr, *NavNext = nullptr, *NavLast = nullptr, *NavInsert = nullptr,
            *NavDelete = nullptr, *NavEdit = nullptr, *NavPost = nullptr, *NavCancel = nullptr, *NavRefresh = nullptr;
    QPushButton *BackBtn = nullptr;
    QLineEdit *DBEdit1 = nullptr;
    QLineEdit *FilterEdit = nullptr;
    QPushButton *FilterBtn = nullptr;
    QTableView *DBGrid1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    void FilterBtnClick();
    void BackBtnClick();

protected:
    void done(int result) override;

private:
    void ShowCurrent();
    void SwitchFilter(bool on);

    TranslateTable &table_;
    TranslateGridModel *model_ = nullptr;
    bool showing_ = false;
};

} // namespace velmora
