#include "ui/form_builder.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumerad::form {

namespace {
template <class W>
W* named(W* w, const char* name, const QString& hint) {
    if (name) w->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) w->setToolTip(hint);
    return w;
}
}  // namespace

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* e = named(new QLineEdit(parent), name, hint);
    e->setText(text);
    return e;
}

QLineEdit* output(QWidget* parent, const char* name, const QString& hint) {
    auto* e = named(new QLineEdit(parent), name, hint);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QLabel* label(QWidget* parent, const QString& text, const char* name, const QString& hint) {
    return named(new QLabel(text, parent), name, hint);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
    return named(new QPushButton(caption, parent), name, hint);
}

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& caption, const QString& hint) {
    auto* b = named(new QToolButton(bar), name, hint);
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(b);
    return b;
}

QGroupBox* group(QWidget* parent, const QString& title, const char* name, const QString& hint) {
    return named(new QGroupBox(title, parent), name, hint);
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool on, const QString& hint) {
    auto* c = named(new QCheckBox(caption, parent), name, hint);
    c->setChecked(on);
    return c;
}

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, bool on, const QString& hint) {
    auto* r = named(new QRadioButton(caption, parent), name, hint);
    r->setChecked(on);
    return r;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, const QString& hint) {
    auto* c = named(new QComboBox(parent), name, hint);
    c->addItems(items);
    return c;
}

void keepPlaceWhenHidden(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

std::pair<QVBoxLayout*, QVBoxLayout*> columns(QVBoxLayout* top) {
    auto* body = new QHBoxLayout;
    top->addLayout(body);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    body->addLayout(left);
    body->addLayout(right);
    return {left, right};
}

Rows::Rows(QWidget* host) : grid_(new QGridLayout(host)) { grid_->setContentsMargins(6, 6, 6, 6); }

QLabel* Rows::add(const QString& labelText, QWidget* field, const QString& unit, const char* unitName) {
    grid_->addWidget(new QLabel(labelText), row_, 0);
    grid_->addWidget(field, row_, 1);
    QLabel* u = nullptr;
    if (!unit.isEmpty() || unitName) {
        u = new QLabel(unit);
        if (unitName) {
            // a named unit label gets a unit prefix later ("k", "M", ...): leave space for it
            u->setObjectName(QString::fromLatin1(unitName));
            u->setMinimumWidth(u->fontMetrics().horizontalAdvance(QStringLiteral("M") + unit) + 4);
        }
        grid_->addWidget(u, row_, 2);
    }
    ++row_;
    return u;
}

void Rows::addWide(QWidget* w) { grid_->addWidget(w, row_++, 0, 1, 3); }

void maroonPanels(QWidget* window) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(128, 0, 0));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    window->setStyleSheet(QStringLiteral(
        "QGroupBox { background: #ffffc0; border: 1px solid #800000; margin-top: 1.4em; font-weight: bold; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; color: white; }"
        "QGroupBox QGroupBox { margin-top: 1.2em; }"
        "QGroupBox QGroupBox::title { color: #800000; }"));
}

}  // namespace lumerad::form
