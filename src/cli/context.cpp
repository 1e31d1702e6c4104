#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "cli/command.h"
#include "core/numerics/data_file.h"
#include "core/numerics/errors.h"
#include "core/sources/magnet_model.h"
#include "store/data_files.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

void StderrMessages::error(const std::string& text) {
    std::fprintf(stderr, "lumerad-cli: %s\n", text.c_str());
}
void StderrMessages::info(const std::string& text) { std::fprintf(stderr, "note: %s\n", text.c_str()); }
bool StderrMessages::question(const std::string& text) {
    std::fprintf(stderr, "note: %s (answered No)\n", text.c_str());
    return false;
}

int choose(const QString& text, const std::vector<const char*>& names, const char* what,
           const std::string& choices) {
    for (size_t i = 0; i < names.size(); ++i)
        if (text.compare(QString::fromLatin1(names[i]), Qt::CaseInsensitive) == 0) return int(i);
    throw CliError(kBadInput, std::string("unknown ") + what + " \"" + text.toStdString() + "\"; " + choices);
}

int chooseQuantity(const QString& text, const std::vector<const char*>& names,
                   const std::function<std::string(int)>& caption) {
    const int count = int(names.size());
    bool number = false;
    const int n = text.toInt(&number);
    if (number && n >= 0 && n < count) return n;
    for (int i = 0; i < count; ++i)
        if (text.compare(QString::fromLatin1(names[i]), Qt::CaseInsensitive) == 0) return i;
    std::string list;
    for (int i = 0; i < count; ++i)
        list += "\n  " + std::to_string(i) + "  " + names[i] + "  (" + caption(i) + ")";
    throw CliError(kBadInput, "unknown quantity \"" + text.toStdString() + "\"; the quantities are:" + list);
}

Option outputOption(const char* description) { return {"output", "FILE", description}; }

void writeOutput(Context& ctx, const std::vector<std::string>& lines) {
    const std::string output = ctx.text(QStringLiteral("output"));
    ctx.report.input("output", output);
    DataFile file;
    if (!file.open(QFileInfo(QString::fromStdString(output)).absoluteFilePath().toStdString()))
        throw CliError(kFileFault, "the file " + output + " cannot be created");
    for (const std::string& line : lines) file.write(line);
    if (!file.close()) throw CliError(kFileFault, "writing the file " + output + " failed");
}

Context::Context(QCommandLineParser& parser, const Command& c) : args(parser), command(c) {
    report.command = command.name.toStdString();
}

Context::~Context() = default;

QString Context::catalogueFile() const {
    const QString f = args.value(QStringLiteral("catalogue"));
    return f.isEmpty() ? TSRModule::defaultCatalogueFile() : QFileInfo(f).absoluteFilePath();
}

QString Context::dataFile() const {
    const QString f = args.value(QStringLiteral("data"));
    if (!f.isEmpty()) return QFileInfo(f).absoluteFilePath();
    return QFileInfo(findDataFile(QStringLiteral("DATA.TXT"))).absoluteFilePath();
}

TSRModule& Context::catalogue() {
    if (!module_) {
        const QString file = catalogueFile();
        module_ =
            std::make_unique<TSRModule>(session, messages, file, nullptr, CatalogueAccess::ReadOnlyExisting);
        if (!module_->problem().isEmpty())
            throw CliError(kFileFault, "the catalogue file \"" +
                                           QDir::toNativeSeparators(file).toStdString() +
                                           "\" cannot be used: " + module_->problem().toStdString());
        checkSets();
        report.input("catalogue", QDir::toNativeSeparators(file).toStdString());
    }
    return *module_;
}

const Tabulated& Context::data() {
    if (!dataLoaded_) {
        const QString file = dataFile();
        const std::string problem = session.tab.loadFile(file.toStdString());
        if (!problem.empty()) throw CliError(kFileFault, problem);
        dataLoaded_ = true;
        report.input("data", QDir::toNativeSeparators(file).toStdString());
    }
    return session.tab;
}

QStringList Context::sets() const {
    return command.usesSet ? args.values(QStringLiteral("set")) : QStringList();
}

std::string Context::text(const QString& option) const { return args.value(option).toStdString(); }

void Context::selectRecord(Table& t, const QString& nameField, const QString& name, const char* what) {
    if (name.isEmpty())
        throw CliError(kBadInput, std::string("no ") + what + " given: name one with " +
                                      (std::string(what) == "source" ? "--source NAME" : "--beam NAME") +
                                      " (lumerad-cli beams and lumerad-cli sources list them)");
    if (!t.isOpen()) t.open();
    int found = -1;
    for (int r = 0; r < t.rowCount() && found < 0; ++r)
        if (t.displayText(r, t.fieldIndex(nameField)) == name) found = r;
    // a name that differs only in case is taken when it is the only one
    if (found < 0) {
        for (int r = 0; r < t.rowCount(); ++r)
            if (t.displayText(r, t.fieldIndex(nameField)).compare(name, Qt::CaseInsensitive) == 0) {
                if (found >= 0) {
                    found = -1;
                    break;
                }
                found = r;
            }
    }
    if (found < 0) {
        std::string list;
        for (int r = 0; r < t.rowCount(); ++r)
            list += "\n  " + t.displayText(r, t.fieldIndex(nameField)).toStdString();
        throw CliError(kBadInput, std::string("there is no ") + what + " named \"" + name.toStdString() +
                                      "\"; the " + what + "s of the catalogue are:" + list);
    }
    t.moveTo(found);
    // a record stored with values the program refuses is not calculated from, as in the windows
    requireUsableRecord(t);
    // the record of the tools: read again and calculated into the session's state
    t.edit();
}

void Context::applySets(Table& t, bool beam) {
    for (const QString& s : sets()) {
        const int eq = s.indexOf(QLatin1Char('='));
        const QString field = s.left(eq).trimmed();
        if (t.fieldIndex(field) < 0) continue;
        // a field of the beam is the beam's, also when the source has one of that name
        if (!beam && beamTable_ && beamTable_->fieldIndex(field) >= 0) continue;
        t.setText(field, s.mid(eq + 1));  // in the record being edited only; never posted
        setsUsed_ << s;
    }
}

void Context::checkSets() const {
    for (const QString& s : sets()) {
        if (s.indexOf(QLatin1Char('=')) <= 0)
            throw CliError(kBadInput, "--set needs FIELD=VALUE, not \"" + s.toStdString() + "\"");
    }
}

namespace {
std::string fieldList(const Table& t) {
    std::string list;
    for (const FieldDef& f : t.fields())
        if (!f.calculated) list += (list.empty() ? "" : ", ") + f.name.toStdString();
    return list;
}
}  // namespace

void Context::checkSetFields() const {
    for (const QString& s : sets()) {
        const QString field = s.left(s.indexOf(QLatin1Char('='))).trimmed();
        const bool known = (beamTable_ && beamTable_->fieldIndex(field) >= 0) ||
                           (sourceTable_ && sourceTable_->fieldIndex(field) >= 0);
        if (!known) {
            std::string text = "unknown field \"" + field.toStdString() + "\" in --set " + s.toStdString();
            if (beamTable_) text += "\nfields of the beam: " + fieldList(*beamTable_);
            if (sourceTable_) text += "\nfields of the source: " + fieldList(*sourceTable_);
            throw CliError(kBadInput, text);
        }
    }
}

void Context::selectRecords() {
    const QString beam = args.value(QStringLiteral("beam"));
    report.input("beam", beam.toStdString());
    if (command.source) report.input("source", text(QStringLiteral("source")));
    for (const QString& s : sets()) report.input("set", s.toStdString());
    selectBeam(command.beam, beam);
    if (command.source)
        selectSource(args.value(QStringLiteral("source")));
    else
        checkSetFields();
}

void Context::selectBeam(BeamKind kind, const QString& name) {
    TSRModule& m = catalogue();
    const bool circulating = kind == BeamKind::Circulating;
    Table& t = circulating ? *m.CircBeam : *m.SnglBeam;
    (circulating ? m.SnglBeam : m.CircBeam)->close();
    t.open();
    selectRecord(t, circulating ? QStringLiteral("SR") : QStringLiteral("Name"), name,
                 circulating ? "circulating beam" : "single-pass beam");
    beamTable_ = &t;
    applySets(t, true);
    refuseRecordBreach(t);
}

void Context::selectSource(const QString& name) {
    TSRModule& m = catalogue();
    m.InsDevice->setFiltered(false);
    selectRecord(*m.InsDevice, QStringLiteral("Name"), name, "source");
    sourceTable_ = m.InsDevice;
    applySets(*m.InsDevice, false);
    checkSetFields();
    refuseRecordBreach(*m.InsDevice);
    ReadSourcePar(readSourceRecord(*m.InsDevice), session.magnet, messages);
}

}  // namespace lumerad::cli
