#include "translate_components.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QQueue>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>

namespace velmora {

FileDialogFilter::FileDialogFilter(const QString &name, const QString &filter, const QString &defaultSuffix,
                                   QObject *owner)
    : QObject(owner), Filter(filter), DefaultSuffix(defaultSuffix)
{
    setObjectName(name);
}

QString FileDialogFilter::QtFilter() const
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

// Only the program's own components carry texts to translate; the parts Qt builds inside
// its widgets (a spin box's line edit, a scroll area's bars) have no name or a "qt_" one.
bool IsComponent(const QObject *object)
{
    const QString name = object->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

void TranslateHint(QWidget *widget, const TranslateFunction &tr)
{
    if (!widget->toolTip().isEmpty())
        widget->setToolTip(tr(widget->toolTip()));
}

void TranslateAction(QAction *action, const TranslateFunction &tr)
{
    // A hint that Qt derives from the text is not a text of its own.
    const QString derivedHint = QAction(action->text()).toolTip();
    const QString hint = action->toolTip();
    if (!action->text().isEmpty())
        action->setText(tr(action->text()));
    if (!hint.isEmpty() && hint != derivedHint)
        action->setToolTip(tr(hint));
}

void TranslateLines(QString text, const TranslateFunction &tr, const std::function<void(const QString &)> &store)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = tr(line);
    store(lines.join(QLatin1Char('\n')));
}

// What assistive technology reads of a control where its visible text does not say it.
void TranslateAccessibleTexts(QWidget *widget, const TranslateFunction &tr)
{
    if (!widget->accessibleName().isEmpty())
        widget->setAccessibleName(tr(widget->accessibleName()));
    if (!widget->accessibleDescription().isEmpty())
        widget->setAccessibleDescription(tr(widget->accessibleDescription()));
}

void TranslateOne(QObject *object, const TranslateFunction &tr)
{
    if (auto *widget = qobject_cast<QWidget *>(object))
        TranslateAccessibleTexts(widget, tr);
    if (auto *label = qobject_cast<QLabel *>(object)) {
        label->setText(tr(label->text()));
    } else if (auto *button = qobject_cast<QAbstractButton *>(object);
               button && (button->inherits("QCheckBox") || button->inherits("QRadioButton"))) {
        button->setText(tr(button->text()));
    } else if (auto *menu = qobject_cast<QMenu *>(object)) { // a popup window, but a menu item here
        menu->setTitle(tr(menu->title()));
        TranslateHint(menu, tr);
    } else if (auto *widget = qobject_cast<QWidget *>(object); widget && widget->isWindow()) {
        widget->setWindowTitle(tr(widget->windowTitle()));
    } else if (auto *pushed = qobject_cast<QAbstractButton *>(object)) {
        pushed->setText(tr(pushed->text()));
        TranslateHint(pushed, tr);
    } else if (auto *group = qobject_cast<QGroupBox *>(object)) {
        group->setTitle(tr(group->title()));
        TranslateHint(group, tr);
    } else if (auto *action = qobject_cast<QAction *>(object)) {
        TranslateAction(action, tr);
    } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(object)) {
        TranslateHint(spin, tr);
    } else if (auto *combo = qobject_cast<QComboBox *>(object)) {
        const int selected = combo->currentIndex();
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, tr(combo->itemText(i)));
        combo->setCurrentIndex(selected);
    } else if (auto *grid = qobject_cast<QTableWidget *>(object)) {
        for (int column = 0; column < grid->columnCount(); ++column)
            if (QTableWidgetItem *title = grid->horizontalHeaderItem(column))
                title->setText(tr(title->text()));
    } else if (auto *list = qobject_cast<QTreeWidget *>(object)) {
        QTreeWidgetItem *titles = list->headerItem();
        for (int column = 0; titles && column < list->columnCount(); ++column)
            titles->setText(column, tr(titles->text(column)));
    } else if (auto *dialog = qobject_cast<FileDialogFilter *>(object)) {
        dialog->Filter = tr(dialog->Filter);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(object)) {
        TranslateLines(memo->toPlainText(), tr, [memo](const QString &t) { memo->setPlainText(t); });
    } else if (auto *rich = qobject_cast<QTextEdit *>(object)) {
        TranslateLines(rich->toPlainText(), tr, [rich](const QString &t) { rich->setPlainText(t); });
    } else if (auto *edit = qobject_cast<QLineEdit *>(object)) {
        edit->setText(tr(edit->text()));
    } else if (auto *frame = qobject_cast<QFrame *>(object)) {
        TranslateHint(frame, tr); // the colour swatch and other shapes
    }
}

} // namespace

void TranslateComponents(QObject *root, const TranslateFunction &translate, const QList<QObject *> &windows)
{
    const bool rootIsApplication = root == QCoreApplication::instance();
    if (auto *window = qobject_cast<QWidget *>(root); window && window->isWindow())
        window->setWindowTitle(translate(window->windowTitle()));
    QQueue<QObject *> queue;
    queue.enqueue(root);
    while (!queue.isEmpty()) {
        QObject *first = queue.head();
        const QList<QObject *> owned =
            (first == root && rootIsApplication) ? windows : static_cast<const QList<QObject *> &>(first->children());
        QList<QObject *> children;
        for (auto it = owned.crbegin(); it != owned.crend(); ++it) {
            children << *it;
            if (IsComponent(*it))
                TranslateOne(*it, translate);
        }
        queue.dequeue();
        for (QObject *child : children)
            queue.enqueue(child);
    }
}

} // namespace velmora
