#pragma once
// A catalogue table over SQLite: field definitions, one current record shared by every bound
// control, browse/edit/insert states, post/cancel/delete/refresh and an SrceType-style filter.
//
// Rows are read into memory when the table opens; the current record's pending edits live in an
// edit buffer until post() writes them in one committed transaction. Calculated fields are never
// stored: the table's calculation handler computes them for display (current = false) and, for
// the record being edited, as the record of the tools (current = true), where it may also write
// shared state or refuse the record with an InputError.
//
// User-level failures (a required field left empty, a failed write, an operation on a closed
// table, text that is not a number) throw InputError, so an action run through the action
// runner stops there and shows the text; the pending edit is kept.
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace lumerad {

enum class FieldKind { String, Float, Integer };

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Float;
    int maxLength = 0;      // String: at most this many characters
    bool required = false;  // post refuses the record while this field is empty
    QVariant defaultValue;  // given to a new record
    int displayWidth = 0;   // characters; 0: natural width
    QString displayFormat;  // picture ("0.###", "0.00", "###,###.0"); empty: general
    Qt::Alignment alignment = Qt::AlignRight;
    QString label;            // display label; empty: the field name
    bool calculated = false;  // computed by the calculation handler, never stored

    QString displayLabel() const { return label.isEmpty() ? name : label; }
    bool numeric() const { return kind != FieldKind::String; }
};

// The values of one record, one QVariant per field (a null QVariant is an empty field).
class Record {
public:
    Record() = default;
    explicit Record(const std::vector<FieldDef>* defs);

    int fieldIndex(const QString& name) const;  // case-insensitive; -1 when unknown
    const QVariant& value(int i) const { return values_[i]; }
    void setValue(int i, const QVariant& v) { values_[i] = v; }
    int size() const { return int(values_.size()); }

    // By name (case-insensitive). Unknown names throw std::invalid_argument.
    bool isNull(const QString& name) const;
    double number(const QString& name) const;  // empty reads as 0
    int integer(const QString& name) const;    // empty reads as 0
    QString text(const QString& name) const;   // numbers in general format
    void setNumber(const QString& name, double v);
    void setText(const QString& name, const QString& s);  // no parsing: kept as given
    void setNull(const QString& name);

    long long id = 0;  // row id in the store; 0 for a record not yet stored

private:
    int indexOrThrow(const QString& name) const;
    const std::vector<FieldDef>* defs_ = nullptr;
    std::vector<QVariant> values_;
};

enum class TableState { Inactive, Browse, Edit, Insert };

class Table : public QObject {
    Q_OBJECT
public:
    using CalcHandler = std::function<void(Record& rec, bool current)>;
    // Checks a record's values against their limits; throws InputError naming the field.
    using LimitCheck = std::function<void(const Record& rec)>;

    // name: the object name (CircBeam), sqlTable: the table in the store (SR_ring).
    Table(const QString& name, const QString& sqlTable, std::vector<FieldDef> fields,
          QObject* parent = nullptr);

    // The store: a QSqlDatabase connection name and the file name used in messages.
    void setStore(const QString& connectionName, const QString& fileName);
    void setCalcHandler(CalcHandler handler) { calc_ = std::move(handler); }
    // post() runs the check after the required fields and before anything is written; a
    // refused record stays in edit state with everything typed.
    void setLimitCheck(LimitCheck check) { limits_ = std::move(check); }
    // Runs the check on the current record (nothing when there is none).
    void checkLimits() const;
    const QString& sqlTable() const { return sqlTable_; }
    QString createStatement() const;  // CREATE TABLE for the store

    // Open reads every row (current record: the first); close discards pending edits.
    void open();
    void close();
    bool isOpen() const { return state_ != TableState::Inactive; }
    TableState state() const { return state_; }
    bool editing() const { return state_ == TableState::Edit || state_ == TableState::Insert; }

    // Navigation over the rows that pass the filter. Leaving a record that is being edited
    // posts it first; when that post is refused the current record does not move.
    int rowCount() const { return int(view_.size()); }
    int currentRow() const { return cur_; }  // -1 when there is no row
    bool isEmpty() const { return view_.empty(); }
    bool bof() const { return cur_ <= 0; }
    bool eof() const { return cur_ < 0 || cur_ >= rowCount() - 1; }
    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);

    // Editing. edit() re-reads the current record from the store and recalculates it as the
    // current record; insert() adds a new record with the field defaults before the current
    // one, append() at the end; post() stores the pending record in one transaction; cancel()
    // drops the pending changes; remove() deletes the current record; refresh() re-reads all.
    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove();
    void refresh();
    // Keeps what the user typed into the current record before the table is closed or the
    // program ends: a record with typed changes is posted (a refused post throws and the
    // record stays in edit state); one nobody typed into is put back as stored, so a new
    // empty record is dropped and nothing the calculation handler filled in is written.
    void postPending();
    // The user has written a field of the record being edited or inserted.
    bool modified() const { return editing() && (modified_ || !writers_.empty()); }

    // Fields.
    const std::vector<FieldDef>& fields() const { return fields_; }
    int fieldIndex(const QString& name) const;         // case-insensitive; -1 when unknown
    const FieldDef& field(const QString& name) const;  // throws std::invalid_argument

    // The current record (the edit buffer while editing). An empty or closed table has none:
    // reads give empty values.
    bool hasCurrent() const { return cur_ >= 0; }
    const Record& current() const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const;
    double asNumber(const QString& name) const;      // empty reads as 0
    int asInteger(const QString& name) const;        // empty reads as 0
    QString asText(const QString& name) const;       // numbers in general format, 15 digits
    QString displayText(const QString& name) const;  // with the field's display format
    // Writing puts a browsed record in edit state first; the calculated fields are then
    // recalculated. A calculated field refuses writes. setText parses numeric fields
    // ("." as decimal point); an empty text empties the field.
    void setNumber(const QString& name, double v);
    void setText(const QString& name, const QString& text);
    void setNull(const QString& name);

    // Rows for grids: row r of the filtered view (the edit buffer for the current row).
    const Record& row(int r) const;
    QString displayText(int r, int fieldIndex) const;
    QString formatValue(int fieldIndex, const QVariant& v) const;

    // Filter: "Field='value'" (a quoted value, '' inside it for a quote), compared without
    // regard to case. An empty text passes every record.
    void setFilter(const QString& text);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Bound edit fields with typed but unwritten text register a writer; post() runs the
    // writers first, so what the user typed counts (a text that is not a number stops the post).
    void addPendingWriter(QObject* owner, std::function<void()> writer);
    void removePendingWriter(QObject* owner);

signals:
    // The current record moved, or its values or state changed.
    void recordChanged();
    // Rows were added, removed, re-read or filtered.
    void rowsChanged();

private:
    QString fileName() const { return fileName_; }
    void requireOpen() const;
    void loadAll();
    void rebuildView(long long keepId);
    bool passes(const Record& r) const;
    void calcDisplay(Record& r) const;
    void calcCurrent();
    bool changed() const;  // the edit buffer differs from the stored record
    bool leaveCurrent();   // posts a pending edit; false if refused (exception propagates)
    void startInsert(bool atEnd);
    void writeField(int i, const QVariant& v);
    void emitAll();
    Record readRow(long long id, bool* found) const;
    Record blankRecord() const;

    QString sqlTable_;
    std::vector<FieldDef> fields_;
    QString connection_, fileName_;
    CalcHandler calc_;
    LimitCheck limits_;

    std::vector<Record> rows_;  // every stored row (and a new one while inserting)
    std::vector<int> view_;     // indexes into rows_ of the rows passing the filter
    int cur_ = -1;              // index into view_
    Record buf_;                // edit buffer while editing
    Record blank_;              // what an empty table reads
    TableState state_ = TableState::Inactive;
    bool modified_ = false;  // a field was written since the edit or insert began

    std::vector<std::pair<QObject*, std::function<void()>>> writers_;
    QString filterText_;
    bool filtered_ = false;
    int filterField_ = -1;
    QString filterValue_;
};

}  // namespace lumerad
