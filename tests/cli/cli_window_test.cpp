// lumerad-cli against the windows: the same cases through the bending-magnet and spectrum
// windows and through the command line give the same texts and the same file bytes; the
// JSON parses and its values agree with the texts; bad input, unknown names and unknown
// --set fields are refused with their messages and exit status; the catalogue file the
// program made is never written by the command line; a missing one is seeded as the
// program seeds it. Every run is a separate process without a display.
#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <map>

#include "../sources/bending_world.h"
#include "cli_support.h"
#include "numerics/number_text.h"
#include "sources/bending_magnet.h"

using namespace lumerad;
using namespace lumerad::bendtest;
using namespace lumerad::clitest;

namespace {

struct BendCase {
    const char* beam;
    const char* source;
    const char *wavelength, *bandwidth, *verticalAngle, *distance, *incidence;
};

const BendCase kBendCases[] = {
    {"Diamond", "Diamond dipole 1.4 T", "1.0", "0.1", "0.0", "1.0", "90.0"},  // the window's design texts
    {"Diamond", "Diamond dipole 1.4 T", "0.5", "0.01", "0.5", "10", "30"},
    {"Diamond", "Diamond dipole 1.4 T", "1e7", "1", "2", "0", "45"},  // photon energy held at 1e-6 eps_c
    {"ESRF-EBS", "ESRF dipole 0.86 T", "2.5", "0.1", "0.3", "25", "10"},
    {"BESSY II", "NSLS-II dipole 0.4 T", "100", "0.1", "0", "1", "90"},
};

// Makes `beam` the accepted circulating beam and `source` the current source, as a user does.
void choose(World& x, const char* beam, const char* source) {
    Windows& w = x.w();
    buttonByText(w.start, QStringLiteral("circulating beam"))->click();
    auto* ringGrid = w.cbeam->findChild<DBGrid*>();
    ringGrid->clickRow(rowOf(ringGrid, QString::fromUtf8(beam)));
    child<QAbstractButton>(w.cbeam, "bbAccept")->click();
    buttonByText(w.start, QStringLiteral("bend magnet"))->click();
    auto* grid = child<DBGrid>(w.synRad, "DBGrid1");
    grid->clickRow(rowOf(grid, QString::fromUtf8(source)));
}

QString catalogueOf(World& x) { return x.dir.filePath(QStringLiteral("catalogue.sqlite")); }
QString dataFile() { return QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"); }

QStringList common(World& x) {
    return {QStringLiteral("--catalogue"), catalogueOf(x), QStringLiteral("--data"), dataFile()};
}

// Half a unit in the last digit the text shows: "8.379" 0.0005, "4.52E+13" 5e10, "1.014E13" 5e9.
double halfLastDigit(const QString& text) {
    const QString t = text.trimmed();
    const int e = t.indexOf(QLatin1Char('E'));
    const QString mantissa = e < 0 ? t : t.left(e);
    const int exp = e < 0 ? 0 : t.mid(e + 1).toInt();
    const int dot = mantissa.indexOf(QLatin1Char('.'));
    const int decimals = dot < 0 ? 0 : int(mantissa.size()) - dot - 1;
    return 0.5 * std::pow(10.0, exp - decimals);
}

double prefixFactor(const std::string& prefix) {
    static const std::map<std::string, double> f = {{"", 1}, {"k", 1e3}, {"M", 1e6}, {"G", 1e9}, {"T", 1e12}};
    auto it = f.find(prefix);
    if (it == f.end()) qFatal("unknown prefix %s", prefix.c_str());
    return it->second;
}

// The spectrum file the window writes and the one of --output, for one set of window inputs.
struct SpectrumCase {
    int item;
    bool vsAngle;
    const char *from, *to, *step, *verticalAngle;
    const char *photonEnergy, *maxAngle, *angleStep;
    const char* bandwidth;
};

const SpectrumCase kSpectrumCases[] = {
    {0, false, "10.0", "25000.0", "5.0", "0.0", "100", "1.0", "0.1", "0.1"},  // the design texts
    {1, false, "100", "50000", "3", "0.0", "100", "1.0", "0.1", "0.1"},
    {2, false, "50", "30000", "7", "0.8", "100", "1.0", "0.1", "0.5"},
    {3, false, "10", "40000", "10", "0.5", "100", "1.0", "0.1", "0.1"},
    {4, false, "10", "40000", "10", "1.5", "100", "1.0", "0.1", "0.1"},
    {5, false, "10", "100000", "4", "0.0", "100", "1.0", "0.1", "0.1"},
    {3, true, "10", "25000", "5", "0.0", "100", "1.0", "0.1", "0.1"},  // the angle scan's design texts
    {4, true, "10", "25000", "5", "0.0", "8000", "3.0", "0.05", "0.1"},
};

}  // namespace

class CliWindow : public QObject {
    Q_OBJECT
private slots:
    void bendSameTextsAsWindow();
    void setOverridesOnlyThisRun();
    void spectrumSameAsWindow();
    void refusalsAndExitStatus();
    void missingCatalogueSeededAsTheProgramSeedsIt();
    void optionsHelpAndFormats();
    void beamAsTheEditorShowsIt();
};

void CliWindow::bendSameTextsAsWindow() {
    World x;
    const QByteArray before = fileHash(catalogueOf(x));
    for (const BendCase& c : kBendCases) {
        choose(x, c.beam, c.source);
        TfSynRad* win = x.w().synRad;
        const std::pair<const char*, const char*> inputs[] = {{"WaveLength", c.wavelength},
                                                              {"edBandW", c.bandwidth},
                                                              {"VerObsAng", c.verticalAngle},
                                                              {"edDist", c.distance},
                                                              {"edIncAng", c.incidence}};
        for (const auto& [name, text] : inputs)
            child<QLineEdit>(win, name)->setText(QString::fromLatin1(text));
        child<QAbstractButton>(win, "tbRecalc")->click();
        QCOMPARE(x.texts(), std::vector<std::string>{});

        const CliRun run =
            runCli(common(x) + QStringList{"bend", "--json", "--beam", c.beam, "--source", c.source,
                                           "--wavelength", c.wavelength, "--bandwidth", c.bandwidth,
                                           "--vertical-angle", c.verticalAngle, "--distance", c.distance,
                                           "--incidence-angle", c.incidence});
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY(run.err.isEmpty());
        const QJsonObject json = run.json();
        QCOMPARE(json.value("command").toString(), QStringLiteral("bend"));
        QCOMPARE(json.value("inputs").toObject().value("wavelength").toString(),
                 QString::fromLatin1(c.wavelength));
        const QJsonObject results = json.value("results").toObject();
        QCOMPARE(results.size(), int(BendingMagnetFields().size()));
        for (const BendingMagnetField& f : BendingMagnetFields()) {
            const QJsonObject r = results.value(QString::fromLatin1(f.name)).toObject();
            const QString text = child<QLineEdit>(win, f.name)->text();
            const QString shownUnit =
                *f.unitLabel ? child<QLabel>(win, f.unitLabel)->text() : QString::fromUtf8(f.designUnit);
            QCOMPARE(r.value("text").toString(), text);
            QCOMPARE(r.value("shown_unit").toString(), shownUnit);
            QCOMPARE(r.value("label").toString(), QString::fromUtf8(f.label));
            QCOMPARE(r.value("unit").toString(), QString::fromUtf8(f.unit));
            // the value, written in the unit without prefix, rounds to the text shown
            if (text.trimmed().isEmpty()) {
                QVERIFY(r.value("value").isNull());
                continue;
            }
            const std::string prefix = shownUnit.toStdString().substr(
                0, shownUnit.toUtf8().size() - std::string(f.designUnit).size());
            double factor = prefixFactor(prefix);
            if (std::string(f.name) == "Lamcrit") factor = 1e-10;  // shown in Angstrom, value in m
            if (std::string(f.name) == "edSigPsi") factor = 1e-3;  // shown in mrad, value in rad
            const double shown = text.trimmed().toDouble() * factor;
            const double value = r.value("value").toDouble();
            // texts keep at most four significant digits (fixed(4, d) may show fewer than its decimals)
            const double tolerance =
                std::max(halfLastDigit(text) * factor, std::fabs(shown) * 5e-4) * 1.000001;
            QVERIFY2(std::fabs(value - shown) <= tolerance,
                     qPrintable(
                         QStringLiteral("%1: %2 vs %3").arg(f.name, QString::number(value, 'g', 17), text)));
        }
        // the readable table: caption, the text as shown, the unit label
        const CliRun table =
            runCli(common(x) + QStringList{"bend", "--beam", c.beam, "--source", c.source, "--wavelength",
                                           c.wavelength, "--bandwidth", c.bandwidth, "--vertical-angle",
                                           c.verticalAngle, "--distance", c.distance, "--incidence-angle",
                                           c.incidence});
        QCOMPARE(table.status, 0);
        const QStringList lines = table.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), int(BendingMagnetFields().size()));
        for (const QString& line : lines) {
            const QString ephcrit = results.value("Ephcrit").toObject().value("text").toString();
            if (line.startsWith(QStringLiteral("critical photon energy ")))
                QVERIFY(line.endsWith(ephcrit + " " +
                                      results.value("Ephcrit").toObject().value("shown_unit").toString()));
        }
    }
    QCOMPARE(fileHash(catalogueOf(x)), before);
}

void CliWindow::setOverridesOnlyThisRun() {
    World x;
    const QByteArray before = fileHash(catalogueOf(x));
    // 3 GeV, 1.2 T: eps_c = 665 * 9 * 1.2 = 7182 eV; 6 GeV, 1.2 T: 665 * 36 * 1.2 = 28728 eV
    struct Case {
        QStringList sets;
        const char* ephcrit;
        const char* rigidity;
    } cases[] = {
        {{}, "8.379", "  10.007"},
        {{"Field=1.2"}, "7.182", "  10.007"},
        {{"Field=1.2", "Energy=6"}, "28.73", "  20.014"},
        {{"field=1.2", "ENERGY=6"}, "28.73", "  20.014"},  // field names ignore case, as the catalogue's
    };
    for (const Case& c : cases) {
        QStringList args = common(x) + QStringList{"bend",    "--json",   "--beam",
                                                   "Diamond", "--source", "Diamond dipole 1.4 T"};
        for (const QString& s : c.sets) args << "--set" << s;
        const CliRun run = runCli(args);
        QVERIFY2(run.status == 0, run.err.constData());
        const QJsonObject r = run.json().value("results").toObject();
        QCOMPARE(r.value("Ephcrit").toObject().value("text").toString(), QString::fromLatin1(c.ephcrit));
        QCOMPARE(r.value("Ephcrit").toObject().value("shown_unit").toString(), QStringLiteral("keV"));
        QCOMPARE(r.value("edRigidity").toObject().value("text").toString(), QString::fromLatin1(c.rigidity));
    }
    // a field the catalogue refuses is refused here too, with the text a post gives
    const CliRun negative = runCli(common(x) + QStringList{"bend", "--json", "--beam", "Diamond", "--source",
                                                           "Diamond dipole 1.4 T", "--set", "Field=-1.4"});
    QCOMPARE(negative.status, 2);
    QVERIFY2(negative.errText().contains(QStringLiteral("Field: the magnetic field must be above 0 T")),
             negative.err.constData());
    QCOMPARE(fileHash(catalogueOf(x)), before);
    // the record itself is unchanged: a run without --set gives the stored field again
    const CliRun again = runCli(common(x) + QStringList{"beam", "Diamond", "--json"});
    QCOMPARE(again.json().value("results").toObject().value("Energy").toObject().value("text").toString(),
             QStringLiteral("3"));
}

void CliWindow::spectrumSameAsWindow() {
    World x;
    child<QAbstractButton>(x.w().synRad, "tbSpectrum")->click();
    TfSynSpectrum* s = x.w().synSpectrum;
    const QByteArray before = fileHash(catalogueOf(x));
    int n = 0;
    for (const SpectrumCase& c : kSpectrumCases) {
        child<QRadioButton>(s, ("rgSpectrumItem" + std::to_string(c.item)).c_str())->click();
        if (c.vsAngle) child<QRadioButton>(s, "rbVsAng")->click();
        const std::pair<const char*, const char*> inputs[] = {
            {"e_phmin", c.from},         {"e_phmax", c.to},          {"De_ph", c.step},
            {"edVAng", c.verticalAngle}, {"edPhEn", c.photonEnergy}, {"edAngMax", c.maxAngle},
            {"edDAng", c.angleStep},     {"BW", c.bandwidth}};
        for (const auto& [name, text] : inputs) child<QLineEdit>(s, name)->setText(QString::fromLatin1(text));
        child<QCheckBox>(s, "cbSave")->setChecked(true);
        const QString windowFile = x.dir.filePath(QStringLiteral("window%1.txt").arg(n));
        const QString cliFile = x.dir.filePath(QStringLiteral("cli%1.txt").arg(n++));
        x.dialogs.fileNames.push_back(windowFile);
        child<QPushButton>(s, "bbShowGraph")->click();
        QCOMPARE(x.texts(), std::vector<std::string>{});
        QFile wf(windowFile);
        QVERIFY(wf.open(QIODevice::ReadOnly));
        const QByteArray windowBytes = wf.readAll();

        QStringList args = common(x) + QStringList{"spectrum",
                                                   "--beam",
                                                   "Diamond",
                                                   "--source",
                                                   "Diamond dipole 1.4 T",
                                                   "--quantity",
                                                   QString::number(c.item),
                                                   "--from",
                                                   c.from,
                                                   "--to",
                                                   c.to,
                                                   "--step",
                                                   c.step,
                                                   "--vertical-angle",
                                                   c.verticalAngle,
                                                   "--bandwidth",
                                                   c.bandwidth,
                                                   "--output",
                                                   cliFile,
                                                   "--json"};
        if (c.vsAngle)
            args << "--vs-angle"
                 << "--photon-energy" << c.photonEnergy << "--max-angle" << c.maxAngle << "--angle-step"
                 << c.angleStep;
        const CliRun run = runCli(args);
        QVERIFY2(run.status == 0, run.err.constData());
        QFile cf(cliFile);
        QVERIFY(cf.open(QIODevice::ReadOnly));
        QCOMPARE(cf.readAll(), windowBytes);

        // every point of the JSON columns, written as the file writes numbers, is the file's line
        const QList<QByteArray> lines = windowBytes.split('\n');
        const QJsonArray columns = run.json().value("columns").toArray();
        QCOMPARE(columns.size(), (c.item == 3 || c.item == 4) ? 3 : 2);
        const int points = columns[0].toObject().value("values").toArray().size();
        QCOMPARE(points,
                 int(lines.size()) - 3);  // title, column line, points, the empty rest after the last CR LF
        for (int i = 0; i < points; ++i) {
            std::string line;
            for (const QJsonValue& col : columns)
                line += dataField(col.toObject().value("values").toArray()[i].toDouble());
            QCOMPARE(QByteArray::fromStdString(line + "\r"), lines[i + 2]);
        }
        // the critical energy as the window shows it
        const QJsonObject crit = run.json().value("results").toObject().value("Ephcrit").toObject();
        QCOMPARE(crit.value("text").toString(), child<QLabel>(s, "Ephcrit")->text());
        QCOMPARE(crit.value("shown_unit").toString(), child<QLabel>(s, "LeV3")->text());

        // CSV: a header line, then the file's numbers separated by commas
        args.removeAll(QStringLiteral("--json"));
        args.removeAt(args.indexOf(QStringLiteral("--output")) + 1);
        args.removeAll(QStringLiteral("--output"));
        const CliRun csv = runCli(args + QStringList{"--csv"});
        QCOMPARE(csv.status, 0);
        const QStringList csvLines = csv.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(csvLines.size(), points + 1);
        QVERIFY(csvLines[0].startsWith(c.vsAngle ? QStringLiteral("vert. obs. angle (1/gamma),")
                                                 : QStringLiteral("photon energy (eV),")));
        for (int i = 0; i < points; ++i) {
            const QList<QByteArray> fields = csvLines[i + 1].toUtf8().split(',');
            QByteArray joined;
            for (const QByteArray& f : fields) joined += QByteArray(23 - f.size(), ' ') + f;
            QCOMPARE(joined + "\r", lines[i + 2]);
        }
    }
    QCOMPARE(fileHash(catalogueOf(x)), before);
}

void CliWindow::refusalsAndExitStatus() {
    World x;
    const QString cat = catalogueOf(x);
    const QByteArray before = fileHash(cat);
    QTemporaryDir tmp;
    QFile damaged(tmp.filePath("damaged.sqlite"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is not a catalogue at all, only some text\n");
    damaged.close();
    const QByteArray damagedHash = fileHash(damaged.fileName());

    const QStringList bend = {"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"};
    struct Case {
        QStringList args;
        int status;
        QStringList stderrHas;
    } cases[] = {
        {bend + QStringList{"--wavelength", "1,5"},
         2,
         {"lumerad-cli: '1,5' is not a valid floating point value"}},
        {bend + QStringList{"--distance", ""}, 2, {"'' is not a valid floating point value"}},
        {{"bend", "--beam", "Nowhere", "--source", "Diamond dipole 1.4 T"},
         2,
         {"there is no circulating beam named \"Nowhere\"", "\n  Diamond\n", "\n  ESRF-EBS\n"}},
        {{"bend", "--beam", "Diamond", "--source", "Nowhere"},
         2,
         {"there is no source named \"Nowhere\"", "\n  Diamond dipole 1.4 T\n"}},
        {{"bend", "--beam", "LCLS", "--source", "Diamond dipole 1.4 T"},
         2,
         {"no circulating beam named \"LCLS\""}},
        {{"bend", "--source", "Diamond dipole 1.4 T"},
         2,
         {"no circulating beam given: name one with --beam NAME"}},
        {{"bend", "--beam", "Diamond"}, 2, {"no source given: name one with --source NAME"}},
        {bend + QStringList{"--set", "Bogus=1"},
         2,
         {"unknown field \"Bogus\"", "fields of the beam: SR, Energy, Cur",
          "fields of the source: Name, MagType"}},
        {bend + QStringList{"--set", "Field"}, 2, {"--set needs FIELD=VALUE"}},
        {bend + QStringList{"--set", "Field=abc"}, 2, {"'abc' is not a valid floating point value"}},
        {bend + QStringList{"--set", "Gamma=3"}, 2, {"Field 'Gamma' cannot be modified"}},
        {bend + QStringList{"--set", "Field=0"}, 2, {"Field: the magnetic field must be above 0 T"}},
        {{"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T", "--from", "0"},
         2,
         {"lumerad-cli: "}},
        {{"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T", "--quantity", "7"},
         2,
         {"unknown quantity \"7\"", "5  divergence"}},
        {{"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T", "--vs-angle"},
         2,
         {"--vs-angle is for"}},
        {{"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T", "--output",
          "/nonexistent/x/s.txt"},
         1,
         {"the file /nonexistent/x/s.txt cannot be created"}},
        {{"frobnicate"}, 2, {"unknown subcommand \"frobnicate\"", "bend"}},
        {{"bend", "--beam", "Diamond", "--source", "Diamond", "dipole 1.4 T"},
         2,
         {"unexpected argument \"dipole 1.4 T\""}},
        {bend + QStringList{"--frobnicate"}, 2, {"Unknown option 'frobnicate'"}},
        {bend + QStringList{"--json", "--csv"}, 2, {"choose one of --json and --csv"}},
        {{"sources", "--kind", "Laser"}, 2, {"unknown source kind \"Laser\""}},
        {{}, 2, {"Usage: lumerad-cli"}},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(common(x) + c.args);
        QVERIFY2(run.status == c.status, qPrintable(c.args.join(' ') + ": " + run.errText()));
        QVERIFY(run.out.isEmpty());
        for (const QString& s : c.stderrHas) QVERIFY2(run.errText().contains(s), qPrintable(run.errText()));
    }
    // the window's own message for the same bad text, word for word
    struct Same {
        const char* field;
        const char* option;
        const char* text;
    } same[] = {{"WaveLength", "--wavelength", "1,5"},      {"edBandW", "--bandwidth", "abc"},
                {"VerObsAng", "--vertical-angle", "1e999"}, {"edDist", "--distance", ""},
                {"edIncAng", "--incidence-angle", "9O"},    {"WaveLength", "--wavelength", "0"}};
    for (const Same& c : same) {
        TfSynRad* win = x.w().synRad;
        QLineEdit* field = child<QLineEdit>(win, c.field);
        const QString kept = field->text();
        x.messages.clear();
        field->setText(QString::fromLatin1(c.text));
        child<QAbstractButton>(win, "tbRecalc")->click();
        field->setText(kept);
        QCOMPARE(x.texts().size(), size_t(1));
        const CliRun run = runCli(common(x) + bend + QStringList{c.option, c.text});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.errText(),
                 QStringLiteral("lumerad-cli: ") + QString::fromStdString(x.texts()[0]) + "\n");
    }
    // a damaged catalogue or a missing table of functions: status 1, and the file stays as it was
    const CliRun bad = runCli(QStringList{"--catalogue", damaged.fileName(), "--data", dataFile()} + bend);
    QCOMPARE(bad.status, 1);
    QVERIFY2(bad.errText().contains("cannot be used: it is not a catalogue database"), bad.err.constData());
    QCOMPARE(fileHash(damaged.fileName()), damagedHash);
    const CliRun noData = runCli(QStringList{"--catalogue", cat, "--data", tmp.filePath("none.txt")} + bend);
    QCOMPARE(noData.status, 1);
    QVERIFY(!noData.err.isEmpty());
    // the step message is a note, and the spectrum goes on with 0.1 %
    const CliRun step =
        runCli(common(x) + QStringList{"spectrum", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T",
                                       "--from", "1000", "--to", "1100", "--step", "0.05", "--csv"});
    QCOMPARE(step.status, 0);
    QCOMPARE(step.errText(), QStringLiteral("note: step size too small! will be set to 0.1%!\n"));
    // 1000 * 1.001^k <= 1100 for k = 0 .. 95
    QCOMPARE(step.outText().split('\n', Qt::SkipEmptyParts).size(), 1 + 96);
    QCOMPARE(fileHash(cat), before);
}

void CliWindow::missingCatalogueSeededAsTheProgramSeedsIt() {
    World x;  // the program seeded catalogue.sqlite
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
    QTemporaryDir seeded;
    const QString programFile = seeded.filePath("program.sqlite");
    {
        Session session;
        RecordingMessages messages;
        TSRModule module(session, messages, programFile);  // as the program opens a missing file
    }
    const QStringList fromCli = dump(fresh), fromProgram = dump(programFile);
    QVERIFY(fromCli.size() > 20);
    QCOMPARE(fromCli, fromProgram);
    // the beams list names every seeded beam
    for (const char* name : {"Diamond", "ESRF-EBS", "European XFEL", "LCLS"})
        QVERIFY(run.outText().contains(name));
}

void CliWindow::optionsHelpAndFormats() {
    World x;
    const QString cat = catalogueOf(x);
    const QStringList bend = {"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"};
    // the common options before and after the subcommand give the same answer
    const CliRun after = runCli(bend + QStringList{"--json", "--catalogue", cat, "--data", dataFile()});
    const CliRun before = runCli(QStringList{"--json", "--catalogue", cat, "--data", dataFile()} + bend);
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
    // --set before the subcommand
    const CliRun setFirst =
        runCli(QStringList{"--set", "Field=1.2", "--catalogue", cat, "--data", dataFile()} + bend +
               QStringList{"--json"});
    QVERIFY2(setFirst.status == 0, setFirst.err.constData());
    QCOMPARE(setFirst.json().value("results").toObject().value("Ephcrit").toObject().value("text").toString(),
             QStringLiteral("7.182"));
    // --set given twice: both in the inputs
    const CliRun sets = runCli(QStringList{"--catalogue", cat, "--data", dataFile(), "--json"} + bend +
                               QStringList{"--set", "Field=1.2", "--set", "Cur=100"});
    QCOMPARE(sets.json().value("inputs").toObject().value("set").toArray().size(), 2);
}

void CliWindow::beamAsTheEditorShowsIt() {
    World x;
    const QString cat = catalogueOf(x);
    const CliRun run = runCli({"beam", "Diamond", "--json", "--catalogue", cat});
    QVERIFY2(run.status == 0, run.err.constData());
    const QJsonObject r = run.json().value("results").toObject();
    // Diamond: 3 GeV, eps_x 2.7 nm rad, beta_x 10.6 m, eps_y 0.008 nm rad, beta_y 5.9 m, no dispersion
    const double gamma = 3.0 / 0.000511003;
    const double sigX = std::sqrt(2.7e-9 * 10.6), sigY = std::sqrt(0.008e-9 * 5.9);
    struct Expect {
        const char* name;
        double value;
        double tolerance;
    } expected[] = {
        {"Gamma", gamma, 1e-9},
        {"Sig_xb", sigX, 1e-15},
        {"Sig_yb", sigY, 1e-15},
        {"Sig_xp", std::sqrt(2.7e-9 / 10.6), 1e-15},
        {"Coupl", 0.008 / 2.7 * 100, 1e-12},
        {"Energy", 3e9, 1e-3},
        {"Cur", 0.3, 1e-15},
    };
    for (const Expect& e : expected)
        QVERIFY2(std::fabs(r.value(e.name).toObject().value("value").toDouble() - e.value) <= e.tolerance,
                 e.name);
    // the texts of the editor's fields: gamma "0.00", sizes in um "0.00"
    QCOMPARE(r.value("Gamma").toObject().value("text").toString(), QStringLiteral("5870.81"));
    QCOMPARE(r.value("Sig_xb").toObject().value("text").toString(),
             QString::fromStdString(picture("0.00", sigX * 1e6)));
    QCOMPARE(r.value("Sig_xb").toObject().value("shown_unit").toString(), QStringLiteral("\u00b5m"));
    // the same texts the circulating-beam editor shows in its fields
    buttonByText(x.w().start, QStringLiteral("circulating beam"))->click();
    for (const char* f : {"Gamma", "Sig_xb", "Sig_yb", "Sig_xp", "Sig_yp", "Coupl", "Energy", "Cur"})
        QCOMPARE(r.value(f).toObject().value("text").toString(),
                 child<QLineEdit>(x.w().cbeam, (std::string("DBEdt") + f).c_str())->text());
    // a single-pass beam with its own rows; the unknown one lists the beams
    const CliRun lcls = runCli({"beam", "LCLS", "--json", "--catalogue", cat});
    QCOMPARE(lcls.status, 0);
    QVERIFY(lcls.json().value("results").toObject().contains("PeakCurrent"));
    const CliRun none = runCli({"beam", "Nowhere", "--catalogue", cat});
    QCOMPARE(none.status, 2);
    QVERIFY(none.errText().contains("\n  Diamond\n") && none.errText().contains("\n  LCLS\n"));
}

QTEST_MAIN(CliWindow)
#include "cli_window_test.moc"
