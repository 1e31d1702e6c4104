#include "store/table.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"

namespace lumerad {

namespace {

int findField(const std::vector<FieldDef>& defs, const QString& name) {
    for (size_t i = 0; i < defs.size(); ++i)
        if (defs[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

QString quoted(const QString& identifier) {
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

double toNumber(const QVariant& v) { return v.isNull() ? 0.0 : v.toDouble(); }

QString numberText(double v) { return QString::fromStdString(general(v, 15)); }

}  // namespace

// ---------------------------------------------------------------- Record

Record::Record(const std::vector<FieldDef>* defs) : defs_(defs), values_(defs->size()) {}

int Record::fieldIndex(const QString& name) const { return defs_ ? findField(*defs_, name) : -1; }

int Record::indexOrThrow(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    return i;
}

bool Record::isNull(const QString& name) const { return values_[indexOrThrow(name)].isNull(); }
double Record::number(const QString& name) const { return toNumber(values_[indexOrThrow(name)]); }
int Record::integer(const QString& name) const {
    const QVariant& v = values_[indexOrThrow(name)];
    return v.isNull() ? 0 : v.toInt();
}
QString Record::text(const QString& name) const {
    int i = indexOrThrow(name);
    const QVariant& v = values_[i];
    if (v.isNull()) return {};
    if ((*defs_)[i].numeric()) return numberText(v.toDouble());
    return v.toString();
}
void Record::setNumber(const QString& name, double v) {
    int i = indexOrThrow(name);
    values_[i] = (*defs_)[i].kind == FieldKind::Integer ? QVariant(int(v)) : QVariant(v);
}
void Record::setText(const QString& name, const QString& s) { values_[indexOrThrow(name)] = s; }
void Record::setNull(const QString& name) { values_[indexOrThrow(name)] = QVariant(); }

// ---------------------------------------------------------------- Table

Table::Table(const QString& name, const QString& sqlTable, std::vector<FieldDef> fields, QObject* parent)
    : QObject(parent), sqlTable_(sqlTable), fields_(std::move(fields)) {
    setObjectName(name);
    buf_ = Record(&fields_);
    blank_ = Record(&fields_);
}

void Table::setStore(const QString& connectionName, const QString& fileName) {
    connection_ = connectionName;
    fileName_ = fileName;
}

QString Table::createStatement() const {
    QString sql = QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id INTEGER PRIMARY KEY AUTOINCREMENT")
                      .arg(quoted(sqlTable_));
    for (const FieldDef& f : fields_) {
        if (f.calculated) continue;
        const char* type = f.kind == FieldKind::String    ? "TEXT"
                           : f.kind == FieldKind::Integer ? "INTEGER"
                                                          : "REAL";
        sql += QStringLiteral(", %1 %2").arg(quoted(f.name), QLatin1String(type));
    }
    return sql + QLatin1Char(')');
}

int Table::fieldIndex(const QString& name) const { return findField(fields_, name); }

const FieldDef& Table::field(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    return fields_[i];
}

void Table::requireOpen() const {
    if (!isOpen())
        throw InputError("Cannot perform this operation on a closed dataset (" + objectName().toStdString() +
                         ")");
}

Record Table::blankRecord() const { return Record(&fields_); }

Record Table::readRow(long long id, bool* found) const {
    Record r = blankRecord();
    *found = false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isOpen()) return r;
    QStringList cols;
    for (const FieldDef& f : fields_)
        if (!f.calculated) cols << quoted(f.name);
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT %1 FROM %2 WHERE id = ?").arg(cols.join(QLatin1Char(',')), quoted(sqlTable_)));
    q.addBindValue(id);
    if (!q.exec() || !q.next()) return r;
    int c = 0;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].calculated) r.setValue(int(i), q.value(c++));
    r.id = id;
    *found = true;
    return r;
}

void Table::loadAll() {
    rows_.clear();
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isOpen()) return;
    QStringList cols{QStringLiteral("id")};
    for (const FieldDef& f : fields_)
        if (!f.calculated) cols << quoted(f.name);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY id")
                    .arg(cols.join(QLatin1Char(',')), quoted(sqlTable_))))
        return;
    while (q.next()) {
        Record r = blankRecord();
        r.id = q.value(0).toLongLong();
        int c = 1;
        for (size_t i = 0; i < fields_.size(); ++i)
            if (!fields_[i].calculated) {
                QVariant v = q.value(c++);
                if (!v.isNull()) {
                    if (fields_[i].kind == FieldKind::Float)
                        v = v.toDouble();
                    else if (fields_[i].kind == FieldKind::Integer)
                        v = v.toInt();
                    else
                        v = v.toString();
                }
                r.setValue(int(i), v);
            }
        calcDisplay(r);
        rows_.push_back(std::move(r));
    }
}

bool Table::passes(const Record& r) const {
    if (!filtered_ || filterField_ < 0) return true;
    const QVariant& v = r.value(filterField_);
    QString s = v.isNull()                        ? QString()
                : fields_[filterField_].numeric() ? numberText(v.toDouble())
                                                  : v.toString();
    return s.compare(filterValue_, Qt::CaseInsensitive) == 0;
}

void Table::rebuildView(long long keepId) {
    int keepIndex = -1;
    if (cur_ >= 0 && cur_ < rowCount()) keepIndex = view_[cur_];
    view_.clear();
    int newCur = -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        bool pending = state_ == TableState::Insert && int(i) == keepIndex;
        if (!pending && !passes(rows_[i])) continue;
        if ((keepId != 0 && rows_[i].id == keepId) || (keepId == 0 && int(i) == keepIndex))
            newCur = int(view_.size());
        view_.push_back(int(i));
    }
    if (newCur < 0) newCur = view_.empty() ? -1 : std::min(std::max(cur_, 0), rowCount() - 1);
    cur_ = newCur;
}

void Table::calcDisplay(Record& r) const {
    if (!calc_) return;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].calculated) r.setValue(int(i), QVariant());
    try {
        Record copy = r;
        calc_(copy, false);
        for (size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i].calculated) r.setValue(int(i), copy.value(int(i)));
    } catch (const std::exception&) {
        // a record the handler refuses shows empty calculated fields
    }
}

void Table::calcCurrent() {
    if (!calc_) return;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].calculated) buf_.setValue(int(i), QVariant());
    try {
        calc_(buf_, true);
    } catch (...) {
        for (size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i].calculated) buf_.setValue(int(i), QVariant());
        emit recordChanged();
        emit rowsChanged();
        throw;
    }
}

void Table::checkLimits() const {
    if (limits_ && hasCurrent()) limits_(current());
}

void Table::emitAll() {
    emit rowsChanged();
    emit recordChanged();
}

void Table::open() {
    if (isOpen()) return;
    state_ = TableState::Browse;
    loadAll();
    view_.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        if (passes(rows_[i])) view_.push_back(int(i));
    cur_ = view_.empty() ? -1 : 0;
    // The shared beam state follows the table that was opened last: a circulating-beam tool
    // reads the energy in GeV only while the ring table is open, so opening it calculates
    // its current record. A record the handler refuses leaves the state as it was.
    if (cur_ >= 0 && calc_) {
        Record r = rows_[view_[cur_]];
        try {
            calc_(r, true);
        } catch (const std::exception&) {
        }
    }
    emitAll();
}

void Table::close() {
    if (!isOpen()) return;
    if (state_ == TableState::Insert && cur_ >= 0) rows_.erase(rows_.begin() + view_[cur_]);
    state_ = TableState::Inactive;
    writers_.clear();  // typed text of a closed table is discarded with its edit
    rows_.clear();
    view_.clear();
    cur_ = -1;
    buf_ = blankRecord();
    emitAll();
}

bool Table::leaveCurrent() {
    if (state_ == TableState::Insert && !modified())
        cancel();  // a new record nobody typed into is dropped, as if never added
    else if (editing())
        post();
    return true;
}

void Table::postPending() {
    if (!isOpen() || !editing()) return;
    if (modified())
        post();
    else
        cancel();
}

void Table::moveTo(int row) {
    requireOpen();
    if (view_.empty()) return;
    row = std::clamp(row, 0, rowCount() - 1);
    if (row == cur_) return;
    const long long targetId = rows_[view_[row]].id;  // a stored row: the pending new one is current
    leaveCurrent();
    // posting may filter the left record out of the view, dropping a new one shifts the rows;
    // find the target again
    for (int i = 0; i < rowCount(); ++i)
        if (rows_[view_[i]].id == targetId) row = i;
    cur_ = std::clamp(row, 0, rowCount() - 1);
    emit recordChanged();
}

void Table::first() { moveTo(0); }
void Table::prior() { moveTo(cur_ - 1); }
void Table::next() { moveTo(cur_ + 1); }
void Table::last() { moveTo(rowCount() - 1); }

void Table::edit() {
    requireOpen();
    if (state_ == TableState::Insert) {
        calcCurrent();
        emit recordChanged();
        return;
    }
    if (cur_ < 0) return;
    Record& stored = rows_[view_[cur_]];
    if (state_ == TableState::Browse) {
        bool found = false;
        Record fresh = readRow(stored.id, &found);
        if (found) {
            calcDisplay(fresh);
            stored = fresh;
        }
        buf_ = stored;
        state_ = TableState::Edit;
        modified_ = false;
    }
    calcCurrent();
    emitAll();
}

void Table::startInsert(bool atEnd) {
    requireOpen();
    leaveCurrent();
    Record r = blankRecord();
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].defaultValue.isValid()) r.setValue(int(i), fields_[i].defaultValue);
    int pos = (atEnd || cur_ < 0) ? int(rows_.size()) : view_[cur_];
    rows_.insert(rows_.begin() + pos, r);
    state_ = TableState::Insert;
    view_.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        if (int(i) == pos || passes(rows_[i])) {
            if (int(i) == pos) cur_ = int(view_.size());
            view_.push_back(int(i));
        }
    buf_ = r;
    modified_ = false;
    emitAll();
    calcCurrent();
    emit recordChanged();
}

void Table::insert() { startInsert(false); }
void Table::append() { startInsert(true); }

void Table::addPendingWriter(QObject* owner, std::function<void()> writer) {
    removePendingWriter(owner);
    writers_.emplace_back(owner, std::move(writer));
}

void Table::removePendingWriter(QObject* owner) {
    std::erase_if(writers_, [owner](const auto& w) { return w.first == owner; });
}

void Table::post() {
    requireOpen();
    if (!editing()) return;
    while (!writers_.empty()) {  // each writer removes itself once its text is written
        auto w = writers_.front();
        writers_.erase(writers_.begin());
        w.second();
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
        const FieldDef& f = fields_[i];
        const QVariant& v = buf_.value(int(i));
        if (f.required && !f.calculated &&
            (v.isNull() || (f.kind == FieldKind::String && v.toString().isEmpty())))
            throw InputError("Field '" + f.name.toStdString() + "' must have a value");
    }
    if (state_ == TableState::Edit && !changed()) {  // nothing to store (a stored record that
                                                     // breaks a limit can still be left)
        Record stored = buf_;
        calcDisplay(stored);
        rows_[view_[cur_]] = stored;
        state_ = TableState::Browse;
        emitAll();
        return;
    }
    if (limits_) limits_(buf_);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    auto fail = [&](const QString& why) {
        throw InputError("The catalogue file \"" + fileName_.toStdString() + "\" could not be written (" +
                         why.toStdString() + "); the record is still being edited.");
    };
    if (!db.isOpen()) fail(QStringLiteral("the catalogue is not open"));
    QStringList cols;
    std::vector<QVariant> vals;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].calculated) {
            cols << quoted(fields_[i].name);
            vals.push_back(buf_.value(int(i)));
        }
    if (!db.transaction()) fail(db.lastError().text());
    QSqlQuery q(db);
    if (state_ == TableState::Edit) {
        QStringList sets;
        for (const QString& c : cols) sets << c + QStringLiteral(" = ?");
        q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE id = ?")
                      .arg(quoted(sqlTable_), sets.join(QLatin1Char(','))));
        for (const QVariant& v : vals) q.addBindValue(v);
        q.addBindValue(buf_.id);
    } else {
        QStringList marks;
        for (int i = 0; i < cols.size(); ++i) marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(sqlTable_), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        for (const QVariant& v : vals) q.addBindValue(v);
    }
    if (!q.exec()) {
        QString why = q.lastError().text();
        db.rollback();
        fail(why);
    }
    if (state_ == TableState::Insert) buf_.id = q.lastInsertId().toLongLong();
    if (!db.commit()) {
        QString why = db.lastError().text();
        db.rollback();
        if (state_ == TableState::Insert) buf_.id = 0;
        fail(why);
    }
    Record stored = buf_;
    calcDisplay(stored);
    rows_[view_[cur_]] = stored;
    state_ = TableState::Browse;
    rebuildView(stored.id);
    emitAll();
}

bool Table::changed() const {
    if (state_ != TableState::Edit || cur_ < 0) return true;
    const Record& stored = rows_[view_[cur_]];
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].calculated && !(buf_.value(int(i)) == stored.value(int(i)))) return true;
    return false;
}

void Table::cancel() {
    requireOpen();
    writers_.clear();
    if (state_ == TableState::Insert) {
        int pos = view_[cur_];
        rows_.erase(rows_.begin() + pos);
        state_ = TableState::Browse;
        view_.clear();
        int newCur = -1;
        for (size_t i = 0; i < rows_.size(); ++i)
            if (passes(rows_[i])) {
                if (newCur < 0 && int(i) >= pos) newCur = int(view_.size());
                view_.push_back(int(i));
            }
        cur_ = view_.empty() ? -1 : (newCur < 0 ? rowCount() - 1 : newCur);
    } else if (state_ == TableState::Edit) {
        state_ = TableState::Browse;
    }
    buf_ = blankRecord();
    emitAll();
}

void Table::remove() {
    requireOpen();
    if (state_ == TableState::Insert) {
        cancel();
        return;
    }
    if (cur_ < 0) return;
    long long id = rows_[view_[cur_]].id;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    auto fail = [&](const QString& why) {
        throw InputError("The catalogue file \"" + fileName_.toStdString() + "\" could not be written (" +
                         why.toStdString() + "); the record was not deleted.");
    };
    if (!db.isOpen()) fail(QStringLiteral("the catalogue is not open"));
    if (!db.transaction()) fail(db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(quoted(sqlTable_)));
    q.addBindValue(id);
    if (!q.exec()) {
        QString why = q.lastError().text();
        db.rollback();
        fail(why);
    }
    if (!db.commit()) {
        QString why = db.lastError().text();
        db.rollback();
        fail(why);
    }
    int pos = view_[cur_];
    rows_.erase(rows_.begin() + pos);
    state_ = TableState::Browse;
    int keep = cur_;
    view_.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        if (passes(rows_[i])) view_.push_back(int(i));
    cur_ = view_.empty() ? -1 : std::min(keep, rowCount() - 1);
    emitAll();
}

void Table::refresh() {
    requireOpen();
    if (editing()) leaveCurrent();
    long long keepId = cur_ >= 0 ? rows_[view_[cur_]].id : 0;
    loadAll();
    view_.clear();
    cur_ = -1;
    rebuildView(keepId);
    if (cur_ < 0 && !view_.empty()) cur_ = 0;
    emitAll();
}

const Record& Table::current() const {
    if (cur_ < 0) return blank_;
    if (editing()) return buf_;
    return rows_[view_[cur_]];
}

QVariant Table::value(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    return current().value(i);
}

bool Table::isNull(const QString& name) const { return value(name).isNull(); }
double Table::asNumber(const QString& name) const { return toNumber(value(name)); }
int Table::asInteger(const QString& name) const {
    QVariant v = value(name);
    return v.isNull() ? 0 : v.toInt();
}
QString Table::asText(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    const QVariant& v = current().value(i);
    if (v.isNull()) return {};
    return fields_[i].numeric() ? numberText(v.toDouble()) : v.toString();
}

QString Table::formatValue(int i, const QVariant& v) const {
    if (v.isNull()) return {};
    const FieldDef& f = fields_[i];
    if (!f.numeric()) return v.toString();
    double x = v.toDouble();
    if (f.kind == FieldKind::Integer) return numberText(x);
    if (!f.displayFormat.isEmpty()) return QString::fromStdString(picture(f.displayFormat.toStdString(), x));
    return numberText(x);
}

QString Table::displayText(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    return formatValue(i, current().value(i));
}

const Record& Table::row(int r) const {
    if (r == cur_ && editing()) return buf_;
    return rows_[view_[r]];
}

QString Table::displayText(int r, int i) const { return formatValue(i, row(r).value(i)); }

void Table::writeField(int i, const QVariant& v) {
    requireOpen();
    const FieldDef& f = fields_[i];
    if (f.calculated) throw InputError("Field '" + f.name.toStdString() + "' cannot be modified");
    if (cur_ < 0) {
        append();
    } else if (state_ == TableState::Browse) {
        edit();
    }
    buf_.setValue(i, v);
    modified_ = true;
    calcCurrent();
    emit recordChanged();
    emit rowsChanged();
}

void Table::setNumber(const QString& name, double v) {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    writeField(i, fields_[i].kind == FieldKind::Integer ? QVariant(int(v)) : QVariant(v));
}

void Table::setText(const QString& name, const QString& text) {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    const FieldDef& f = fields_[i];
    QString t = f.numeric() ? text.trimmed() : text;
    if (t.isEmpty()) {
        writeField(i, QVariant());
        return;
    }
    switch (f.kind) {
        case FieldKind::Float:
            writeField(i, parseReal(t.toStdString()));
            break;
        case FieldKind::Integer:
            writeField(i, parseInteger(t.toStdString()));
            break;
        case FieldKind::String:
            if (f.maxLength > 0 && t.size() > f.maxLength)
                throw InputError("'" + t.toStdString() + "' is too long for field '" + f.name.toStdString() +
                                 "' (at most " + std::to_string(f.maxLength) + " characters)");
            writeField(i, t);
            break;
    }
}

void Table::setNull(const QString& name) {
    int i = fieldIndex(name);
    if (i < 0) throw std::invalid_argument("unknown field " + name.toStdString());
    writeField(i, QVariant());
}

void Table::setFilter(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*([^=\\s]+)\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
    QString t = text.trimmed();
    int field = -1;
    QString value;
    if (!t.isEmpty()) {
        auto m = re.match(t);
        if (!m.hasMatch()) throw InputError("'" + text.toStdString() + "' is not a valid filter");
        field = fieldIndex(m.captured(1));
        if (field < 0) throw InputError("Field '" + m.captured(1).toStdString() + "' not found");
        value = m.captured(2).replace(QLatin1String("''"), QLatin1String("'"));
    }
    filterText_ = text;
    filterField_ = field;
    filterValue_ = value;
    if (filtered_ && isOpen()) {
        if (editing()) leaveCurrent();
        rebuildView(cur_ >= 0 ? rows_[view_[cur_]].id : 0);
        emitAll();
    }
}

void Table::setFiltered(bool on) {
    if (on == filtered_) return;
    if (isOpen() && editing()) leaveCurrent();
    long long keepId = (isOpen() && cur_ >= 0) ? rows_[view_[cur_]].id : 0;
    filtered_ = on;
    if (isOpen()) {
        rebuildView(keepId);
        emitAll();
    }
}

}  // namespace lumerad
