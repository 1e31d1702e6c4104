// lumerad-cli against the windows, one table of cases per subcommand. A case is what a user
// does: beam accepted, window opened, grid row picked, fields typed, buttons pressed; every
// step that has a command-line option adds it to the command line. One routine runs the case
// in the program and through lumerad-cli and checks that the JSON's texts and shown units are
// the window's, that each value in its unit without prefix rounds to its text, that the
// --output file is the window's file byte for byte, that the window's messages are the
// command line's notes (or, for a refused case, its error word for word), and that the
// command line never writes the catalogue. What only the command line does (records, --set,
// refusals of its own, formats, help) follows the tables. Every run is a separate process
// without a display.
#include <QJsonArray>
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <tuple>

#include "../support/program_world.h"
#include "cli_support.h"
#include "core/sources/bending_magnet.h"
#include "core/sources/wiggler.h"

using namespace lumerad;
using namespace lumerad::clitest;
using namespace lumerad::worldtest;

namespace {

struct World : ProgramWorld {
    CliRun cli(const QStringList& args) const { return runCli(cliCatalogue() + args); }
    // Writes into the catalogue as another tool would, with the program closed.
    void storeOutside(const QStringList& statements) {
        program.reset();
        runSql(catalogue(), statements);
        restart();
    }
};

// One user step. The control is found by objectName in the window of that class: a grid row is
// picked by its text, a DBEdit is typed into and posted, an edit gets the text (a leading '~'
// types it key by key), a check box is checked, any other button clicked. "beam" accepts the
// named beam in that editor, "" activates the window. The option (with the text, if any)
// goes to the command line.
struct Step {
    const char* window;
    const char* control;
    const char* option = nullptr;
    const char* text = nullptr;
};

struct Outcome {
    QStringList args;
    CliRun run;
    QJsonObject results;
};

struct Row;
using Extra = std::function<void(World&, const Row&, const Outcome&)>;

struct Row {
    QStringList cmd;  // the subcommand and what no window step stands for
    std::vector<Step> steps;
    const char* window;          // whose texts the JSON shows
    int fields;                  // at least this many results name one of its controls (-1: all)
    int messages = 0;            // the window's message boxes, each one a note of the command line
    const char* save = nullptr;  // the window whose file --output writes again
    Extra extra = nullptr;
    bool refused = false;  // the window's last message refuses the case: status 2 with its text
};

QString plain(const char* t) { return QString::fromUtf8(t[0] == '~' ? t + 1 : t); }

void apply(World& x, const Step& s) {
    const QString name = QString::fromLatin1(s.control);
    if (name == QLatin1String("beam"))
        return QByteArray(s.window) == "TfCBeam" ? x.acceptRing(plain(s.text)) : x.acceptLinac(plain(s.text));
    QWidget* w = topWindow(s.window);
    if (name.isEmpty()) {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(w, &e);
    } else if (auto* g = w->findChild<DBGrid*>(name)) {
        clickRow(g, rowOf(g, plain(s.text)));
    } else if (auto* d = w->findChild<DBEdit*>(name)) {
        typeInto(d, plain(s.text));
    } else if (auto* e = w->findChild<QLineEdit*>(name)) {
        if (s.text[0] != '~') return e->setText(plain(s.text));
        e->selectAll();
        QTest::keyClicks(e, plain(s.text));
    } else if (auto* c = w->findChild<QCheckBox*>(name)) {
        c->setChecked(true);
    } else {
        auto* b = child<QAbstractButton>(w, s.control);
        QVERIFY2(b->isEnabled(), s.control);
        b->click();
    }
}

QStringList argsOf(const Row& r) {
    QStringList a = r.cmd;
    for (const Step& s : r.steps) {
        if (s.option) a << QString::fromLatin1(s.option);
        if (s.option && s.text) a << plain(s.text);
    }
    return a;
}

// The control showing a result: named as the result, or as the beam editors name a field's edit.
QWidget* control(QWidget* w, QString name) {
    for (const QString& n :
         {name, QStringLiteral("DBEdt") + name.replace(QLatin1Char('/'), QLatin1Char('_'))})
        for (QWidget* c : w->findChildren<QWidget*>(n))
            if (qobject_cast<QLineEdit*>(c) || qobject_cast<QLabel*>(c)) return c;
    return nullptr;
}

QString shownText(QWidget* c) {
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
    return static_cast<QLabel*>(c)->text();
}

// The unit label beside a result whose prefix follows its value.
QString unitLabel(QWidget* w, const QString& cmd, const QString& name) {
    static const std::map<std::pair<QString, QString>, const char*> labels = {
        {{"undulator", "ephi"}, "leV2"},
        {{"undulator", "PowTot"}, "lW"},
        {{"undulator", "edPowmm"}, "lwmm"},
        {{"undulator", "edPwmmz"}, "lwmmz"},
        {{"spectrum", "Ephcrit"}, "LeV3"}};
    if (labels.count({cmd, name})) return textOf(w, labels.at({cmd, name}));
    const std::string n = name.toStdString();
    if (cmd == QLatin1String("bend"))
        for (const BendingMagnetField& f : BendingMagnetFields())
            if (n == f.name) return *f.unitLabel ? textOf(w, f.unitLabel) : QString::fromUtf8(f.designUnit);
    if (cmd == QLatin1String("wiggler") && !wigglerUnitLabel(n).empty())
        return textOf(w, wigglerUnitLabel(n).c_str());
    return {};
}

// A value in its unit without prefix rounds to the text shown with a prefixed unit: half a unit
// in the last digit shown, or 5e-4 of it (texts keep at most four significant digits).
void valueRoundsToText(const QString& name, const QJsonObject& v) {
    static const std::map<QString, double> prefixes = {{"", 1},    {"k", 1e3},  {"M", 1e6},
                                                       {"G", 1e9}, {"T", 1e12}, {"m", 1e-3}};
    const QString text = v.value("text").toString().trimmed(), shown = v.value("shown_unit").toString(),
                  unit = v.value("unit").toString();
    bool number = false;
    const double t = text.toDouble(&number);
    const QString prefix = shown.left(shown.size() - unit.size());
    if (!number || unit.isEmpty() || !shown.endsWith(unit) || !prefixes.count(prefix)) return;
    const int e = text.indexOf(QLatin1Char('E'));
    const QString mantissa = e < 0 ? text : text.left(e);
    const int dot = mantissa.indexOf(QLatin1Char('.'));
    const double digit = std::pow(
        10.0, (e < 0 ? 0 : text.mid(e + 1).toInt()) - (dot < 0 ? 0 : int(mantissa.size()) - dot - 1));
    const double f = prefixes.at(prefix), value = v.value("value").toDouble();
    QVERIFY2(std::fabs(value - t * f) <= std::max(0.5 * digit * f, std::fabs(t * f) * 5e-4) * 1.000001,
             qPrintable(name + ": " + QString::number(value, 'g', 17) + " vs " + text + " " + shown));
}

void check(const Row& r) {
    World x;
    const QString windowFile = x.dir.filePath(QStringLiteral("window.txt"));
    const QString cliFile = x.dir.filePath(QStringLiteral("cli.txt"));
    if (r.save) x.dialogs.fileNames.push_back(windowFile);
    for (const Step& s : r.steps) apply(x, s);
    const std::vector<std::string> boxes = x.texts();
    QCOMPARE(int(boxes.size()), r.messages);

    Outcome o{argsOf(r) << QStringLiteral("--json"), {}, {}};
    if (r.save) o.args << QStringLiteral("--output") << cliFile;
    const QByteArray catalogue = fileHash(x.catalogue());
    o.run = x.cli(o.args);
    QCOMPARE(fileHash(x.catalogue()), catalogue);
    if (r.refused) {
        QCOMPARE(o.run.status, 2);
        QVERIFY(o.run.out.isEmpty());
        QCOMPARE(o.run.errText(),
                 QStringLiteral("lumerad-cli: ") + QString::fromStdString(boxes.back()) + "\n");
        return;
    }
    o.results = o.run.json().value("results").toObject();
    QVERIFY2(o.run.status == 0, o.run.err.constData());
    for (const std::string& m : boxes)
        QVERIFY2(o.run.errText().contains(QString::fromStdString(m)), o.run.err.constData());
    QWidget* w = topWindow(r.window);
    int compared = 0;
    for (auto it = o.results.begin(); it != o.results.end(); ++it) {
        QWidget* c = control(w, it.key());
        if (!c) continue;
        const QJsonObject v = it.value().toObject();
        QCOMPARE(v.value("text").toString(), shownText(c));
        const QString unit = unitLabel(w, r.cmd[0], it.key());
        if (!unit.isNull()) QCOMPARE(v.value("shown_unit").toString(), unit);
        if (it.key() != QLatin1String("EdtPhEn"))
            valueRoundsToText(it.key(), v);  // the entry echoed: no value
        ++compared;
    }
    QVERIFY2(r.fields < 0 ? compared == int(o.results.size()) : compared >= r.fields,
             qPrintable(QString::number(compared)));
    if (r.save) {
        QVERIFY(QFileInfo(windowFile).size() > 100);
        QCOMPARE(fileHash(cliFile), fileHash(windowFile));
    }
    if (r.extra) r.extra(x, r, o);
}

// ----- the tables: one per subcommand, one line per case

Step ring(const char* beam) { return {"TfCBeam", "beam", "--beam", beam}; }
Step linac() { return {"TfSPBeam", "beam", "--beam", "FLASH"}; }

// The readable table: a line per result with its caption, text and unit.
void readableTable(World& x, const Row& r, const Outcome& o) {
    const CliRun table = x.cli(argsOf(r));
    const QStringList lines = table.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), int(o.results.size()));
    for (const QJsonValue& v : o.results) {
        const QString unit = v.toObject().value("shown_unit").toString();
        const QString end = v.toObject().value("text").toString() + (unit.isEmpty() ? "" : " " + unit);
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [&](const QString& l) {
                                 return l.startsWith(v.toObject().value("label").toString()) &&
                                        l.endsWith(end);
                             }),
                 qPrintable(end));
    }
}

Row bend(const char* beam, const char* source, std::array<const char*, 5> texts, bool refused = false) {
    const char* const fields[] = {"WaveLength", "edBandW", "VerObsAng", "edDist", "edIncAng"};
    const char* const options[] = {"--wavelength", "--bandwidth", "--vertical-angle", "--distance",
                                   "--incidence-angle"};
    std::vector<Step> s = {ring(beam), {"TfStart", "BendM"}, {"TfSynRad", "DBGrid1", "--source", source}};
    for (int i = 0; i < 5; ++i) s.push_back({"TfSynRad", fields[i], options[i], texts[i]});
    s.push_back({"TfSynRad", "tbRecalc"});
    return {{"bend"}, s, "TfSynRad", -1, refused, nullptr, refused ? nullptr : readableTable, refused};
}

std::vector<Row> bendCases() {
    const char* const d = "Diamond dipole 1.4 T";
    return {bend("Diamond", d, {"1.0", "0.1", "0.0", "1.0", "90.0"}),  // the design texts
            bend("Diamond", d, {"0.5", "0.01", "0.5", "10", "30"}),
            bend("Diamond", d, {"1e7", "1", "2", "0", "45"}),  // photon energy held at 1e-6 eps_c
            bend("ESRF-EBS", "ESRF dipole 0.86 T", {"2.5", "0.1", "0.3", "25", "10"}),
            bend("BESSY II", "NSLS-II dipole 0.4 T", {"100", "0.1", "0", "1", "90"}),
            // refused with the window's message, word for word
            bend("Diamond", d, {"1,5", "0.1", "0.0", "1.0", "90.0"}, true),
            bend("Diamond", d, {"1.0", "0.1", "0.0", "", "90.0"}, true),
            bend("Diamond", d, {"0", "0.1", "0.0", "1.0", "90.0"}, true)};
}

// Every point of the columns is the file's line: the JSON's numbers written as the file writes
// them, and the CSV's cells right-aligned in the file's 23-character fields.
void spectrumColumns(World& x, const Row&, const Outcome& o) {
    const QList<QByteArray> lines = readFile(x.dir.filePath(QStringLiteral("cli.txt"))).split('\n');
    const QJsonArray columns = o.run.json().value("columns").toArray();
    const QString quantity = o.args[o.args.indexOf(QStringLiteral("--quantity")) + 1];
    QCOMPARE(columns.size(), quantity == QLatin1String("3") || quantity == QLatin1String("4") ? 3 : 2);
    QStringList args = o.args.mid(0, o.args.indexOf(QStringLiteral("--json")));
    const QStringList csv = x.cli(args << QStringLiteral("--csv")).outText().split('\n', Qt::SkipEmptyParts);
    const int points = columns[0].toObject().value("values").toArray().size();
    QCOMPARE(points, int(lines.size()) - 3);  // title, column line, points, the rest after the last CR LF
    QCOMPARE(csv.size(), points + 1);
    QVERIFY(csv[0].startsWith(args.contains(QStringLiteral("--vs-angle")) ? "vert. obs. angle (1/gamma),"
                                                                          : "photon energy (eV),"));
    for (int i = 0; i < points; ++i) {
        QByteArray json, cells;
        for (const QJsonValue& col : columns)
            json += dataField(col.toObject().value("values").toArray()[i].toDouble());
        for (const QByteArray& v : csv[i + 1].toUtf8().split(','))
            cells += QByteArray(23 - v.size(), ' ') + v;
        QCOMPARE(json + "\r", lines[i + 2]);
        QCOMPARE(cells + "\r", lines[i + 2]);
    }
}

Row spectrum(const char* item, std::array<const char*, 5> texts, std::array<const char*, 3> angleScan = {}) {
    std::vector<Step> s = {ring("Diamond"),
                           {"TfStart", "BendM"},
                           {"TfSynRad", "DBGrid1", "--source", "Diamond dipole 1.4 T"},
                           {"TfSynRad", "tbRecalc"},
                           {"TfSynRad", "tbSpectrum"},
                           {"TfSynSpectrum", item, "--quantity", item + 14}};
    if (angleScan[0])
        s.insert(s.end(), {{"TfSynSpectrum", "rbVsAng", "--vs-angle"},
                           {"TfSynSpectrum", "edPhEn", "--photon-energy", angleScan[0]},
                           {"TfSynSpectrum", "edAngMax", "--max-angle", angleScan[1]},
                           {"TfSynSpectrum", "edDAng", "--angle-step", angleScan[2]}});
    const char* const fields[] = {"e_phmin", "e_phmax", "De_ph", "edVAng", "BW"};
    const char* const options[] = {"--from", "--to", "--step", "--vertical-angle", "--bandwidth"};
    for (int i = 0; i < 5; ++i) s.push_back({"TfSynSpectrum", fields[i], options[i], texts[i]});
    s.insert(s.end(), {{"TfSynSpectrum", "cbSave"}, {"TfSynSpectrum", "bbShowGraph"}});
    return {{"spectrum"}, s, "TfSynSpectrum", 1, 0, "TfSynSpectrum", spectrumColumns};
}

std::vector<Row> spectrumCases() {
    return {spectrum("rgSpectrumItem0", {"10.0", "25000.0", "5.0", "0.0", "0.1"}),  // the design texts
            spectrum("rgSpectrumItem1", {"100", "50000", "3", "0.0", "0.1"}),
            spectrum("rgSpectrumItem2", {"50", "30000", "7", "0.8", "0.5"}),
            spectrum("rgSpectrumItem3", {"10", "40000", "10", "0.5", "0.1"}),
            spectrum("rgSpectrumItem4", {"10", "40000", "10", "1.5", "0.1"}),
            spectrum("rgSpectrumItem5", {"10", "100000", "4", "0.0", "0.1"}),
            spectrum("rgSpectrumItem3", {"10", "25000", "5", "0.0", "0.1"},
                     {"100", "1.0", "0.1"}),  // design texts
            spectrum("rgSpectrumItem4", {"10", "25000", "5", "0.0", "0.1"}, {"8000", "3.0", "0.05"}),
            // on a wiggler record it follows the wiggler's calculation into wiggler mode
            {{"spectrum"},
             {ring("Diamond"),
              {"TfStart", "Wiggler"},
              {"TfWiggler", "DBGridSrce", "--source", "EM wiggler W200"},
              {"TfWiggler", "tbRecalc"},
              {"TfWiggler", "tbSpectrum"},
              {"TfSynSpectrum", "cbSave"},
              {"TfSynSpectrum", "bbShowGraph"}},
             "TfSynSpectrum",
             1,
             0,
             "TfSynSpectrum"}};
}

// The angle defaults to the record's own.
void wigglerAngleOfTheRecord(World& x, const Row&, const Outcome& o) {
    QStringList args = o.args;
    args.removeAt(args.indexOf(QStringLiteral("--angle")) + 1);
    args.removeAll(QStringLiteral("--angle"));
    const CliRun run = x.cli(args);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.json().value("results").toObject().value("Ephcrit").toObject().value("text").toString(),
             textOf(x.w().wiggler, "Ephcrit"));
}

Row wiggler(const char* source, std::array<const char*, 4> texts, int messages = 0) {
    const char* const fields[] = {"HorAngle", "WaveLength", "edBandW", "edDist"};
    const char* const options[] = {"--angle", "--wavelength", "--bandwidth", "--distance"};
    std::vector<Step> s = {
        ring("Diamond"), {"TfStart", "Wiggler"}, {"TfWiggler", "DBGridSrce", "--source", source}};
    for (int i = 0; i < 4; ++i) s.push_back({"TfWiggler", fields[i], options[i], texts[i]});
    s.push_back({"TfWiggler", "tbRecalc"});
    return {{"wiggler"}, s, "TfWiggler", -1, messages, nullptr, messages ? nullptr : wigglerAngleOfTheRecord,
            messages > 0};
}

std::vector<Row> wigglerCases() {
    return {
        wiggler("EM wiggler W200", {"0", "1.0", "0.1", "1.0"}),
        wiggler("EM wiggler W200", {"3.5", "0.3", "1", "0"}),
        wiggler("hybrid wiggler W150", {"-2", "2.5", "0.05", "20"}),
        wiggler("REC wiggler W80", {"1", "1.0", "0.1", "10"}),
        wiggler("EM wiggler W200", {"-6", "1.0", "0.1", "1.0"}, 1)  // beyond the fan: no flux
    };
}

Row function(const char* name, std::vector<Step> inputs) {
    inputs.insert(inputs.begin(), Step{"TfStart", "Bessel"});
    inputs.push_back({"TfBesFun", "BtnCalc"});
    return {{"function", name}, inputs, "TfBesFun", -1};
}

std::vector<Row> functionCases() {
    return {function("J", {{"TfBesFun", "BsOrd", "--order", "3"}, {"TfBesFun", "BsArg", "--x", "2.5"}}),
            function("J", {{"TfBesFun", "BsOrd", "--order", "2"}, {"TfBesFun", "BsArg", "--x", "1e-30"}}),
            function("K13", {{"TfBesFun", "MBsArg", "--x", "1"}}),
            function("Ai", {{"TfBesFun", "AiryArg", "--x", "0.5"}}),
            function("S", {{"TfBesFun", "UFArg", "--x", "3"}}),
            function("S", {{"TfBesFun", "UFArg", nullptr, "0"}}),
            function("JJ", {{"TfBesFun", "JJh", "--harmonic", "3"}, {"TfBesFun", "JJK", "--K", "1"}})};
}

struct UndCase {
    const char *beam, *source, *harmonic, *distance, *bandwidth, *from, *to, *quantity;
};

// The band widths are typed key by key: an edit that only repeats the text still asks for a refresh.
const UndCase kUnd[] = {{"Diamond", "hybrid undulator U35", "1", "1.0", "~0.1", "1", "9", "rgQuantity0"},
                        {"ESRF-EBS", "in-vacuum undulator U20", "3", "30", "~0.5", "3", "15", "rgQuantity3"},
                        {"BESSY II", "REC undulator U50", "5", "10", "~0.01", "1", "29", "rgQuantity2"},
                        {"PETRA III", "XFEL undulator U40", "2", "0", "~1", "5", "1", "rgQuantity1"}};

std::vector<Step> undulatorSteps(const UndCase& c, bool options) {
    return {ring(c.beam),
            {"TfStart", "Und"},
            {"TfUndulator", "DBGridSrce", "--source", c.source},
            {"TfUndulator", "harm", options ? "--harmonic" : nullptr, c.harmonic},
            {"TfUndulator", "edDist", options ? "--distance" : nullptr, c.distance},
            {"TfUndulator", "tbRecalc"}};
}

std::vector<Row> undulatorCases() {
    std::vector<Row> v;
    for (const UndCase& c : kUnd) v.push_back({{"undulator"}, undulatorSteps(c, true), "TfUndulator", -1});
    return v;
}

std::vector<Row> fluxCases() {
    std::vector<Row> v;
    for (const UndCase& c : kUnd) {
        std::vector<Step> s = undulatorSteps(c, false);
        s[3].option = "--harmonic";
        s.insert(s.end(), {{"TfUndulator", "tbUndFlux"},
                           {"TfUndFlux", "EdtBW", "--bandwidth", c.bandwidth},
                           {"TfUndFlux", "BResult"}});
        v.push_back({{"flux"}, s, "TfUndFlux", -1});
    }
    return v;
}

std::vector<Step> lineSteps(const UndCase& c) {
    std::vector<Step> s = undulatorSteps(c, false);
    s.insert(s.end(), {{"TfUndulator", "tbLineSpectrum"},
                       {"TfLineSpectrum", "BW", "--bandwidth", c.bandwidth},
                       {"TfLineSpectrum", "fharm", "--from-harmonic", c.from},
                       {"TfLineSpectrum", "toharm", "--to-harmonic", c.to},
                       {"TfLineSpectrum", c.quantity, "--quantity", c.quantity + 10},
                       {"TfLineSpectrum", "bbRecalc"}});
    return s;
}

// The list's cells as the CSV prints them.
void listCells(World& x, const Row& r, const Outcome& o) {
    QCOMPARE(o.run.json().value("columns").toArray().size(), 5);
    const CliRun run = x.cli(argsOf(r) << QStringLiteral("--csv"));
    const QStringList csv = run.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto* list = child<QTableWidget>(x.w().lineSpectrum, "ListLS");
    int rows = 0;  // the rows in use: the list keeps its empty rows
    while (rows < list->rowCount() && list->item(rows, 0) && !list->item(rows, 0)->text().isEmpty()) ++rows;
    QCOMPARE(csv.size(), rows + 1);
    for (int i = 0; i < rows; ++i) {
        const QStringList cells = csv[i + 1].split(QLatin1Char(','));
        QCOMPARE(cells.size(), 5);
        for (int col = 0; col < 5; ++col) QCOMPARE(cells[col], list->item(i, col)->text().trimmed());
    }
}

std::vector<Row> linesCases() {
    std::vector<Row> v;
    for (const UndCase& c : kUnd)
        v.push_back({{"lines"}, lineSteps(c), "TfLineSpectrum", -1, 0, nullptr, listCells});
    return v;
}

// A K scan against K and a gap scan against photon energy, written as the window's file.
std::vector<Row> tuneCases() {
    std::vector<Row> v;
    for (const UndCase& c : kUnd)
        for (bool kScan : {true, false}) {
            std::vector<Step> s = lineSteps(c);
            s.insert(s.end(),
                     {{"TfLineSpectrum", "edKmin", "--k-min", "0.1"},
                      {"TfLineSpectrum", "edKmax", "--k-max", "2.5"},
                      {"TfLineSpectrum", "edGapmin", "--gap-min", "6"},
                      {"TfLineSpectrum", "edGapmax", "--gap-max", "25"},
                      {"TfLineSpectrum", kScan ? "rbvsK" : "rbvsPhEn", "--vs", kScan ? "K" : "photon-energy"},
                      {"TfLineSpectrum", "rbReplace"},
                      {"TfLineSpectrum", "cbSave"},
                      {"TfLineSpectrum", kScan ? "BitBtn1" : "bbVUGap", "--scan", kScan ? "K" : "gap"}});
            v.push_back({{"tune"}, s, "TfLineSpectrum", 0, 0, "TfLineSpectrum"});
        }
    return v;
}

// A permanent-magnet undulator, and an electromagnet with the field typed into the box in place
// of the activation's calculation.
std::vector<Row> spUndulatorCases() {
    const std::vector<Step> pick = {linac(), {"TfStart", "Und"}};
    auto source = [](const char* s) { return Step{"TfSPUnd", "DBGridSrce", "--source", s}; };
    return {
        {{"sp-undulator"}, {pick[0], pick[1], source("hybrid undulator U35"), {"TfSPUnd", ""}}, "TfSPUnd", 9},
        {{"sp-undulator"},
         {pick[0],
          pick[1],
          source("EM undulator U100"),
          {"TfSPUnd", "Wfield", "--field", "0.45"},
          {"TfSPUnd", "tbRecalc"}},
         "TfSPUnd",
         9}};
}

// The unit conversions of the list and the coherence.
void trList(World& x, const Row& r, const Outcome& o) {
    auto* convert = child<QComboBox>(x.w().tr, "cbConvert");
    for (int i = 1; o.results.contains(QStringLiteral("cbConvert1")) && i < convert->count(); ++i) {
        const QJsonObject v = o.results.value(QStringLiteral("cbConvert%1").arg(i)).toObject();
        QCOMPARE(v.value("text").toString() + QLatin1Char(' ') + v.value("shown_unit").toString(),
                 convert->itemText(i));
    }
    QCOMPARE(o.results.value("coherence").toObject().value("text").toString(),
             r.cmd.contains(QStringLiteral("--incoherent")) ? QStringLiteral("incoherent")
                                                            : QStringLiteral("coherent"));
}

// Without an angle typed the window keeps the one of its last calculation; the angle is taken
// only from a field edited since the window was shown.
Row tr(const char* unitButton, const char* unit, const char* photon, const char* bw, bool coherent,
       Step angle = {"TfTR", nullptr}, int messages = 0) {
    std::vector<Step> s = {linac(),
                           {"TfStart", "TR"},
                           {"TfTR", ""},
                           {"TfTR", unitButton, "--unit", unit},
                           {"TfTR", coherent ? "RBcoherent" : "RBincoh"},
                           {"TfTR", "EdtPhEn", "--photon", photon},
                           {"TfTR", "EdtBnWdth", "--bandwidth", bw}};
    if (angle.control) s.push_back(angle);
    s.push_back({"TfTR", "Calculate"});
    QStringList cmd{"tr"};
    if (!coherent) cmd << "--incoherent";
    return {cmd, s, "TfTR", 13, messages, nullptr, trList};
}

std::vector<Row> trCases() {
    Row refused = tr("RBcm", "1/cm", "0", "0.001", true, {"TfTR", nullptr}, 1);
    refused.extra = nullptr;
    refused.refused = true;
    return {tr("RBeV", "eV", "1.0", "0.001", true),                // the design texts
            tr("RBm", "m", "0", "", false, {"TfTR", nullptr}, 2),  // messages, and it goes on
            tr("RBcm", "1/cm", "10", "0.01", true, {"TfTR", "EdtAngAccmr", "--angle-mrad", "~10"}),
            tr("RBTHz", "THz", "0.5", "0.1", false, {"TfTR", "EdtAngAccGam", "--angle-gamma", "~3"}),
            // clamped at 90 degrees with a note
            tr("RBAng", "A", "5000", "0.001", true, {"TfTR", "EdtAngAccGam", "--angle-gamma", "~1e6"}, 1),
            refused};
}

Row formFactor(const char* shapeButton, const char* shape, std::array<const char*, 4> texts,
               int messages = 0) {
    const char* const fields[] = {"wavelen", "Eminwvn", "Emaxwvn", "Edelwvn"};
    const char* const options[] = {"--wavelength", "--from", "--to", "--step"};
    std::vector<Step> s = {
        linac(), {"TfStart", "FF"}, {"TfFormFctr", "cbSave"}, {"TfFormFctr", shapeButton, "--shape", shape}};
    for (int i = 0; i < 4; ++i) s.push_back({"TfFormFctr", fields[i], options[i], texts[i]});
    s.push_back({"TfFormFctr", "CalcSpectrum"});
    return {{"form-factor"}, s, "TfFormFctr", 1 - messages, messages, "TfFormFctr"};
}

std::vector<Row> formFactorCases() {
    return {
        formFactor("isgaussian", "gaussian", {"100", "0", "100", "1.0"}),  // the design texts
        formFactor("isuniform", "uniform", {"3000", "0", "1000", "2.5"}),
        formFactor("isgaussian", "gaussian", {"50", "20", "600", "0.7"}),
        formFactor("isuniform", "uniform", {"999.99", "5", "50", "0.5"}, 1)  // select valid wavelength
    };
}

// The beam as its editor shows it, shown again after the accept.
std::vector<Row> beamCases() {
    return {
        {{"beam", "Diamond"}, {{"TfCBeam", "beam", nullptr, "Diamond"}, {"TfStart", "BtCB"}}, "TfCBeam", -1},
        {{"beam", "LCLS"}, {{"TfSPBeam", "beam", nullptr, "LCLS"}, {"TfStart", "BtSPB"}}, "TfSPBeam", -1}};
}

const std::vector<std::pair<const char*, std::vector<Row>>>& tables() {
    static const std::vector<std::pair<const char*, std::vector<Row>>> t = {
        {"beam", beamCases()},
        {"bend", bendCases()},
        {"spectrum", spectrumCases()},
        {"wiggler", wigglerCases()},
        {"function", functionCases()},
        {"undulator", undulatorCases()},
        {"flux", fluxCases()},
        {"lines", linesCases()},
        {"tune", tuneCases()},
        {"sp-undulator", spUndulatorCases()},
        {"tr", trCases()},
        {"form-factor", formFactorCases()}};
    return t;
}

QString dataFile() { return QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"); }
const QStringList kBend = {"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"};

}  // namespace

class CliWindow : public QObject {
    Q_OBJECT
private slots:
    void sameAsTheWindow_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("row");
        for (int t = 0; t < int(tables().size()); ++t)
            for (int i = 0; i < int(tables()[t].second.size()); ++i)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2: %3")
                                             .arg(tables()[t].first)
                                             .arg(i)
                                             .arg(argsOf(tables()[t].second[i]).join(' '))))
                    << t << i;
    }
    void sameAsTheWindow() {
        QFETCH(int, table);
        QFETCH(int, row);
        check(tables()[table].second[row]);
    }

    // Records stored with values the program no longer accepts (written before the limits, or
    // by another tool): every window and subcommand that would calculate from them refuses
    // with the same message, naming the record and the field, and calculates nothing else.
    void storedRecordsRefusedByEveryTool() {
        World x;
        x.storeOutside({"UPDATE \"Sngl_pass\" SET \"Part/Bunch\" = -3",
                        "UPDATE \"SR_ring\" SET \"Energy\" = 0 WHERE \"SR\" = 'Diamond'"});
        const QString refused = QStringLiteral(
            "The beam 'FLASH' cannot be used until it is mended: Part/Bunch: the charge must not be "
            "negative.");
        x.acceptLinac(QStringLiteral("FLASH"));  // the editor refuses it too
        const std::tuple<ToolWindow*, const char*, const char*, const char*, QStringList> cases[] = {
            {x.w().tr, "EdtPhEn", "1", "Calculate", {"tr", "--beam", "FLASH"}},
            {x.w().formFctr,
             "wavelen",
             "3000",
             "CalcSpFF",
             {"form-factor", "--beam", "FLASH", "--wavelength", "3000"}},
            {x.w().spUnd,
             nullptr,
             nullptr,
             "tbRecalc",
             {"sp-undulator", "--beam", "FLASH", "--source", "FLASH undulator U27"}}};
        for (const auto& [window, field, text, button, args] : cases) {
            window->showTool();
            if (auto* grid = window->findChild<DBGrid*>(QStringLiteral("DBGridBeam")))
                clickRow(grid, rowOf(grid, QStringLiteral("FLASH")));
            if (field) child<QLineEdit>(window, field)->setText(QString::fromLatin1(text));
            x.messages.clear();
            child<QAbstractButton>(window, button)->click();
            QCOMPARE(x.texts(), std::vector<std::string>{refused.toStdString()});
            window->close();
            const CliRun run = x.cli(args);
            QCOMPARE(run.status, 2);
            QCOMPARE(run.errText(), "lumerad-cli: " + refused + "\n");
            QVERIFY(run.out.isEmpty());
        }
        const CliRun ring = x.cli(kBend);
        QCOMPARE(ring.status, 2);
        QVERIFY(ring.errText().contains("The beam 'Diamond' cannot be used until it is mended: Energy:"));
    }

    // What only the command line does, a case a line: the exit status, the arguments and the
    // texts of its output (stdout for status 0, stderr else), separated by '|'; @bend,
    // @spectrum, @und and @linac stand for the beam and source options every case of that kind
    // needs, @damaged and @nodata for files that cannot be used. --set changes this run only.
    void commandLineOnly() {
        World x;
        const QByteArray before = fileHash(x.catalogue());
        QTemporaryDir tmp;
        QFile damaged(tmp.filePath("damaged.sqlite"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("this is not a catalogue at all, only some text\n");
        damaged.close();
        const QByteArray damagedHash = fileHash(damaged.fileName());
        const std::map<QString, QStringList> shorthand = {
            {"@bend", kBend},
            {"@spectrum", {"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"}},
            {"@und", {"--beam", "Diamond", "--source", "hybrid undulator U35"}},
            {"@linac", {"--beam", "FLASH"}},
            {"@damaged", {"--catalogue", damaged.fileName(), "--data", dataFile()}},
            {"@nodata", {"--catalogue", x.catalogue(), "--data", tmp.filePath("none.txt")}}};
        const std::tuple<int, const char*, const char*> cases[] = {
            // Diamond: 3 GeV, 1.4 T; the critical energy goes as E^2 B, the rigidity as E
            {0, "@bend",
             "critical photon energy        8.379 keV\n|beam rigidity                10.007 T m\n"},
            {0, "@bend|--set|Field=1.2", "7.182 keV\n|10.007 T m\n"},
            {0, "@bend|--set|Field=1.2|--set|Energy=6", "28.73 keV\n|20.014 T m\n"},
            {0, "@bend|--set|field=1.2|--set|ENERGY=6", "28.73 keV\n"},  // names in any case
            {0, "--set|Field=1.2|@bend", "7.182 keV\n"},
            {0, "@bend|--json|--set|Field=1.2|--set|Cur=100", "\"set\": [\n            \"Field=1.2\",\n"},
            {0, "@bend|--json", "\"distance\": \"1.0\""},
            {0, "--help", "Usage: lumerad-cli|\n  beams  |\n  form-factor  |--catalogue FILE"},
            {0, "bend|--help", "Usage: lumerad-cli bend|--incidence-angle|--set|--catalogue|Default: 90.0"},
            {0, "spectrum|--help", "--quantity|--vs-angle|--output"},
            {0, "--version", "lumerad-cli "},
            {0, "sources|--kind|wig", "EM wiggler W200|hybrid wiggler W150|REC wiggler W80"},
            {0, "sources|--kind|Wig|--csv",
             "name,kind,magnet,design,field (T),gap (mm),period (mm),poles\n|"
             "hybrid wiggler W150,Wig,PM,hybrid,1.66,20,150,26\n"},
            {0, "sp-undulator|@linac|--source|hybrid undulator U35",
             "0.011 um\n|919635.197 1/cm\n"},  // units once
            {0, "tune|@und|--scan|gap|--csv", "harmonic,\"photon energy, eV\",\"flux"},
            {0, "form-factor|@linac|--scan|--to|10|--csv",
             "wavenumber (1/cm),form factor\n|\n1.10000000000000E+0001,"},
            {2, "bend|--beam|Nowhere|--source|Diamond dipole 1.4 T",
             "there is no circulating beam named \"Nowhere\"|\n  Diamond\n|\n  ESRF-EBS\n"},
            {2, "bend|--beam|Diamond|--source|Nowhere",
             "there is no source named \"Nowhere\"|\n  Diamond dipole 1.4 T\n"},
            {2, "bend|--beam|LCLS|--source|Diamond dipole 1.4 T", "no circulating beam named \"LCLS\""},
            {2, "bend|--source|Diamond dipole 1.4 T", "no circulating beam given: name one with --beam NAME"},
            {2, "bend|--beam|Diamond", "no source given: name one with --source NAME"},
            {2, "beam|Nowhere", "there is no beam named \"Nowhere\"|\n  Diamond\n|\n  LCLS\n"},
            {2, "sp-undulator|--beam|no such linac|--source|EM undulator U100", "no such linac"},
            {2, "@bend|--set|Bogus=1",
             "unknown field \"Bogus\"|fields of the beam: SR, Energy, Cur|fields of the source: Name, "
             "MagType"},
            {2, "@bend|--set|Field", "--set needs FIELD=VALUE"},
            {2, "@bend|--set|Field=abc", "'abc' is not a valid floating point value"},
            {2, "@bend|--set|Gamma=3", "Field 'Gamma' cannot be modified"},
            {2, "@bend|--set|Field=0", "Field: the magnetic field must be above 0 T"},
            {2, "tr|@linac|--set|Energy=0.4", "above the electron rest energy"},
            {2, "@spectrum|--from|0", "lumerad-cli: "},
            {2, "@spectrum|--quantity|7", "unknown quantity \"7\"|5  divergence"},
            {2, "@spectrum|--vs-angle", "--vs-angle is for"},
            {1, "@spectrum|--output|/nonexistent/x/s.txt", "the file /nonexistent/x/s.txt cannot be created"},
            {2, "frobnicate", "unknown subcommand \"frobnicate\"|bend"},
            {2, "bend|--beam|Diamond|--source|Diamond|dipole 1.4 T", "unexpected argument \"dipole 1.4 T\""},
            {2, "@bend|--frobnicate", "Unknown option 'frobnicate'"},
            {2, "@bend|--json|--csv", "choose one of --json and --csv"},
            {2, "sources|--kind|Laser", "unknown source kind \"Laser\""},
            {2, "", "Usage: lumerad-cli"},
            {2, "function|Ai", "x must be > 0 !"},
            {2, "function|Q", "unknown function \"Q\""},
            {2, "function", "name one function"},
            {2, "undulator|--beam|Diamond|--source|Diamond dipole 1.4 T",
             "Source is not a wiggler/undulator"},
            {2, "lines|@und|--quantity|7", "unknown quantity"},
            {2, "tune|--beam|Diamond|--source|EM undulator U100|--scan|K", "permanent-magnet undulator"},
            {2, "tune|@und|--scan|phase", "unknown scan"},
            {2, "form-factor|@linac|--shape|round", "unknown shape"},
            {2, "tr|@linac|--unit|furlong", "unknown unit"},
            {2, "tr|@linac|--angle-gamma|1|--angle-mrad|1", "choose one of"},
            {2, "sp-undulator|@linac|--source|EM undulator U100", "is not a valid floating point value"},
            // records changed by --set are held to the catalogue's limits
            {0, "undulator|--beam|Diamond|--source|EM undulator U100|--set|Field=0.80265411", "7.500\n"},
            {2, "sp-undulator|@linac|--source|hybrid undulator U35|--set|Gap=1e308",
             "Gap: the gap must be at most 1000 mm"},
            {2, "wiggler|--beam|Diamond|--source|REC wiggler W80|--set|Gap=0",
             "Gap: the gap of a permanent magnet must be above 0 mm"},
            {2, "beam|LCLS|--set|Energy=1e308", "Energy: the beam energy must be at most 10000000 MeV"},
            {0, "function|Ai|--x|1e308", "Ai (x)|0\n"},
            // inputs outside their physical range, refused naming the field as the windows refuse them
            {2, "undulator|@und|--distance|-1", "the distance must not be negative!"},
            {2, "flux|@und|--harmonic|1000000000", "the harmonic number must be at most 10000!"},
            {2, "lines|@und|--bandwidth|1e308", "the band width must be at most 100 %!"},
            {2, "@bend|--bandwidth|101", "the band width must be at most 100 %!"},
            {2, "tune|@und|--scan|K|--k-min|2|--k-max|2", "K_min and K_max must differ!"},
            {2, "tune|@und|--scan|gap|--gap-min|30|--gap-max|40", "the gap range gives a single K-value"},
            {2, "sp-undulator|@linac|--source|EM undulator U100|--field|-1", "above 0 T and at most 100 T!"},
            {2, "tr|@linac|--bandwidth|0", "the band width must be positive!"},
            {2, "tr|@linac|--angle-mrad|-1", "the acceptance angle must not be negative!"},
            {2, "tr|@linac|--unit|THz|--photon|1e-321", "the frequency must give a wave length"},
            {2, "form-factor|@linac|--wavelength|-5", "the wavelength must not be negative!"},
            {2, "form-factor|@linac|--scan|--from|100|--to|0",
             "the last wavenumber must not be below the first"},
            {1, "@damaged|@bend", "cannot be used: it is not a catalogue database"},
            {1, "@nodata|@bend", ""}};
        for (const auto& [status, argText, texts] : cases) {
            QStringList args;
            if (*argText)
                for (const QString& a : QString::fromUtf8(argText).split(QLatin1Char('|')))
                    args += shorthand.count(a) ? shorthand.at(a) : QStringList{a};
            const CliRun run = args.contains(QStringLiteral("--catalogue")) ? runCli(args) : x.cli(args);
            QVERIFY2(run.status == status, qPrintable(args.join(' ') + ": " + run.errText()));
            QVERIFY2((status ? run.out : run.err).isEmpty() && !(status ? run.err : run.out).isEmpty(),
                     argText);
            for (const QString& t : QString::fromUtf8(texts).split(QLatin1Char('|')))
                QVERIFY2((status ? run.errText() : run.outText()).contains(t), qPrintable(t));
        }
        QCOMPARE(fileHash(damaged.fileName()), damagedHash);
        QCOMPARE(fileHash(x.catalogue()), before);
        // the common options before and after the subcommand give the same answer
        QCOMPARE(runCli(kBend + x.cliCatalogue()).out, x.cli(kBend).out);
        // the step message is a note, and the spectrum goes on with 0.1 %: 1000 * 1.001^k <= 1100 for k = 0
        // .. 95
        const CliRun step = x.cli(shorthand.at("@spectrum") +
                                  QStringList{"--from", "1000", "--to", "1100", "--step", "0.05", "--csv"});
        QCOMPARE(step.status, 0);
        QCOMPARE(step.errText(), QStringLiteral("note: step size too small! will be set to 0.1%!\n"));
        QCOMPARE(step.outText().split('\n', Qt::SkipEmptyParts).size(), 1 + 96);
    }

    void missingCatalogueSeededAsTheProgramSeedsIt() {
        QTemporaryDir tmp;
        const QString fresh = tmp.filePath("sub/new.sqlite");
        const CliRun run = runCli({"beams", "--catalogue", fresh});
        QVERIFY2(run.status == 0, run.err.constData());
        // the same file, byte for byte, as the program's own first start
        const QString programFile = tmp.filePath("program.sqlite");
        {
            Session session;
            RecordingMessages messages;
            TSRModule module(session, messages, programFile);  // as the program opens a missing file
        }
        QCOMPARE(fileHash(fresh), fileHash(programFile));
        for (const char* name : {"Diamond", "ESRF-EBS", "European XFEL", "LCLS"})
            QVERIFY(run.outText().contains(name));
    }
};

QTEST_MAIN(CliWindow)
#include "cli_test.moc"
