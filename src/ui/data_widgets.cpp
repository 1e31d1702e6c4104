#include "ui/data_widgets.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QToolButton>

#include "core/numerics/messages.h"
#include "core/numerics/text_to_number.h"
#include "store/table.h"
#include "ui/action_runner.h"

namespace lumerad {

// ---------------------------------------------------------------- TableModel

TableModel::TableModel(Table& table, ActionRunner& runner, QObject* parent)
    : QAbstractTableModel(parent), table_(table), runner_(runner) {
    for (const FieldDef& f : table_.fields())
        columns_.push_back({table_.fieldIndex(f.name), f.displayLabel()});
    shownRows_ = table_.rowCount();
    connect(&table_, &Table::rowsChanged, this, &TableModel::rowsChanged);
    connect(&table_, &Table::recordChanged, this, [this] {
        int r = table_.currentRow();
        if (r >= 0 && r < shownRows_ && !columns_.empty())
            emit dataChanged(index(r, 0), index(r, int(columns_.size()) - 1));
        emit headerDataChanged(Qt::Vertical, 0, std::max(shownRows_ - 1, 0));
    });
}

void TableModel::rowsChanged() {
    if (table_.rowCount() != shownRows_) {
        beginResetModel();
        shownRows_ = table_.rowCount();
        endResetModel();
    } else if (shownRows_ > 0 && !columns_.empty()) {
        emit dataChanged(index(0, 0), index(shownRows_ - 1, int(columns_.size()) - 1));
    }
}

void TableModel::clearColumns() {
    beginResetModel();
    columns_.clear();
    endResetModel();
}

void TableModel::addColumn(const QString& fieldName, const QString& title) {
    int f = table_.fieldIndex(fieldName);
    if (f < 0) return;
    beginInsertColumns({}, int(columns_.size()), int(columns_.size()));
    columns_.push_back({f, title.isEmpty() ? table_.fields()[f].displayLabel() : title});
    endInsertColumns();
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }
int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= table_.rowCount()) return {};
    const Column& c = columns_[index.column()];
    const FieldDef& f = table_.fields()[c.field];
    switch (role) {
        case Qt::DisplayRole:
            return table_.displayText(index.row(), c.field);
        case Qt::EditRole: {
            const QVariant& v = table_.row(index.row()).value(c.field);
            if (v.isNull()) return QString();
            return f.numeric() ? table_.row(index.row()).text(f.name) : v.toString();
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(f.alignment | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section < int(columns_.size()) ? columns_[section].title : QString();
    if (section != table_.currentRow()) return QString();
    switch (table_.state()) {
        case TableState::Edit:
            return QStringLiteral("I");
        case TableState::Insert:
            return QStringLiteral("*");
        default:
            return QStringLiteral("\u25b6");
    }
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags fl = QAbstractTableModel::flags(index);
    if (index.isValid() && !table_.fields()[columns_[index.column()].field].calculated)
        fl |= Qt::ItemIsEditable;
    return fl;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    QString name = table_.fields()[columns_[index.column()].field].name;
    int row = index.row();
    return runner_.run([&] {
        table_.moveTo(row);
        if (table_.currentRow() != row) return;
        table_.setText(name, value.toString());
    });
}

// ---------------------------------------------------------------- DBGrid

DBGrid::DBGrid(Table& table, ActionRunner& runner, QWidget* parent, const char* name)
    : QTableView(parent), table_(table), runner_(runner), model_(new TableModel(table, runner, this)) {
    if (name) setObjectName(QString::fromLatin1(name));
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) + 8);
    applyWidths();
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now, const QModelIndex&) {
                if (syncing_ || !now.isValid()) return;
                int row = now.row();
                runner_.run([&] { table_.moveTo(row); });
                syncCurrent();
            });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex&) { emit cellClicked(); });
    connect(&table_, &Table::recordChanged, this, &DBGrid::syncCurrent);
    connect(&table_, &Table::rowsChanged, this, &DBGrid::syncCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::syncCurrent);
    syncCurrent();
}

void DBGrid::syncCurrent() {
    if (syncing_) return;
    syncing_ = true;
    int r = table_.currentRow();
    if (r >= 0 && r < model_->rowCount() && model_->columnCount() > 0) {
        QModelIndex cur = currentIndex();
        int col = cur.isValid() ? cur.column() : 0;
        if (!cur.isValid() || cur.row() != r)
            selectionModel()->setCurrentIndex(
                model_->index(r, col), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(model_->index(r, col));
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void DBGrid::applyWidths() {
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < columnCount(); ++c) {
        const FieldDef& f = table_.fields()[model_->columns()[c].field];
        int chars = f.displayWidth > 0 ? f.displayWidth
                                       : (f.kind == FieldKind::String ? std::max(f.maxLength, 4) : 10);
        chars = std::min(std::max(chars, int(model_->columns()[c].title.size())), 30);
        setColumnWidth(c, chars * ch + 12);
    }
}

void DBGrid::clearColumns() { model_->clearColumns(); }

void DBGrid::addColumn(const QString& fieldName, const QString& title) {
    model_->addColumn(fieldName, title);
    applyWidths();
    syncCurrent();
}

// ---------------------------------------------------------------- DBNavigator

DBNavigator::DBNavigator(Table& table, ActionRunner& runner, QWidget* parent, const char* name)
    : QWidget(parent), table_(table), runner_(runner) {
    if (name) setObjectName(QString::fromLatin1(name));
    struct ButtonDef {
        const char* name;
        QString caption;
        const char* hint;
    };
    const ButtonDef defs[10] = {
        {"nbFirst", QStringLiteral("|<"), "First record"},
        {"nbPrior", QStringLiteral("<"), "Prior record"},
        {"nbNext", QStringLiteral(">"), "Next record"},
        {"nbLast", QStringLiteral(">|"), "Last record"},
        {"nbInsert", QStringLiteral("+"), "Insert record"},
        {"nbDelete", QStringLiteral("-"), "Delete record"},
        {"nbEdit", QStringLiteral("^"), "Edit record"},
        {"nbPost", QStringLiteral("\u2713"), "Post edit"},
        {"nbCancel", QStringLiteral("x"), "Cancel edit"},
        {"nbRefresh", QStringLiteral("\u21bb"), "Refresh data"},
    };
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    for (int i = 0; i < 10; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(defs[i].name));
        b->setText(defs[i].caption);
        b->setToolTip(QString::fromLatin1(defs[i].hint));
        b->setMinimumWidth(26);
        b->setAutoRaise(false);
        buttons_[i] = b;
        lay->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { press(Button(i)); });
    }
    lay->addStretch(1);
    connect(&table_, &Table::recordChanged, this, &DBNavigator::updateStates);
    connect(&table_, &Table::rowsChanged, this, &DBNavigator::updateStates);
    updateStates();
}

void DBNavigator::press(Button b) {
    if (!buttons_[b]->isEnabled()) return;
    runner_.run([&] {
        switch (b) {
            case First:
                table_.first();
                break;
            case Prior:
                table_.prior();
                break;
            case Next:
                table_.next();
                break;
            case Last:
                table_.last();
                break;
            case Insert:
                table_.insert();
                break;
            case Delete:
                if (runner_.messages().question("Delete record?")) table_.remove();
                break;
            case Edit:
                table_.edit();
                break;
            case Post:
                table_.post();
                break;
            case Cancel:
                table_.cancel();
                break;
            case Refresh:
                table_.refresh();
                break;
        }
    });
    updateStates();
    emit clicked(int(b));
}

void DBNavigator::updateStates() {
    const bool open = table_.isOpen();
    const bool editing = table_.editing();
    const bool any = !table_.isEmpty();
    buttons_[First]->setEnabled(open && any && !table_.bof());
    buttons_[Prior]->setEnabled(open && any && !table_.bof());
    buttons_[Next]->setEnabled(open && any && !table_.eof());
    buttons_[Last]->setEnabled(open && any && !table_.eof());
    buttons_[Insert]->setEnabled(open);
    buttons_[Delete]->setEnabled(open && any);
    buttons_[Edit]->setEnabled(open && any && !editing);
    buttons_[Post]->setEnabled(open && editing);
    buttons_[Cancel]->setEnabled(open && editing);
    buttons_[Refresh]->setEnabled(open);
}

// ---------------------------------------------------------------- DBEdit

DBEdit::DBEdit(Table& table, const QString& fieldName, ActionRunner& runner, QWidget* parent,
               const char* name)
    : QLineEdit(parent), table_(table), field_(fieldName), runner_(runner) {
    if (name) setObjectName(QString::fromLatin1(name));
    const FieldDef& f = table_.field(fieldName);
    calculated_ = f.calculated;
    setReadOnly(calculated_);
    if (calculated_) setFocusPolicy(Qt::NoFocus);
    if (f.kind == FieldKind::String && f.maxLength > 0) setMaxLength(f.maxLength);
    setAlignment(f.numeric() ? Qt::AlignRight : Qt::AlignLeft);
    connect(&table_, &Table::recordChanged, this, &DBEdit::refresh);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::edited);
    connect(this, &QLineEdit::editingFinished, this, &DBEdit::finished);
    refresh();
}

DBEdit::~DBEdit() { table_.removePendingWriter(this); }

void DBEdit::refresh() {
    if (pending_) {
        if (table_.editing()) return;  // keep what the user is typing
        pending_ = false;
        table_.removePendingWriter(this);
    }
    const bool typing = hasFocus() && !calculated_;
    // While the user is in the field, a text that already stands for the field's value stays
    // as typed ("1." for 1), so a post in the middle of typing does not rewrite it.
    if (typing && showsValue()) return;
    QString t = typing ? table_.asText(field_) : table_.displayText(field_);
    if (t != text()) {
        setText(t);
        if (!typing) setCursorPosition(0);
        emit fieldTextChanged();
    }
}

bool DBEdit::showsValue() const {
    const FieldDef& f = table_.field(field_);
    const QVariant v = table_.value(field_);
    if (!f.numeric()) return text() == (v.isNull() ? QString() : v.toString());
    const QString typed = text().trimmed();
    if (typed.isEmpty()) return v.isNull();
    if (v.isNull()) return false;
    try {
        const double x = f.kind == FieldKind::Integer ? double(parseInteger(typed.toStdString()))
                                                      : parseReal(typed.toStdString());
        return x == v.toDouble();
    } catch (const std::exception&) {
        return false;
    }
}

void DBEdit::edited() {
    if (calculated_) return;
    pending_ = true;
    table_.addPendingWriter(this, [this] { write(); });
    if (!table_.editing()) {
        if (!runner_.run([this] { table_.edit(); })) {
            pending_ = false;
            table_.removePendingWriter(this);
        }
    }
    emit fieldTextChanged();
}

void DBEdit::write() {
    table_.removePendingWriter(this);
    try {
        table_.setText(field_, text());
        pending_ = false;
    } catch (...) {
        table_.addPendingWriter(this, [this] { write(); });
        throw;
    }
}

void DBEdit::finished() {
    if (!pending_) return;
    if (runner_.run([this] { write(); })) refresh();
}

void DBEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (!pending_ && !calculated_) {
        QString t = table_.asText(field_);
        if (t != text()) setText(t);
    }
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!pending_) {
        QString t = table_.displayText(field_);
        if (t != text()) setText(t);
    }
}

// ---------------------------------------------------------------- DBText

DBText::DBText(Table& table, const QString& fieldName, QWidget* parent, const char* name)
    : QLabel(parent), table_(table), field_(fieldName) {
    if (name) setObjectName(QString::fromLatin1(name));
    connect(&table_, &Table::recordChanged, this, &DBText::refresh);
    refresh();
}

void DBText::refresh() { setText(table_.displayText(field_)); }

}  // namespace lumerad
