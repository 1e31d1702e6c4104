// lumerad-cli against the windows. Each row of one table is a case as a user makes it: beam
// accepted, window opened, grid row picked, fields typed, buttons pressed; every step that has
// a command-line option adds it to the command line. One routine then checks that the JSON's
// texts and shown units are the window's, that the --output file is the window's file byte for
// byte, that the window's messages are the command line's notes, and that the command line
// never writes the catalogue. Refusals, --set, the seeded catalogue, help and formats follow.
// Every run is a separate process without a display.
#include <QApplication>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
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
    QString catalogue() const { return dir.filePath(QStringLiteral("catalogue.sqlite")); }
    QWidget* window(const char* cls) {
        Windows& x = w();
        for (QWidget* v : std::initializer_list<QWidget*>{x.start, x.cbeam, x.spbeam, x.besFun, x.wiggler,
                                                          x.undulator, x.formFctr, x.tr, x.lineSpectrum,
                                                          x.undFlux, x.synSpectrum, x.synRad, x.spUnd})
            if (v->objectName() == QLatin1String(cls)) return v;
        qFatal("no window %s", cls);
        return nullptr;
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
    int fields;                  // at least this many results name one of its controls
    int messages = 0;            // the window's message boxes, each one a note of the command line
    const char* save = nullptr;  // the window whose file --output writes again
    Extra extra = nullptr;
};

QString plain(const char* t) { return QString::fromUtf8(t[0] == '~' ? t + 1 : t); }

void apply(World& x, const Step& s) {
    QWidget* w = x.window(s.window);
    const QString name = QString::fromLatin1(s.control);
    if (name.isEmpty()) {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(w, &e);
    } else if (name == QLatin1String("beam")) {
        w == x.w().cbeam ? x.acceptRing(plain(s.text)) : x.acceptLinac(plain(s.text));
    } else if (auto* g = w->findChild<DBGrid*>(name)) {
        g->clickRow(rowOf(g, plain(s.text)));
    } else if (auto* d = w->findChild<DBEdit*>(name)) {
        d->typeText(plain(s.text));
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

// The unit label beside a result whose prefix follows its value.
QString unitLabel(QWidget* w, const QString& cmd, const QString& name) {
    const std::string n = name.toStdString();
    if (cmd == QLatin1String("bend"))
        for (const BendingMagnetField& f : BendingMagnetFields())
            if (n == f.name) return *f.unitLabel ? textOf(w, f.unitLabel) : QString::fromUtf8(f.designUnit);
    if (cmd == QLatin1String("wiggler") && !wigglerUnitLabel(n).empty())
        return textOf(w, wigglerUnitLabel(n).c_str());
    static const std::map<std::string, const char*> und = {
        {"ephi", "leV2"}, {"PowTot", "lW"}, {"edPowmm", "lwmm"}, {"edPwmmz", "lwmmz"}};
    if (cmd == QLatin1String("undulator") && und.count(n)) return textOf(w, und.at(n));
    if (name == QLatin1String("Ephcrit") && cmd == QLatin1String("spectrum")) return textOf(w, "LeV3");
    return {};
}

Outcome check(const Row& r) {
    World x;
    const QString windowFile = x.dir.filePath(QStringLiteral("window.txt"));
    const QString cliFile = x.dir.filePath(QStringLiteral("cli.txt"));
    if (r.save) x.dialogs.fileNames.push_back(windowFile);
    for (const Step& s : r.steps) apply(x, s);
    const std::vector<std::string> boxes = x.texts();
    [&] { QCOMPARE(int(boxes.size()), r.messages); }();

    Outcome o{argsOf(r) << QStringLiteral("--json"), {}, {}};
    if (r.save) o.args << QStringLiteral("--output") << cliFile;
    const QByteArray catalogue = fileHash(x.catalogue());
    o.run = x.cli(o.args);
    o.results = o.run.json().value("results").toObject();
    [&] {
        QVERIFY2(o.run.status == 0, o.run.err.constData());
        QCOMPARE(fileHash(x.catalogue()), catalogue);
        for (const std::string& m : boxes)
            QVERIFY2(o.run.errText().contains(QString::fromStdString(m)), o.run.err.constData());
        QWidget* w = x.window(r.window);
        int compared = 0;
        for (auto it = o.results.begin(); it != o.results.end(); ++it) {
            const QString name = it.key();
            if (!w->findChild<QLineEdit*>(name) && !w->findChild<QLabel*>(name)) continue;
            const QJsonObject v = it.value().toObject();
            QCOMPARE(v.value("text").toString(), textOf(w, name.toLatin1().constData()));
            const QString unit = unitLabel(w, r.cmd[0], name);
            if (!unit.isNull()) QCOMPARE(v.value("shown_unit").toString(), unit);
            ++compared;
        }
        QVERIFY2(compared >= r.fields, qPrintable(QString::number(compared)));
        // these windows show every result the command line gives
        static const QStringList whole = {"bend", "wiggler", "undulator", "flux", "lines", "function"};
        if (whole.contains(r.cmd[0])) QCOMPARE(compared, int(o.results.size()));
        if (r.save) {
            QVERIFY(QFileInfo(windowFile).size() > 100);
            QCOMPARE(fileHash(cliFile), fileHash(windowFile));
        }
        if (r.extra) r.extra(x, r, o);
    }();
    return o;
}

// ----- the rows: one builder per window, one line per case

Step ring(const char* beam) { return {"TfCBeam", "beam", "--beam", beam}; }
Step linac() { return {"TfSPBeam", "beam", "--beam", "FLASH"}; }

Row bend(const char* beam, const char* source, const char* wl, const char* bw, const char* ang,
         const char* dist, const char* inc) {
    return {{"bend"},
            {ring(beam),
             {"TfStart", "BendM"},
             {"TfSynRad", "DBGrid1", "--source", source},
             {"TfSynRad", "WaveLength", "--wavelength", wl},
             {"TfSynRad", "edBandW", "--bandwidth", bw},
             {"TfSynRad", "VerObsAng", "--vertical-angle", ang},
             {"TfSynRad", "edDist", "--distance", dist},
             {"TfSynRad", "edIncAng", "--incidence-angle", inc},
             {"TfSynRad", "tbRecalc"}},
            "TfSynRad",
            int(BendingMagnetFields().size())};
}

// Every point of the JSON columns, written as the file writes numbers, is the file's line; the
// CSV has a header and then the file's numbers separated by commas.
void spectrumColumns(World& x, const Row&, const Outcome& o) {
    QFile f(x.dir.filePath(QStringLiteral("cli.txt")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    const QJsonArray columns = o.run.json().value("columns").toArray();
    const QString quantity = o.args[o.args.indexOf(QStringLiteral("--quantity")) + 1];
    QCOMPARE(columns.size(), quantity == QLatin1String("3") || quantity == QLatin1String("4") ? 3 : 2);
    const int points = columns[0].toObject().value("values").toArray().size();
    QCOMPARE(points, int(lines.size()) - 3);  // title, column line, points, the rest after the last CR LF
    for (int i = 0; i < points; ++i) {
        std::string line;
        for (const QJsonValue& col : columns)
            line += dataField(col.toObject().value("values").toArray()[i].toDouble());
        QCOMPARE(QByteArray::fromStdString(line + "\r"), lines[i + 2]);
    }
    QStringList args = o.args.mid(0, o.args.indexOf(QStringLiteral("--json")));
    const CliRun csv = x.cli(args << QStringLiteral("--csv"));
    QCOMPARE(csv.status, 0);
    const QStringList csvLines = csv.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(csvLines.size(), points + 1);
    QVERIFY(csvLines[0].startsWith(args.contains(QStringLiteral("--vs-angle"))
                                       ? QStringLiteral("vert. obs. angle (1/gamma),")
                                       : QStringLiteral("photon energy (eV),")));
    for (int i = 0; i < points; ++i) {
        QByteArray joined;
        for (const QByteArray& v : csvLines[i + 1].toUtf8().split(','))
            joined += QByteArray(23 - v.size(), ' ') + v;
        QCOMPARE(joined + "\r", lines[i + 2]);
    }
}

Row spectrum(const char* item, bool vsAngle, const char* from, const char* to, const char* step,
             const char* ang, const char* bw, const char* energy = "100", const char* maxAngle = "1.0",
             const char* angleStep = "0.1") {
    std::vector<Step> s = {ring("Diamond"),
                           {"TfStart", "BendM"},
                           {"TfSynRad", "DBGrid1", "--source", "Diamond dipole 1.4 T"},
                           {"TfSynRad", "tbRecalc"},
                           {"TfSynRad", "tbSpectrum"},
                           {"TfSynSpectrum", item, "--quantity", item + 14}};
    if (vsAngle)
        s.insert(s.end(), {{"TfSynSpectrum", "rbVsAng", "--vs-angle"},
                           {"TfSynSpectrum", "edPhEn", "--photon-energy", energy},
                           {"TfSynSpectrum", "edAngMax", "--max-angle", maxAngle},
                           {"TfSynSpectrum", "edDAng", "--angle-step", angleStep}});
    s.insert(s.end(), {{"TfSynSpectrum", "e_phmin", "--from", from},
                       {"TfSynSpectrum", "e_phmax", "--to", to},
                       {"TfSynSpectrum", "De_ph", "--step", step},
                       {"TfSynSpectrum", "edVAng", "--vertical-angle", ang},
                       {"TfSynSpectrum", "BW", "--bandwidth", bw},
                       {"TfSynSpectrum", "cbSave"},
                       {"TfSynSpectrum", "bbShowGraph"}});
    return {{"spectrum"}, s, "TfSynSpectrum", 1, 0, "TfSynSpectrum", spectrumColumns};
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

Row wiggler(const char* source, const char* angle, const char* wl, const char* bw, const char* dist) {
    return {{"wiggler"},
            {ring("Diamond"),
             {"TfStart", "Wiggler"},
             {"TfWiggler", "DBGridSrce", "--source", source},
             {"TfWiggler", "HorAngle", "--angle", angle},
             {"TfWiggler", "WaveLength", "--wavelength", wl},
             {"TfWiggler", "edBandW", "--bandwidth", bw},
             {"TfWiggler", "edDist", "--distance", dist},
             {"TfWiggler", "tbRecalc"}},
            "TfWiggler",
            12,
            0,
            nullptr,
            wigglerAngleOfTheRecord};
}

Row functionRow(QStringList cmd, std::vector<Step> inputs, int results) {
    inputs.insert(inputs.begin(), Step{"TfStart", "Bessel"});
    inputs.push_back({"TfBesFun", "BtnCalc"});
    return {QStringList{"function"} + cmd, inputs, "TfBesFun", results};
}

struct UndCase {
    const char *beam, *source, *harmonic, *distance, *bandwidth, *from, *to, *quantity;
};

std::vector<Step> undulatorSteps(const UndCase& c, bool options) {
    return {ring(c.beam),
            {"TfStart", "Und"},
            {"TfUndulator", "DBGridSrce", "--source", c.source},
            {"TfUndulator", "harm", options ? "--harmonic" : nullptr, c.harmonic},
            {"TfUndulator", "edDist", options ? "--distance" : nullptr, c.distance},
            {"TfUndulator", "tbRecalc"}};
}

Row undulator(const UndCase& c) { return {{"undulator"}, undulatorSteps(c, true), "TfUndulator", 11}; }

Row flux(const UndCase& c) {
    std::vector<Step> s = undulatorSteps(c, false);
    s[3].option = "--harmonic";
    s.insert(s.end(), {{"TfUndulator", "tbUndFlux"},
                       {"TfUndFlux", "EdtBW", "--bandwidth", c.bandwidth},
                       {"TfUndFlux", "BResult"}});
    return {{"flux"}, s, "TfUndFlux", 10};
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
    QCOMPARE(run.status, 0);
    const QStringList csv = run.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto* list = child<QTableWidget>(x.w().lineSpectrum, "ListLS");
    const int rows = x.w().lineSpectrum->list().harmonics().size();
    QCOMPARE(csv.size(), rows + 1);
    for (int i = 0; i < rows; ++i) {
        const QStringList cells = csv[i + 1].split(QLatin1Char(','));
        QCOMPARE(cells.size(), 5);
        for (int col = 0; col < 5; ++col) QCOMPARE(cells[col], list->item(i, col)->text().trimmed());
    }
}

Row lines(const UndCase& c) { return {{"lines"}, lineSteps(c), "TfLineSpectrum", 10, 0, nullptr, listCells}; }

// A K scan against K or a gap scan against photon energy.
Row tune(const UndCase& c, bool kScan) {
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
    // 101 points a harmonic, each line two 23-character fields and CR LF
    Extra size = [](World& x, const Row&, const Outcome&) {
        QCOMPARE(QFileInfo(x.dir.filePath(QStringLiteral("cli.txt"))).size(),
                 qint64(x.w().lineSpectrum->list().harmonics().size() * 101 * 48));
    };
    return {{"tune"}, s, "TfLineSpectrum", 0, 0, "TfLineSpectrum", size};
}

// A permanent-magnet undulator, and an electromagnet with the field typed into the box:
// K = 93.4 B lambda_u for the latter.
Row spUndulator(const char* source, const char* field) {
    std::vector<Step> s = {
        linac(), {"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "--source", source}, {"TfSPUnd", ""}};
    if (field) {  // typed into the box in place of the activation's calculation
        s.back() = {"TfSPUnd", "Wfield", "--field", field};
        s.push_back({"TfSPUnd", "tbRecalc"});
    }
    Extra k = [](World&, const Row&, const Outcome& o) {
        QCOMPARE(o.results.value("Kpar").toObject().value("value").toDouble(), 93.44 * 0.45 * 0.1);
    };
    return {{"sp-undulator"}, s, "TfSPUnd", 9, 0, nullptr, field ? k : nullptr};
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
       const char* angleField = nullptr, const char* angleOption = nullptr, const char* angle = nullptr,
       int messages = 0) {
    std::vector<Step> s = {linac(),
                           {"TfStart", "TR"},
                           {"TfTR", ""},
                           {"TfTR", unitButton, "--unit", unit},
                           {"TfTR", coherent ? "RBcoherent" : "RBincoh"},
                           {"TfTR", "EdtPhEn", "--photon", photon},
                           {"TfTR", "EdtBnWdth", "--bandwidth", bw}};
    if (angleField) s.push_back({"TfTR", angleField, angleOption, angle});
    s.push_back({"TfTR", "Calculate"});
    QStringList cmd{"tr"};
    if (!coherent) cmd << "--incoherent";
    return {cmd, s, "TfTR", 13, messages, nullptr, trList};
}

Row formFactor(const char* shapeButton, const char* shape, const char* wavelength, const char* from,
               const char* to, const char* step, int messages = 0) {
    return {{"form-factor"},
            {linac(),
             {"TfStart", "FF"},
             {"TfFormFctr", "cbSave"},
             {"TfFormFctr", shapeButton, "--shape", shape},
             {"TfFormFctr", "wavelen", "--wavelength", wavelength},
             {"TfFormFctr", "Eminwvn", "--from", from},
             {"TfFormFctr", "Emaxwvn", "--to", to},
             {"TfFormFctr", "Edelwvn", "--step", step},
             {"TfFormFctr", "CalcSpectrum"}},
            "TfFormFctr",
            1 - messages,
            messages,
            "TfFormFctr"};
}

const UndCase kUnd[] = {
    {"Diamond", "hybrid undulator U35", "1", "1.0", "0.1", "1", "9", "rgQuantity0"},
    {"ESRF-EBS", "in-vacuum undulator U20", "3", "30", "0.5", "3", "15", "rgQuantity3"},
    {"BESSY II", "REC undulator U50", "5", "10", "0.01", "1", "29", "rgQuantity2"},
    {"PETRA III", "XFEL undulator U40", "2", "0", "1", "5", "1", "rgQuantity1"},
};

const std::vector<Row>& rows() {
    static const std::vector<Row> r = [] {
        std::vector<Row> v = {
            bend("Diamond", "Diamond dipole 1.4 T", "1.0", "0.1", "0.0", "1.0", "90.0"),  // the design texts
            bend("Diamond", "Diamond dipole 1.4 T", "0.5", "0.01", "0.5", "10", "30"),
            bend("Diamond", "Diamond dipole 1.4 T", "1e7", "1", "2", "0",
                 "45"),  // photon energy held at 1e-6 eps_c
            bend("ESRF-EBS", "ESRF dipole 0.86 T", "2.5", "0.1", "0.3", "25", "10"),
            bend("BESSY II", "NSLS-II dipole 0.4 T", "100", "0.1", "0", "1", "90"),
            spectrum("rgSpectrumItem0", false, "10.0", "25000.0", "5.0", "0.0", "0.1"),  // the design texts
            spectrum("rgSpectrumItem1", false, "100", "50000", "3", "0.0", "0.1"),
            spectrum("rgSpectrumItem2", false, "50", "30000", "7", "0.8", "0.5"),
            spectrum("rgSpectrumItem3", false, "10", "40000", "10", "0.5", "0.1"),
            spectrum("rgSpectrumItem4", false, "10", "40000", "10", "1.5", "0.1"),
            spectrum("rgSpectrumItem5", false, "10", "100000", "4", "0.0", "0.1"),
            spectrum("rgSpectrumItem3", true, "10", "25000", "5", "0.0",
                     "0.1"),  // the angle scan's design texts
            spectrum("rgSpectrumItem4", true, "10", "25000", "5", "0.0", "0.1", "8000", "3.0", "0.05"),
            // spectrum on a wiggler record follows the wiggler's calculation into wiggler mode
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
             "TfSynSpectrum"},
            wiggler("EM wiggler W200", "0", "1.0", "0.1", "1.0"),
            wiggler("EM wiggler W200", "3.5", "0.3", "1", "0"),
            wiggler("hybrid wiggler W150", "-2", "2.5", "0.05", "20"),
            wiggler("REC wiggler W80", "1", "1.0", "0.1", "10"),
            functionRow({"J"}, {{"TfBesFun", "BsOrd", "--order", "3"}, {"TfBesFun", "BsArg", "--x", "2.5"}},
                        1),
            functionRow({"J"}, {{"TfBesFun", "BsOrd", "--order", "2"}, {"TfBesFun", "BsArg", "--x", "1e-30"}},
                        1),
            functionRow({"K13"}, {{"TfBesFun", "MBsArg", "--x", "1"}}, 2),
            functionRow({"Ai"}, {{"TfBesFun", "AiryArg", "--x", "0.5"}}, 2),
            functionRow({"S"}, {{"TfBesFun", "UFArg", "--x", "3"}}, 1),
            functionRow({"S"}, {{"TfBesFun", "UFArg", nullptr, "0"}}, 1),
            functionRow({"JJ"}, {{"TfBesFun", "JJh", "--harmonic", "3"}, {"TfBesFun", "JJK", "--K", "1"}}, 3),
            spUndulator("hybrid undulator U35", nullptr),
            spUndulator("EM undulator U100", "0.45"),
            tr("RBeV", "eV", "1.0", "0.001", true),                        // the design texts
            tr("RBm", "m", "0", "", false, nullptr, nullptr, nullptr, 2),  // messages, and it goes on
            tr("RBcm", "1/cm", "10", "0.01", true, "EdtAngAccmr", "--angle-mrad", "~10"),
            tr("RBTHz", "THz", "0.5", "0.1", false, "EdtAngAccGam", "--angle-gamma", "~3"),
            // clamped at 90 degrees with a note
            tr("RBAng", "A", "5000", "0.001", true, "EdtAngAccGam", "--angle-gamma", "~1e6", 1),
            formFactor("isgaussian", "gaussian", "100", "0", "100", "1.0"),  // the design texts
            formFactor("isuniform", "uniform", "3000", "0", "1000", "2.5"),
            formFactor("isgaussian", "gaussian", "50", "20", "600", "0.7"),
            formFactor("isuniform", "uniform", "999.99", "-50", "50", "0.5", 1),  // select valid wavelength
        };
        for (const UndCase& c : kUnd)
            v.insert(v.end(), {undulator(c), flux(c), lines(c), tune(c, true), tune(c, false)});
        return v;
    }();
    return r;
}

QString dataFile() { return QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"); }
const QStringList kBend = {"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"};

// Half a unit in the last digit the text shows: "8.379" 0.0005, "4.52E+13" 5e10.
double halfLastDigit(const QString& text) {
    const QString t = text.trimmed();
    const int e = t.indexOf(QLatin1Char('E'));
    const QString mantissa = e < 0 ? t : t.left(e);
    const int dot = mantissa.indexOf(QLatin1Char('.'));
    const int decimals = dot < 0 ? 0 : int(mantissa.size()) - dot - 1;
    return 0.5 * std::pow(10.0, (e < 0 ? 0 : t.mid(e + 1).toInt()) - decimals);
}

}  // namespace

class CliWindow : public QObject {
    Q_OBJECT
private slots:
    void sameAsTheWindow_data();
    void sameAsTheWindow();
    void bendJsonValuesAreItsTexts();
    void setOverridesOnlyThisRun();
    void refusalsAndExitStatus();
    void refusalSameMessageAsTheWindow();
    void missingCatalogueSeededAsTheProgramSeedsIt();
    void optionsHelpAndFormats();
    void beamAsTheEditorShowsIt();
};

void CliWindow::sameAsTheWindow_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(rows().size()); ++i)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(i).arg(argsOf(rows()[i]).join(' ')))) << i;
}

void CliWindow::sameAsTheWindow() {
    QFETCH(int, row);
    check(rows()[row]);
}

// The JSON's label and unit are the field's; its value, in the unit without prefix, rounds to
// the text shown; the readable table has a line per field, caption, text and unit.
void CliWindow::bendJsonValuesAreItsTexts() {
    World x;
    for (const Row& row : rows()) {
        if (row.cmd[0] != QLatin1String("bend")) continue;
        const CliRun run = x.cli(argsOf(row) << QStringLiteral("--json"));
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        const QJsonObject results = run.json().value("results").toObject();
        QCOMPARE(results.size(), int(BendingMagnetFields().size()));
        for (const BendingMagnetField& f : BendingMagnetFields()) {
            const QJsonObject r = results.value(QString::fromLatin1(f.name)).toObject();
            QCOMPARE(r.value("label").toString(), QString::fromUtf8(f.label));
            QCOMPARE(r.value("unit").toString(), QString::fromUtf8(f.unit));
            const QString text = r.value("text").toString(), shownUnit = r.value("shown_unit").toString();
            if (text.trimmed().isEmpty()) {
                QVERIFY(r.value("value").isNull());
                continue;
            }
            static const std::map<std::string, double> prefixes = {
                {"", 1}, {"k", 1e3}, {"M", 1e6}, {"G", 1e9}, {"T", 1e12}};
            const std::string prefix = shownUnit.toStdString().substr(
                0, shownUnit.toUtf8().size() - std::string(f.designUnit).size());
            QVERIFY2(prefixes.count(prefix), prefix.c_str());
            double factor = prefixes.at(prefix);
            if (std::string(f.name) == "Lamcrit") factor = 1e-10;  // shown in Angstrom, value in m
            if (std::string(f.name) == "edSigPsi") factor = 1e-3;  // shown in mrad, value in rad
            const double shown = text.trimmed().toDouble() * factor, value = r.value("value").toDouble();
            // texts keep at most four significant digits (fixed(4, d) may show fewer than its decimals)
            const double tolerance =
                std::max(halfLastDigit(text) * factor, std::fabs(shown) * 5e-4) * 1.000001;
            QVERIFY2(std::fabs(value - shown) <= tolerance,
                     qPrintable(
                         QStringLiteral("%1: %2 vs %3").arg(f.name, QString::number(value, 'g', 17), text)));
        }
        const CliRun table = x.cli(argsOf(row));
        QCOMPARE(table.status, 0);
        const QStringList lines = table.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), int(BendingMagnetFields().size()));
        const QJsonObject crit = results.value("Ephcrit").toObject();
        for (const QString& line : lines)
            if (line.startsWith(QStringLiteral("critical photon energy ")))
                QVERIFY(
                    line.endsWith(crit.value("text").toString() + " " + crit.value("shown_unit").toString()));
    }
}

void CliWindow::setOverridesOnlyThisRun() {
    World x;
    const QByteArray before = fileHash(x.catalogue());
    // 3 GeV, 1.2 T: eps_c = 665 * 9 * 1.2 = 7182 eV; 6 GeV, 1.2 T: 665 * 36 * 1.2 = 28728 eV
    struct Case {
        QStringList sets;
        std::map<const char*, const char*> texts;
    } cases[] = {
        {{}, {{"Ephcrit", "8.379"}, {"edRigidity", "  10.007"}}},
        {{"Field=1.2"}, {{"Ephcrit", "7.182"}, {"edRigidity", "  10.007"}}},
        {{"Field=1.2", "Energy=6"}, {{"Ephcrit", "28.73"}, {"edRigidity", "  20.014"}}},
        {{"field=1.2", "ENERGY=6"}, {{"Ephcrit", "28.73"}}},  // field names ignore case, as the catalogue's
    };
    for (const Case& c : cases) {
        QStringList args = kBend + QStringList{"--json"};
        for (const QString& s : c.sets) args << "--set" << s;
        const CliRun run = x.cli(args);
        QVERIFY2(run.status == 0, run.err.constData());
        const QJsonObject r = run.json().value("results").toObject();
        QCOMPARE(r.value("Ephcrit").toObject().value("shown_unit").toString(), QStringLiteral("keV"));
        for (const auto& [name, text] : c.texts)
            QCOMPARE(r.value(name).toObject().value("text").toString(), QString::fromLatin1(text));
    }
    // the record itself is unchanged: a run without --set gives the stored field again
    QCOMPARE(fileHash(x.catalogue()), before);
    const CliRun again = x.cli({"beam", "Diamond", "--json"});
    QCOMPARE(again.json().value("results").toObject().value("Energy").toObject().value("text").toString(),
             QStringLiteral("3"));
}

void CliWindow::refusalsAndExitStatus() {
    World x;
    const QByteArray before = fileHash(x.catalogue());
    QTemporaryDir tmp;
    QFile damaged(tmp.filePath("damaged.sqlite"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is not a catalogue at all, only some text\n");
    damaged.close();
    const QByteArray damagedHash = fileHash(damaged.fileName());

    // Arguments and the texts stderr holds, each separated by '|'; @bend, @spectrum, @und and
    // @linac stand for the beam and source options every case of that kind needs.
    const std::map<QString, QStringList> shorthand = {
        {"@bend", kBend},
        {"@spectrum", {"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"}},
        {"@und", {"--beam", "Diamond", "--source", "hybrid undulator U35"}},
        {"@linac", {"--beam", "FLASH"}}};
    const std::tuple<int, const char*, const char*> cases[] = {
        {2, "@bend|--wavelength|1,5", "lumerad-cli: '1,5' is not a valid floating point value"},
        {2, "@bend|--distance|", "'' is not a valid floating point value"},
        {2, "bend|--beam|Nowhere|--source|Diamond dipole 1.4 T",
         "there is no circulating beam named \"Nowhere\"|\n  Diamond\n|\n  ESRF-EBS\n"},
        {2, "bend|--beam|Diamond|--source|Nowhere",
         "there is no source named \"Nowhere\"|\n  Diamond dipole 1.4 T\n"},
        {2, "bend|--beam|LCLS|--source|Diamond dipole 1.4 T", "no circulating beam named \"LCLS\""},
        {2, "bend|--source|Diamond dipole 1.4 T", "no circulating beam given: name one with --beam NAME"},
        {2, "bend|--beam|Diamond", "no source given: name one with --source NAME"},
        {2, "@bend|--set|Bogus=1",
         "unknown field \"Bogus\"|fields of the beam: SR, Energy, Cur|fields of the source: Name, MagType"},
        {2, "@bend|--set|Field", "--set needs FIELD=VALUE"},
        {2, "@bend|--set|Field=abc", "'abc' is not a valid floating point value"},
        {2, "@bend|--set|Gamma=3", "Field 'Gamma' cannot be modified"},
        {2, "@bend|--set|Field=0", "Field: the magnetic field must be above 0 T"},
        {2, "@bend|--set|Field=-1.4", "Field: the magnetic field must be above 0 T"},
        {2, "@bend|--set|Cur=-1", "Cur: the current must not be negative"},
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
        {2, "wiggler|--beam|Diamond|--source|EM wiggler W200|--angle|-6", kZeroFluxText},
        {2, "function|Ai", "x must be > 0 !"},
        {2, "function|J|--x|-1", "x > 0 !"},
        {2, "function|J|--order|2147483647|--x|1", "n < = 10000 !"},
        {2, "function|JJ|--harmonic|-1|--K|1", "h must be > = 0"},
        {2, "function|S|--x|abc", "'abc' is not a valid floating point value"},
        {2, "function|Q", "unknown function \"Q\""},
        {2, "function", "name one function"},
        {2, "undulator|--beam|Diamond|--source|Diamond dipole 1.4 T", "Source is not a wiggler/undulator"},
        {2, "undulator|@und|--harmonic|0", "the harmonic number must be 1 or more!"},
        {2, "lines|@und|--to-harmonic|30", "harmonics must be an odd number < 30 !"},
        {2, "lines|@und|--from-harmonic|2|--to-harmonic|9",
         "the first harmonic must be an odd number from 1 to 29 !"},
        {2, "lines|@und|--quantity|7", "unknown quantity"},
        {2, "tune|--beam|Diamond|--source|EM undulator U100|--scan|K", "permanent-magnet undulator"},
        {2, "tune|@und|--scan|phase", "unknown scan"},
        {2, "form-factor|@linac|--scan|--step|0", "the increment must be greater than 0!"},
        {2, "form-factor|@linac|--shape|round", "unknown shape"},
        {2, "tr|@linac|--unit|1/cm|--photon|0", "select photon energy !"},
        {2, "tr|@linac|--unit|furlong", "unknown unit"},
        {2, "tr|@linac|--angle-gamma|1|--angle-mrad|1", "choose one of"},
        {2, "tr|@linac|--set|Energy=0.4", "above the electron rest energy"},
        {2, "sp-undulator|@linac|--source|EM undulator U100", "is not a valid floating point value"},
        {2, "sp-undulator|--beam|no such linac|--source|EM undulator U100", "no such linac"},
    };
    for (const auto& [status, argText, errTexts] : cases) {
        QStringList args;
        if (*argText)
            for (const QString& a : QString::fromUtf8(argText).split(QLatin1Char('|')))
                args += shorthand.count(a) ? shorthand.at(a) : QStringList{a};
        const CliRun run = x.cli(args);
        QVERIFY2(run.status == status, qPrintable(args.join(' ') + ": " + run.errText()));
        QVERIFY2(run.out.isEmpty(), argText);
        for (const QString& t : QString::fromUtf8(errTexts).split(QLatin1Char('|')))
            QVERIFY2(run.errText().contains(t), qPrintable(run.errText()));
    }
    const QStringList spectrumArgs = shorthand.at("@spectrum");
    // a damaged catalogue or a missing table of functions: status 1, and the file stays as it was
    const CliRun bad = runCli(QStringList{"--catalogue", damaged.fileName(), "--data", dataFile()} + kBend);
    QCOMPARE(bad.status, 1);
    QVERIFY2(bad.errText().contains("cannot be used: it is not a catalogue database"), bad.err.constData());
    QCOMPARE(fileHash(damaged.fileName()), damagedHash);
    const CliRun noData =
        runCli(QStringList{"--catalogue", x.catalogue(), "--data", tmp.filePath("none.txt")} + kBend);
    QCOMPARE(noData.status, 1);
    QVERIFY(!noData.err.isEmpty());
    // the step message is a note, and the spectrum goes on with 0.1 %: 1000 * 1.001^k <= 1100 for k = 0 .. 95
    const CliRun step =
        x.cli(spectrumArgs + QStringList{"--from", "1000", "--to", "1100", "--step", "0.05", "--csv"});
    QCOMPARE(step.status, 0);
    QCOMPARE(step.errText(), QStringLiteral("note: step size too small! will be set to 0.1%!\n"));
    QCOMPARE(step.outText().split('\n', Qt::SkipEmptyParts).size(), 1 + 96);
    QCOMPARE(fileHash(x.catalogue()), before);
}

// The window's own message for the same bad text, word for word.
void CliWindow::refusalSameMessageAsTheWindow() {
    World x;
    x.acceptRing(QStringLiteral("Diamond"));
    buttonByText(x.w().start, QStringLiteral("bend magnet"))->click();
    apply(x, {"TfSynRad", "DBGrid1", nullptr, "Diamond dipole 1.4 T"});
    const std::array<const char*, 3> cases[] = {
        {"WaveLength", "--wavelength", "1,5"},      {"edBandW", "--bandwidth", "abc"},
        {"VerObsAng", "--vertical-angle", "1e999"}, {"edDist", "--distance", ""},
        {"edIncAng", "--incidence-angle", "9O"},    {"WaveLength", "--wavelength", "0"}};
    for (const auto& [field, option, text] : cases) {
        QLineEdit* e = child<QLineEdit>(x.w().synRad, field);
        const QString kept = e->text();
        x.messages.clear();
        e->setText(QString::fromLatin1(text));
        child<QAbstractButton>(x.w().synRad, "tbRecalc")->click();
        e->setText(kept);
        QCOMPARE(x.texts().size(), size_t(1));
        const CliRun run = x.cli(kBend + QStringList{option, text});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.errText(),
                 QStringLiteral("lumerad-cli: ") + QString::fromStdString(x.texts()[0]) + "\n");
    }
}

void CliWindow::missingCatalogueSeededAsTheProgramSeedsIt() {
    QTemporaryDir tmp;
    const QString fresh = tmp.filePath("sub/new.sqlite");
    const CliRun run = runCli({"beams", "--catalogue", fresh});
    QVERIFY2(run.status == 0, run.err.constData());
    QVERIFY(QFile::exists(fresh));
    // the same rows in the three tables as the program's own first start
    auto dump = [](const QString& file) {
        QStringList rows;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dump");
            db.setDatabaseName(file);
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            if (!db.open()) return rows;
            for (const char* t : {"SR_ring", "Sngl_pass", "Rad_Srce"}) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY id").arg(t));
                while (q.next()) {
                    QStringList v;
                    for (int i = 0; i < q.record().count(); ++i) v << q.value(i).toString();
                    rows << QString::fromLatin1(t) + ": " + v.join('|');
                }
            }
        }
        QSqlDatabase::removeDatabase("dump");
        return rows;
    };
    const QString programFile = tmp.filePath("program.sqlite");
    {
        Session session;
        RecordingMessages messages;
        TSRModule module(session, messages, programFile);  // as the program opens a missing file
    }
    const QStringList fromCli = dump(fresh);
    QVERIFY(fromCli.size() > 20);
    QCOMPARE(fromCli, dump(programFile));
    for (const char* name : {"Diamond", "ESRF-EBS", "European XFEL", "LCLS"})
        QVERIFY(run.outText().contains(name));
}

void CliWindow::optionsHelpAndFormats() {
    World x;
    const QString cat = x.catalogue();
    // the common options before and after the subcommand give the same answer
    const CliRun after = runCli(kBend + QStringList{"--json", "--catalogue", cat, "--data", dataFile()});
    const CliRun before = runCli(QStringList{"--json", "--catalogue", cat, "--data", dataFile()} + kBend);
    QCOMPARE(after.status, 0);
    QCOMPARE(before.out, after.out);
    QCOMPARE(after.json().value("inputs").toObject().value("distance").toString(), QStringLiteral("1.0"));
    struct Case {
        QStringList args;
        QStringList outHas;
    } cases[] = {
        {{"--help"}, {"Usage: lumerad-cli", "beams", "sources", "beam", "bend", "spectrum"}},
        {{"bend", "--help"},
         {"Usage: lumerad-cli bend", "--wavelength", "--incidence-angle", "--set", "--catalogue"}},
        {{"spectrum", "--help"}, {"--quantity", "--vs-angle", "--output"}},
        {{"--version"}, {"lumerad-cli "}},
        {{"sources", "--kind", "wig", "--catalogue", cat},
         {"EM wiggler W200", "hybrid wiggler W150", "REC wiggler W80"}},
        // exp(-2 pi (60 um / 3 mm)^2) = 0.9975
        {x.cliCatalogue() + QStringList{"form-factor", "--beam", "FLASH", "--wavelength", "3000"},
         {"the form factor for a gaussian beam is    0.997"}},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.args);
        QVERIFY2(run.status == 0, qPrintable(c.args.join(' ') + ": " + run.errText()));
        for (const QString& s : c.outHas) QVERIFY2(run.outText().contains(s), qPrintable(run.outText()));
    }
    const CliRun wigglers = runCli({"sources", "--kind", "Wig", "--csv", "--catalogue", cat});
    const QStringList lines = wigglers.outText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral("name,kind,magnet,design,field (T),gap (mm),period (mm),poles"));
    QVERIFY(lines.contains(QStringLiteral("hybrid wiggler W150,Wig,PM,hybrid,1.66,20,150,26")));
    // --set before the subcommand, and given twice
    const CliRun setFirst =
        runCli(QStringList{"--set", "Field=1.2", "--catalogue", cat, "--data", dataFile()} + kBend +
               QStringList{"--json"});
    QVERIFY2(setFirst.status == 0, setFirst.err.constData());
    QCOMPARE(setFirst.json().value("results").toObject().value("Ephcrit").toObject().value("text").toString(),
             QStringLiteral("7.182"));
    const CliRun sets = x.cli(kBend + QStringList{"--json", "--set", "Field=1.2", "--set", "Cur=100"});
    QCOMPARE(sets.json().value("inputs").toObject().value("set").toArray().size(), 2);
    const CliRun csv = x.cli({"form-factor", "--beam", "FLASH", "--scan", "--to", "10", "--csv"});
    QCOMPARE(csv.status, 0);
    QCOMPARE(csv.outText().count(QLatin1Char('\n')), 13);  // header, k = 0 .. 11
}

void CliWindow::beamAsTheEditorShowsIt() {
    World x;
    x.acceptRing(QStringLiteral("Diamond"));
    const CliRun run = x.cli({"beam", "Diamond", "--json"});
    QVERIFY2(run.status == 0, run.err.constData());
    const QJsonObject r = run.json().value("results").toObject();
    // Diamond: 3 GeV, eps_x 2.7 nm rad, beta_x 10.6 m, eps_y 0.008 nm rad, beta_y 5.9 m, no dispersion
    const double sigX = std::sqrt(2.7e-9 * 10.6);
    const std::tuple<const char*, double, double> expected[] = {
        {"Gamma", 3.0 / 0.000511003, 1e-9},
        {"Sig_xb", sigX, 1e-15},
        {"Sig_yb", std::sqrt(0.008e-9 * 5.9), 1e-15},
        {"Sig_xp", std::sqrt(2.7e-9 / 10.6), 1e-15},
        {"Coupl", 0.008 / 2.7 * 100, 1e-12},
        {"Energy", 3e9, 1e-3},
        {"Cur", 0.3, 1e-15},
    };
    for (const auto& [name, value, tolerance] : expected)
        QVERIFY2(std::fabs(r.value(name).toObject().value("value").toDouble() - value) <= tolerance, name);
    // the texts of the editor's fields: gamma "0.00", sizes in um "0.00"
    QCOMPARE(r.value("Gamma").toObject().value("text").toString(), QStringLiteral("5870.81"));
    QCOMPARE(r.value("Sig_xb").toObject().value("text").toString(),
             QString::fromStdString(picture("0.00", sigX * 1e6)));
    QCOMPARE(r.value("Sig_xb").toObject().value("shown_unit").toString(), QStringLiteral("\u00b5m"));
    buttonByText(x.w().start, QStringLiteral("circulating beam"))->click();
    for (const char* f : {"Gamma", "Sig_xb", "Sig_yb", "Sig_xp", "Sig_yp", "Coupl", "Energy", "Cur"})
        QCOMPARE(r.value(f).toObject().value("text").toString(),
                 child<QLineEdit>(x.w().cbeam, (std::string("DBEdt") + f).c_str())->text());
    // a single-pass beam with its own rows; the unknown one lists the beams
    const CliRun lcls = x.cli({"beam", "LCLS", "--json"});
    QCOMPARE(lcls.status, 0);
    QVERIFY(lcls.json().value("results").toObject().contains("PeakCurrent"));
    const CliRun none = x.cli({"beam", "Nowhere"});
    QCOMPARE(none.status, 2);
    QVERIFY(none.errText().contains("\n  Diamond\n") && none.errText().contains("\n  LCLS\n"));
}

QTEST_MAIN(CliWindow)
#include "cli_test.moc"
