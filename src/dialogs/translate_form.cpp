#include "translate_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace velmora {

TranslateGridModel::TranslateGridModel(TranslateDataSet &data, QObject *parent)
    : QAbstractTableModel(parent), data_(data)
{
}

int TranslateGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : data_.RowCount();
}

int TranslateGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : TranslateTable::FieldCount;
}

QVariant TranslateGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return data_.Value(index.row(), index.column());
}

bool TranslateGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !data_.SetValue(index.row(), index.column(), value.toString()))
        return false;
    const bool posted = data_.Post(); // a cell edit reaches the file when it is committed
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), TranslateTable::FieldCount - 1));
    return posted;
}

Qt::ItemFlags TranslateGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!data_.ReadOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant TranslateGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headers_.value(section, TranslateTable::FieldName(section));
    return section + 1;
}

void TranslateGridModel::SetHeaders(const QStringList &headers)
{
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, TranslateTable::FieldCount - 1);
}

void TranslateGridModel::RowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, TranslateTable::FieldCount - 1));
}

void TranslateGridModel::Reload()
{
    beginResetModel();
    endResetModel();
}

namespace {

// The navigator's buttons show a symbol drawn as an icon: a symbol is no text to translate.
QIcon SymbolIcon(const QString &symbol, const QPalette &palette)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(palette.color(QPalette::ButtonText));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, symbol);
    return QIcon(pixmap);
}

QAction *NavigatorButton(QToolBar *bar, const char *name, const QString &symbol, const QString &hint)
{
    QAction *action = bar->addAction(SymbolIcon(symbol, bar->palette()), QString());
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    // Read by its hint, also once the hint is translated.
    if (QWidget *button = bar->widgetForAction(action)) {
        button->setAccessibleName(hint);
        QObject::connect(action, &QAction::changed, button, [button, action] {
            if (button->accessibleName() != action->toolTip())
                button->setAccessibleName(action->toolTip());
        });
    }
    return action;
}

} // namespace

TTranslateForm::TTranslateForm(TranslateTable &table, QWidget *parent)
    : QDialog(parent), DataSet(table), table_(table)
{
    setObjectName(QStringLiteral("TranslateForm"));
    setWindowTitle(QStringLiteral("Übersetzen"));
    resize(721, 489);

    DBNavigator1 = new QToolBar(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    NavFirst = NavigatorButton(DBNavigator1, "NavFirst", QStringLiteral("|◀"), QStringLiteral("Erster Datensatz"));
    NavPrior = NavigatorButton(DBNavigator1, "NavPrior", QStringLiteral("◀"), QStringLiteral("Vorheriger Datensatz"));
    NavNext = NavigatorButton(DBNavigator1, "NavNext", QStringLiteral("▶"), QStringLiteral("Nächster Datensatz"));
    NavLast = NavigatorButton(DBNavigator1, "NavLast", QStringLiteral("▶|"), QStringLiteral("Letzter Datensatz"));
    NavInsert = NavigatorButton(DBNavigator1, "NavInsert", QStringLiteral("+"), QStringLiteral("Datensatz einfügen"));
    NavDelete = NavigatorButton(DBNavigator1, "NavDelete", QStringLiteral("−"), QStringLiteral("Datensatz löschen"));
    NavEdit = NavigatorButton(DBNavigator1, "NavEdit", QStringLiteral("✎"), QStringLiteral("Datensatz bearbeiten"));
    NavPost = NavigatorButton(DBNavigator1, "NavPost", QStringLiteral("✓"), QStringLiteral("Änderungen speichern"));
    NavCancel = NavigatorButton(DBNavigator1, "NavCancel", QStringLiteral("✗"), QStringLiteral("Änderungen verwerfen"));
    NavRefresh = NavigatorButton(DBNavigator1, "NavRefresh", QStringLiteral("↻"), QStringLiteral("Daten aktualisieren"));

    BackBtn = new QPushButton(QStringLiteral("Zurück..."), this);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setFixedWidth(673);
    DBEdit1->setMaxLength(TranslateTable::FieldWidth);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    DBEdit1->setAccessibleName(QStringLiteral("Text des gewählten Datensatzes"));
    FilterEdit->setAccessibleName(QStringLiteral("Suchbegriff"));
    FilterBtn = new QPushButton(QStringLiteral("Suchen"), this);
    FilterBtn->setObjectName(QStringLiteral("FilterBtn"));
    FilterBtn->setDefault(true); // Enter in the search edit searches
    BackBtn->setAutoDefault(false);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    model_ = new TranslateGridModel(DataSet, DBGrid1);
    DBGrid1->setModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setWordWrap(false);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(DBNavigator1);
    top->addStretch(1);
    top->addWidget(FilterEdit);
    top->addWidget(FilterBtn);
    top->addWidget(BackBtn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(top);
    layout->addWidget(DBEdit1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(StatusBar1);

    auto after = [this](auto step) {
        return [this, step] {
            step();
            ShowCurrent();
        };
    };
    connect(NavFirst, &QAction::triggered, this, after([this] { DataSet.First(); }));
    connect(NavPrior, &QAction::triggered, this, after([this] { DataSet.Prior(); }));
    connect(NavNext, &QAction::triggered, this, after([this] { DataSet.Next(); }));
    connect(NavLast, &QAction::triggered, this, after([this] { DataSet.Last(); }));
    connect(NavInsert, &QAction::triggered, this, after([this] { DataSet.Insert(); }));
    connect(NavDelete, &QAction::triggered, this, after([this] { DataSet.Delete(); }));
    connect(NavEdit, &QAction::triggered, this, after([this] { DataSet.Edit(); }));
    connect(NavPost, &QAction::triggered, this, after([this] { DataSet.Post(); }));
    connect(NavCancel, &QAction::triggered, this, after([this] { DataSet.Cancel(); }));
    connect(NavRefresh, &QAction::triggered, this, after([this] { DataSet.Refresh(); }));
    connect(DBEdit1, &QLineEdit::textEdited, this,
            [this](const QString &text) {
                if (DataSet.SetValue(DataSet.Row(), 0, text))
                    model_->RowChanged(DataSet.Row());
            });
    connect(FilterBtn, &QPushButton::clicked, this, &TTranslateForm::FilterBtnClick);
    connect(BackBtn, &QPushButton::clicked, this, &TTranslateForm::BackBtnClick);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (showing_ || !current.isValid() || current.row() == DataSet.Row())
                    return;
                DataSet.SetRow(current.row());
                ShowCurrent();
            });
}

QStringList TTranslateForm::GermanColumnTitles()
{
    QStringList titles{QStringLiteral("Deutsch (Original)"), QStringLiteral("Englisch"), QStringLiteral("Italienisch")};
    for (int column = int(titles.size()); column < TranslateTable::FieldCount; ++column)
        titles << QStringLiteral("Sprache %1");
    return titles;
}

bool TTranslateForm::ShowModal()
{
    QStringList titles;
    for (const QString &german : GermanColumnTitles()) {
        const QString title = Translate(german);
        titles << (title.contains(QLatin1String("%1")) ? title.arg(titles.size() + 1) : title);
    }
    model_->SetHeaders(titles);
    DataSet.Refresh();
    ShowCurrent();
    for (int column = 0; column < TranslateTable::FieldCount; ++column)
        DBGrid1->setColumnWidth(column, 300);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    const int changesBefore = DataSet.Changes();
    exec();
    return DataSet.Changes() != changesBefore;
}

void TTranslateForm::ShowCurrent()
{
    showing_ = true;
    model_->Reload();
    const int row = DataSet.Row();
    if (row < DataSet.RowCount())
        DBGrid1->setCurrentIndex(model_->index(row, qMax(0, DBGrid1->currentIndex().column())));
    DBEdit1->setText(DataSet.RowCount() > 0 ? DataSet.Value(row, 0) : QString());
    DBEdit1->setReadOnly(DataSet.ReadOnly() || DataSet.RowCount() == 0);
    showing_ = false;
}

void TTranslateForm::SwitchFilter(bool on)
{
    if (on)
        table_.SetFilter([this](int record) { return TranslateFilterRecord(table_, record, FilterEdit->text()); });
    else
        table_.SetFilter(nullptr);
    DataSet.Refresh();
    ShowCurrent();
}

void TTranslateForm::FilterBtnClick()
{
    SwitchFilter(!FilterEdit->text().isEmpty());
}

void TTranslateForm::BackBtnClick()
{
    DataSet.Edit();
    DataSet.Post();
    accept();
}

void TTranslateForm::done(int result)
{
    DataSet.Post();
    SwitchFilter(false);
    QDialog::done(result);
}

} // namespace velmora
