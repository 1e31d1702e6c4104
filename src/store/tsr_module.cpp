#include "store/tsr_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>

#include "core/beams/beam_quantities.h"
#include "core/beams/record_limits.h"
#include "core/beams/seed_catalogue.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/state/magnet_state.h"
#include "core/state/session.h"

namespace lumerad {

namespace {

FieldDef num(const char* name, int width = 0, const char* format = "") {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.kind = FieldKind::Float;
    f.displayWidth = width;
    f.displayFormat = QString::fromLatin1(format);
    return f;
}

FieldDef calc(const char* name, int width = 0, const char* format = "") {
    FieldDef f = num(name, width, format);
    f.calculated = true;
    return f;
}

FieldDef str(const char* name, int maxLength, int width = 0) {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.kind = FieldKind::String;
    f.maxLength = maxLength;
    f.displayWidth = width;
    f.alignment = Qt::AlignLeft;
    return f;
}

FieldDef required(FieldDef f) {
    f.required = true;
    return f;
}

FieldDef labelled(FieldDef f, const QString& label) {
    f.label = label;
    return f;
}

FieldDef aligned(FieldDef f, Qt::Alignment a) {
    f.alignment = a;
    return f;
}

std::vector<FieldDef> circBeamFields() {
    return {str("SR", 20),
            num("Energy", 7, "0.###"),
            num("Cur", 5, "0.###"),
            num("Eps_x", 7, "0.###"),
            num("Eps_y", 7, "0.###"),
            num("DE/E", 6, "0.##"),
            num("Beta_x", 7, "0.###"),
            num("Alpha_x"),
            num("Beta_y", 7, "0.###"),
            num("Alpha_y"),
            num("Eta_x", 7, "0.###"),
            num("Etap_x"),
            num("Eta_y", 7, "0.###"),
            num("Etap_y"),
            calc("Sig_xb", 7, "0.00"),
            calc("Sig_yb", 7, "0.00"),
            calc("Sig_xp", 7, "0.00"),
            calc("Sig_yp", 7, "0.00"),
            calc("Gamma", 7, "0.00"),
            calc("Coupl", 0, "0.00"),
            num("Sig_eta", 7)};
}

std::vector<FieldDef> snglBeamFields() {
    FieldDef distr = str("PartDistribution", 1);
    distr.defaultValue = QStringLiteral("g");
    return {required(str("Name", 20, 20)),
            required(labelled(num("Energy"), QStringLiteral("E [MeV]"))),
            required(labelled(num("Part/Bunch", 7), QStringLiteral("N_e (10^8)"))),
            num("PulseDuration"),
            num("PulseRepRate"),
            num("Bunches/Pulse"),
            num("BunchDuration"),
            num("BunchSepar"),
            distr,
            calc("gamma"),
            calc("PulseCurrent"),
            calc("PeakCurrent"),
            calc("AvgCurrent", 0, "###,###.0"),
            calc("BunchLength")};
}

std::vector<FieldDef> insDeviceFields() {
    FieldDef poles = num("#Poles", 4);
    poles.kind = FieldKind::Integer;
    return {required(aligned(str("Name", 30), Qt::AlignLeft)),
            aligned(str("MagType", 3, 5), Qt::AlignRight),
            aligned(str("SrceType", 4, 4), Qt::AlignRight),
            num("Field", 5),
            aligned(str("PermMag", 6, 6), Qt::AlignRight),
            num("RemnFld", 4),
            poles,
            num("PerLen", 4),
            num("Gap", 4),
            num("Gap_mn", 5),
            num("Gap_mx", 5),
            num("ObsAngle_x", 5),
            num("ObsAngle_y", 5)};
}

QString quoted(const QString& identifier) {
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The objectName convention of the bound edit fields: "DBEdt" and the field name with "/"
// as "_" (DBEdtEnergy, DBEdtDE_E); the bending-magnet window's field edit is DBEdtField.
std::string editName(const std::string& field) {
    std::string n = "DBEdt" + field;
    for (char& c : n)
        if (c == '/') c = '_';
    return n;
}

void refuseBreach(const std::optional<LimitBreach>& b) {
    if (b) throw InputError(b->text, editName(b->field));
}

// Refuses the breach when its field holds a value (not the empty fields of a new record).
void refuseTyped(const Record& r, const LimitBreach& b) {
    const QString field = QString::fromStdString(b.field);
    if (r.fieldIndex(field) >= 0 && !r.isNull(field) && !r.text(field).trimmed().isEmpty())
        throw InputError(b.text, editName(b.field));
}

QVariant seedValue(double v) { return v == kNoValue ? QVariant() : QVariant(v); }
QVariant seedText(const char* s) { return (s && *s) ? QVariant(QString::fromUtf8(s)) : QVariant(); }

}  // namespace

QString TSRModule::defaultCatalogueFile() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath(QStringLiteral("Lumerad.sqlite"));
}

TSRModule::TSRModule(Session& session, Messages& messages, const QString& catalogueFile, QObject* parent,
                     CatalogueAccess access)
    : QObject(parent), session_(session), messages_(messages), fileName_(catalogueFile), access_(access) {
    setObjectName(QStringLiteral("TSRModule"));
    if (fileName_.isEmpty()) fileName_ = defaultCatalogueFile();
    connection_ = QStringLiteral("Lumerad-%1").arg(reinterpret_cast<quintptr>(this));

    CircBeam = new Table(QStringLiteral("CircBeam"), QStringLiteral("SR_ring"), circBeamFields(), this);
    SnglBeam = new Table(QStringLiteral("SnglBeam"), QStringLiteral("Sngl_pass"), snglBeamFields(), this);
    InsDevice = new Table(QStringLiteral("InsDevice"), QStringLiteral("Rad_Srce"), insDeviceFields(), this);

    CircBeam->setCalcHandler([this](Record& r, bool current) {
        const CircBeamValues v = circBeamValues(r);
        // A record that breaks a limit is not calculated: its derived fields stay empty and
        // the shared beam state is left alone until it is mended. A value the user typed
        // into the record being edited is refused at once, naming the field.
        if (auto b = circBeamBreach(v)) {
            if (current) refuseTyped(r, *b);
            return;
        }
        CircBeamDerived d = CircBeamCalcFields(v, current ? &session_.beam : nullptr);
        if (d.betaXDefaulted) r.setNumber(QStringLiteral("Beta_x"), d.Beta_x);
        if (d.betaYDefaulted) r.setNumber(QStringLiteral("Beta_y"), d.Beta_y);
        if (d.epsXDefaulted) r.setNumber(QStringLiteral("Eps_x"), d.Eps_x);
        if (d.epsYDefaulted) r.setNumber(QStringLiteral("Eps_y"), d.Eps_y);
        r.setNumber(QStringLiteral("Gamma"), d.Gamma);
        r.setNumber(QStringLiteral("Coupl"), d.Coupl);
        r.setNumber(QStringLiteral("Sig_xb"), d.Sig_xb);
        r.setNumber(QStringLiteral("Sig_yb"), d.Sig_yb);
        r.setNumber(QStringLiteral("Sig_xp"), d.Sig_xp);
        r.setNumber(QStringLiteral("Sig_yp"), d.Sig_yp);
    });
    SnglBeam->setCalcHandler([this](Record& r, bool current) {
        const SnglBeamValues v = snglBeamValues(r);
        if (auto b = snglBeamBreach(v)) {
            if (current) refuseTyped(r, *b);
            return;
        }
        SnglBeamDerived d = SnglBeamCalcFields(v, current ? &session_.beam : nullptr);
        r.setNumber(QStringLiteral("gamma"), d.gamma);
        r.setNumber(QStringLiteral("PulseCurrent"), d.PulseCurrent);
        r.setNumber(QStringLiteral("PeakCurrent"), d.PeakCurrent);
        r.setNumber(QStringLiteral("AvgCurrent"), d.AvgCurrent);
        r.setNumber(QStringLiteral("BunchLength"), d.BunchLength);
    });
    CircBeam->setLimitCheck([](const Record& r) { refuseBreach(circBeamBreach(circBeamValues(r))); });
    SnglBeam->setLimitCheck([](const Record& r) { refuseBreach(snglBeamBreach(snglBeamValues(r))); });
    InsDevice->setLimitCheck([](const Record& r) { refuseBreach(sourceBreach(sourceRecordValues(r))); });

    QString problem;
    if (!openFile(&problem)) {
        closeStore();
        problem_ = problem;
        if (access_ == CatalogueAccess::Program)
            messages_.error(
                "The catalogue file \"" + QDir::toNativeSeparators(fileName_).toStdString() +
                "\" cannot be used: " + problem.toStdString() +
                ". The file is left as it is; Lumerad works on a temporary catalogue whose changes are "
                "not saved.");
        openMemory();
    } else if (readOnly_ && access_ == CatalogueAccess::Program) {
        messages_.error("The catalogue file \"" + QDir::toNativeSeparators(fileName_).toStdString() +
                        "\" is read-only: changes to beams and sources cannot be saved.");
    }
    for (Table* t : {CircBeam, SnglBeam, InsDevice}) t->setStore(connection_, fileName_);
    InsDevice->setFilter(QString());
    InsDevice->setFiltered(true);
    CircBeam->open();
    SnglBeam->open();
    InsDevice->open();
}

TSRModule::~TSRModule() {
    for (Table* t : {CircBeam, SnglBeam, InsDevice}) t->close();
    closeStore();
}

void TSRModule::closeStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isValid()) db.close();
    }
    if (QSqlDatabase::contains(connection_)) QSqlDatabase::removeDatabase(connection_);
}

bool TSRModule::openFile(QString* problem) {
    QFileInfo fi(fileName_);
    if (fi.exists()) {
        if (fi.isDir()) {
            *problem = QStringLiteral("it is a folder");
            return false;
        }
        QFile f(fileName_);
        if (!f.open(QIODevice::ReadOnly)) {
            *problem = QStringLiteral("it cannot be read (%1)").arg(f.errorString());
            return false;
        }
        QByteArray head = f.read(16);
        f.close();
        if (!head.isEmpty() && head != QByteArray("SQLite format 3\0", 16)) {
            *problem = QStringLiteral("it is not a catalogue database");
            return false;
        }
        // A file marked read-only stays unwritten, also for a user whose rights would allow it.
        readOnly_ = !fi.isWritable() || !(fi.permissions() & QFileDevice::WriteOwner) ||
                    access_ == CatalogueAccess::ReadOnlyExisting;
    } else {
        if (!QDir().mkpath(fi.absolutePath())) {
            *problem = QStringLiteral("its folder cannot be created");
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(fileName_);
    if (readOnly_) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
        *problem = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next()) {
        *problem = QStringLiteral("it is not a catalogue database (%1)").arg(q.lastError().text());
        return false;
    }
    if (q.value(0).toString() != QLatin1String("ok")) {
        *problem = QStringLiteral("it is damaged (%1)").arg(q.value(0).toString());
        return false;
    }
    return prepareTables(problem);
}

bool TSRModule::prepareTables(QString* problem) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // First the whole file is read and judged; only then is anything written.
    QStringList present;  // every table of the file
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
            *problem = q.lastError().text();
            return false;
        }
        while (q.next()) present << q.value(0).toString();
    }
    std::vector<Table*> missing;
    for (Table* t : {CircBeam, SnglBeam, InsDevice}) {
        if (!present.contains(t->sqlTable(), Qt::CaseInsensitive)) {
            missing.push_back(t);
            continue;
        }
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(t->sqlTable())))) {
            *problem = info.lastError().text();
            return false;
        }
        QStringList columns;
        while (info.next()) columns << info.value(1).toString();
        for (const FieldDef& f : t->fields())
            if (!f.calculated && !columns.contains(f.name, Qt::CaseInsensitive)) {
                *problem = QStringLiteral("its table %1 has no field %2").arg(t->sqlTable(), f.name);
                return false;
            }
        if (!columns.contains(QStringLiteral("id"), Qt::CaseInsensitive)) {
            *problem = QStringLiteral("its table %1 has no field id").arg(t->sqlTable());
            return false;
        }
    }
    if (missing.empty()) return true;
    QStringList missingNames;
    for (Table* t : missing) missingNames << t->sqlTable();
    if (readOnly_) {
        *problem = QStringLiteral("it has no table %1 and is read-only")
                       .arg(missingNames.join(QStringLiteral(", ")));
        return false;
    }
    // A database with tables of its own and none of ours belongs to something else: it
    // becomes a catalogue only when the user says so.
    if (missing.size() == 3 && !present.isEmpty() && !inMemory_) {
        const bool yes = messages_.question(
            "The file \"" + QDir::toNativeSeparators(fileName_).toStdString() +
            "\" is a database but not a Lumerad catalogue. Add the catalogue's tables to it?");
        if (!yes) {
            *problem = QStringLiteral("it is not a Lumerad catalogue");
            return false;
        }
    }
    // The missing tables are created and seeded together: all of them or none.
    if (!db.transaction()) {
        *problem = db.lastError().text();
        return false;
    }
    for (Table* t : missing) {
        QSqlQuery c(db);
        if (!c.exec(t->createStatement())) {
            *problem = c.lastError().text();
            db.rollback();
            return false;
        }
        seed(*t);
    }
    if (!db.commit()) {
        *problem = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

void TSRModule::openMemory() {
    inMemory_ = true;
    readOnly_ = false;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    QString ignored;
    prepareTables(&ignored);
}

void TSRModule::seed(Table& t) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    auto insert = [&](const std::vector<std::pair<const char*, QVariant>>& values) {
        QStringList cols, marks;
        for (const auto& [name, v] : values) {
            cols << quoted(QString::fromLatin1(name));
            marks << QStringLiteral("?");
        }
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(t.sqlTable()), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        for (const auto& nv : values) q.addBindValue(nv.second);
        q.exec();
    };
    if (&t == CircBeam) {
        for (const SeedRing& r : seedRings())
            insert({{"SR", seedText(r.SR)},
                    {"Energy", seedValue(r.Energy)},
                    {"Cur", seedValue(r.Cur)},
                    {"Eps_x", seedValue(r.Eps_x)},
                    {"Eps_y", seedValue(r.Eps_y)},
                    {"DE/E", seedValue(r.DE_E)},
                    {"Beta_x", seedValue(r.Beta_x)},
                    {"Alpha_x", seedValue(r.Alpha_x)},
                    {"Beta_y", seedValue(r.Beta_y)},
                    {"Alpha_y", seedValue(r.Alpha_y)},
                    {"Eta_x", seedValue(r.Eta_x)},
                    {"Etap_x", seedValue(r.Etap_x)},
                    {"Eta_y", seedValue(r.Eta_y)},
                    {"Etap_y", seedValue(r.Etap_y)}});
    } else if (&t == SnglBeam) {
        for (const SeedLinac& l : seedLinacs())
            insert({{"Name", seedText(l.Name)},
                    {"Energy", seedValue(l.Energy)},
                    {"Part/Bunch", seedValue(l.PartPerBunch)},
                    {"PulseDuration", seedValue(l.PulseDuration)},
                    {"PulseRepRate", seedValue(l.PulseRepRate)},
                    {"Bunches/Pulse", seedValue(l.BunchesPerPulse)},
                    {"BunchDuration", seedValue(l.BunchDuration)},
                    {"BunchSepar", seedValue(l.BunchSepar)},
                    {"PartDistribution", seedText(l.PartDistribution)}});
    } else {
        for (const SeedSource& s : seedSources())
            insert({{"Name", seedText(s.Name)},
                    {"MagType", seedText(s.MagType)},
                    {"SrceType", seedText(s.SrceType)},
                    {"Field", seedValue(s.Field)},
                    {"PermMag", seedText(s.PermMag)},
                    {"RemnFld", seedValue(s.RemnFld)},
                    {"#Poles", s.Poles > 0 ? QVariant(s.Poles) : QVariant()},
                    {"PerLen", seedValue(s.PerLen)},
                    {"Gap", seedValue(s.Gap)},
                    {"Gap_mn", seedValue(s.Gap_mn)},
                    {"Gap_mx", seedValue(s.Gap_mx)},
                    {"ObsAngle_x", seedValue(s.ObsAngle_x)},
                    {"ObsAngle_y", seedValue(s.ObsAngle_y)}});
    }
}

SourceRecord sourceRecordValues(const Record& t) {
    SourceRecord r;
    r.Name = t.text(QStringLiteral("Name")).toStdString();
    r.MagType = t.text(QStringLiteral("MagType")).toStdString();
    r.SrceType = t.text(QStringLiteral("SrceType")).toStdString();
    r.PermMag = t.text(QStringLiteral("PermMag")).toStdString();
    r.Field = t.number(QStringLiteral("Field"));
    r.RemnFld = t.number(QStringLiteral("RemnFld"));
    r.Poles = t.integer(QStringLiteral("#Poles"));
    r.PerLen = t.number(QStringLiteral("PerLen"));
    r.Gap = t.number(QStringLiteral("Gap"));
    r.Gap_mn = t.number(QStringLiteral("Gap_mn"));
    r.Gap_mx = t.number(QStringLiteral("Gap_mx"));
    r.ObsAngle_x = t.number(QStringLiteral("ObsAngle_x"));
    r.ObsAngle_y = t.number(QStringLiteral("ObsAngle_y"));
    return r;
}

SourceRecord readSourceRecord(const Table& t) { return sourceRecordValues(t.current()); }

CircBeamValues circBeamValues(const Record& r) {
    CircBeamValues v;
    v.SR = r.text(QStringLiteral("SR")).toStdString();
    v.Energy = r.number(QStringLiteral("Energy"));
    v.Cur = r.number(QStringLiteral("Cur"));
    v.Eps_x = r.number(QStringLiteral("Eps_x"));
    v.Eps_y = r.number(QStringLiteral("Eps_y"));
    v.DE_E = r.number(QStringLiteral("DE/E"));
    v.Beta_x = r.number(QStringLiteral("Beta_x"));
    v.Alpha_x = r.number(QStringLiteral("Alpha_x"));
    v.Beta_y = r.number(QStringLiteral("Beta_y"));
    v.Alpha_y = r.number(QStringLiteral("Alpha_y"));
    v.Eta_x = r.number(QStringLiteral("Eta_x"));
    v.Etap_x = r.number(QStringLiteral("Etap_x"));
    v.Eta_y = r.number(QStringLiteral("Eta_y"));
    v.Etap_y = r.number(QStringLiteral("Etap_y"));
    return v;
}

SnglBeamValues snglBeamValues(const Record& r) {
    SnglBeamValues v;
    v.Name = r.text(QStringLiteral("Name")).toStdString();
    v.Energy = r.number(QStringLiteral("Energy"));
    v.PartPerBunch = r.number(QStringLiteral("Part/Bunch"));
    v.PulseDuration = r.number(QStringLiteral("PulseDuration"));
    v.PulseRepRate = r.number(QStringLiteral("PulseRepRate"));
    v.BunchesPerPulse = r.number(QStringLiteral("Bunches/Pulse"));
    v.BunchDuration = r.number(QStringLiteral("BunchDuration"));
    return v;
}

TransitionRadiationBeam transitionRadiationBeam(const Table& t) {
    TransitionRadiationBeam b;
    b.gamma = t.asNumber(QStringLiteral("gamma"));
    b.partPerBunch = t.asNumber(QStringLiteral("Part/Bunch"));
    b.bunchesPerPulse = t.asNumber(QStringLiteral("Bunches/Pulse"));
    b.pulseRepRate = t.asNumber(QStringLiteral("PulseRepRate"));
    b.bunchDuration = t.asNumber(QStringLiteral("BunchDuration"));
    b.distribution = t.asText(QStringLiteral("PartDistribution")).toStdString();
    return b;
}

RecordBreach recordBreach(const Table& t) {
    if (!t.hasCurrent()) return {};
    const Record& r = t.current();
    if (t.sqlTable() == QLatin1String("SR_ring")) {
        const CircBeamValues v = circBeamValues(r);
        return {circBeamBreach(v), "beam", v.SR};
    }
    if (t.sqlTable() == QLatin1String("Sngl_pass")) {
        const SnglBeamValues v = snglBeamValues(r);
        return {snglBeamBreach(v), "beam", v.Name};
    }
    if (t.sqlTable() == QLatin1String("Rad_Srce")) {
        const SourceRecord v = sourceRecordValues(r);
        return {sourceBreach(v), "source", v.Name};
    }
    return {};
}

void requireUsableRecord(const Table& t) {
    const RecordBreach b = recordBreach(t);
    if (b.breach) throw InputError(unusableRecordText(b.what, b.name, *b.breach), editName(b.breach->field));
}

void refuseRecordBreach(const Table& t) {
    const RecordBreach b = recordBreach(t);
    if (b.breach) refuseBreach(b.breach);
}

}  // namespace lumerad
