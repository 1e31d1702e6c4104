#pragma once
// What a user does to a window and sees of it, for tests without a real input device: click a
// grid row, type into a bound field and finish the entry, press a navigator button, read a
// cell of a grid, the caption colour of a button, a curve of the chart and a click on it, and
// the files a window writes.
#include <qcustomplot.h>

#include <QAbstractItemView>
#include <QColor>
#include <QCryptographicHash>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPalette>
#include <QPointingDevice>
#include <QToolButton>

#include "ui/data_widgets.h"

namespace lumerad {

// A file's bytes (empty when it cannot be read), a file written, and a file's hash.
inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}
inline QByteArray fileHash(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex();
}

// Clicks a row of a grid: the row becomes the current one and the grid reports the click.
inline void clickRow(QAbstractItemView* grid, int row) {
    QAbstractItemModel* m = grid->model();
    if (row < 0 || row >= m->rowCount() || m->columnCount() == 0) return;
    const QModelIndex idx = m->index(row, 0);
    grid->selectionModel()->setCurrentIndex(idx,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit grid->clicked(idx);
}

// What a grid shows in a cell (row of the filtered view, column).
inline QString cellText(QAbstractItemView* grid, int row, int column) {
    return grid->model()->index(row, column).data(Qt::DisplayRole).toString();
}

// Types text into a bound field, replacing what it held, and finishes the entry as the field
// sees it (its own handlers of typing and finishing run, not what a window connects to
// editingFinished).
inline void typeInto(QLineEdit* field, const QString& text) {
    field->setText(text);
    QMetaObject::invokeMethod(field, "edited");
    QMetaObject::invokeMethod(field, "finished");
}

// Presses a navigator button as the user would (a disabled button does nothing).
inline void press(DBNavigator* navigator, DBNavigator::Button b) { navigator->button(b)->click(); }

// The caption colour of a button as a 24-bit value, red in the low byte (255 red, 32768 green).
inline int captionColour(const QWidget* button) {
    const QColor c = button->palette().color(QPalette::ButtonText);
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// The chart of a graph window, and its curve of a given index (nullptr when there is none).
inline QCustomPlot* chartOf(const QWidget* window) { return window->findChild<QCustomPlot*>(); }
inline QCPGraph* curve(const QWidget* window, int index) {
    QCustomPlot* chart = chartOf(window);
    for (int i = 0; chart && i < chart->graphCount(); ++i)
        if (chart->graph(i)->name() == QString::number(index)) return chart->graph(i);
    return nullptr;
}
// The bars of a line-graph window.
inline QCPBars* barsOf(const QWidget* window) {
    QCustomPlot* chart = chartOf(window);
    return chart ? qobject_cast<QCPBars*>(chart->plottable(0)) : nullptr;
}

// A left click on a curve of the chart.
inline void clickCurve(QCustomPlot* chart, QCPAbstractPlottable* plottable) {
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton,
                  Qt::NoModifier);
    emit chart->plottableClick(plottable, 0, &e);
}

// A click (or a double click) on an item of a list.
inline void clickItem(QListWidget* list, int row, bool twice = false) {
    QListWidgetItem* item = list->item(row);
    list->setCurrentItem(item);
    if (twice)
        emit list->itemDoubleClicked(item);
    else
        emit list->itemClicked(item);
}

}  // namespace lumerad
