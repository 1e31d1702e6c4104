#pragma once
// Controls bound to the current record of a Table. Every action of a control runs through the
// action runner, so a refused post or a text that is not a number shows its message there.
//
//  DBGrid       rows of the table's filtered view; columns bound to fields with titles (the
//               fields' display formats and alignments apply). Clicking a row moves the shared
//               current record; editing a cell writes the field. Emits cellClicked().
//  DBNavigator  the ten buttons, child objectNames nbFirst, nbPrior, nbNext, nbLast, nbInsert,
//               nbDelete, nbEdit, nbPost, nbCancel, nbRefresh. Emits clicked(button).
//  DBEdit       an edit field bound to one field; calculated fields are read-only. Typing puts
//               the record in edit state; the text is written when editing finishes or when
//               the record is posted. Emits fieldTextChanged() whenever its text changes, by
//               typing or because the record moved.
//  DBText       read-only text of one field with its display format.
#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QWidget>
#include <vector>

class QToolButton;

namespace lumerad {

class ActionRunner;
class Table;

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        int field;
        QString title;
    };
    TableModel(Table& table, ActionRunner& runner, QObject* parent = nullptr);

    void clearColumns();
    void addColumn(const QString& fieldName, const QString& title = {});
    const std::vector<Column>& columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void rowsChanged();
    Table& table_;
    ActionRunner& runner_;
    std::vector<Column> columns_;
    int shownRows_ = 0;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    // Starts with one column per field, titled by the field's display label.
    DBGrid(Table& table, ActionRunner& runner, QWidget* parent = nullptr, const char* name = nullptr);

    void clearColumns();
    void addColumn(const QString& fieldName, const QString& title = {});
    Table& table() { return table_; }

signals:
    void cellClicked();

private:
    int columnCount() const { return int(model_->columns().size()); }
    void syncCurrent();
    void applyWidths();
    Table& table_;
    ActionRunner& runner_;
    TableModel* model_;
    bool syncing_ = false;
};

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    DBNavigator(Table& table, ActionRunner& runner, QWidget* parent = nullptr, const char* name = nullptr);
    QToolButton* button(Button b) const { return buttons_[b]; }

signals:
    void clicked(int button);

private:
    void press(Button b);  // disabled buttons do nothing
    void updateStates();
    Table& table_;
    ActionRunner& runner_;
    QToolButton* buttons_[10];
};

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    DBEdit(Table& table, const QString& fieldName, ActionRunner& runner, QWidget* parent = nullptr,
           const char* name = nullptr);
    ~DBEdit() override;
    const QString& fieldName() const { return field_; }

signals:
    void fieldTextChanged();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private slots:
    void edited();    // the user typed
    void finished();  // the user finished the entry

private:
    void refresh();
    bool showsValue() const;
    void write();
    Table& table_;
    QString field_;
    ActionRunner& runner_;
    bool pending_ = false;
    bool calculated_ = false;
};

class DBText : public QLabel {
    Q_OBJECT
public:
    DBText(Table& table, const QString& fieldName, QWidget* parent = nullptr, const char* name = nullptr);

private:
    void refresh();
    Table& table_;
    QString field_;
};

}  // namespace lumerad
