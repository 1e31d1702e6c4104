// lumerad-cli undulator, flux, lines and tune against the undulator, flux and line spectrum
// windows: the same cases give the same texts, list cells and tuning-scan file bytes; refusals
// end with status 2 and the window's message.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "../support/program_world.h"
#include "app/program.h"
#include "app/start_window.h"
#include "catalogue/circ_beam_window.h"
#include "catalogue/data_widgets.h"
#include "catalogue/table.h"
#include "cli_support.h"
#include "numerics/messages.h"
#include "sources/undulator_window.h"
#include "spectra/line_spectrum_window.h"
#include "spectra/undulator_flux_window.h"
#include "ui/dialogs.h"

using namespace lumerad;
using namespace lumerad::clitest;
using namespace lumerad::worldtest;

namespace {

QString textOf(QWidget* w, const std::string& name) { return worldtest::textOf(w, name.c_str()); }
void click(QWidget* w, const char* name) { child<QAbstractButton>(w, name)->click(); }
void type(QWidget* w, const char* name, const char* text) { child<QLineEdit>(w, name)->setText(text); }

struct World : ProgramWorld {
    // Accepts the beam, opens the undulator window, picks the source.
    void choose(const char* beam, const char* source) {
        acceptRing(QString::fromUtf8(beam));
        click(w().start, "Und");
        auto* grid = child<DBGrid>(w().undulator, "DBGridSrce");
        grid->clickRow(rowOf(grid, QString::fromUtf8(source)));
    }
    QStringList common() const { return cliCatalogue(); }
};

struct Case {
    const char *beam, *source, *harmonic, *distance, *bandwidth, *from, *to;
    int quantity;
};

const Case kCases[] = {
    {"Diamond", "hybrid undulator U35", "1", "1.0", "0.1", "1", "9", 0},
    {"ESRF-EBS", "in-vacuum undulator U20", "3", "30", "0.5", "3", "15", 3},
    {"BESSY II", "REC undulator U50", "5", "10", "0.01", "1", "29", 2},
    {"PETRA III", "XFEL undulator U40", "2", "0", "1", "5", "1", 1},
};

// The unit label beside a field whose prefix follows the value.
const std::map<std::string, const char*> kUnitLabels = {
    {"ephi", "leV2"}, {"PowTot", "lW"}, {"edPowmm", "lwmm"}, {"edPwmmz", "lwmmz"}};

}  // namespace

class UndulatorCli : public QObject {
    Q_OBJECT
private slots:
    void sameTextsAsTheWindows();
    void refusals();
};

void UndulatorCli::sameTextsAsTheWindows() {
    for (const Case& c : kCases) {
        qInfo("%s, %s", c.beam, c.source);
        World x;
        x.choose(c.beam, c.source);
        Windows& w = x.w();
        type(w.undulator, "harm", c.harmonic);
        type(w.undulator, "edDist", c.distance);
        click(w.undulator, "tbRecalc");
        QCOMPARE(x.messages.texts(), std::vector<std::string>{});

        // undulator
        CliRun run =
            runCli(x.common() + QStringList{"undulator", "--json", "--beam", c.beam, "--source", c.source,
                                            "--harmonic", c.harmonic, "--distance", c.distance});
        QCOMPARE(run.status, 0);
        QJsonObject results = run.json().value("results").toObject();
        QVERIFY(results.size() >= 11);
        for (const QString& name : results.keys()) {
            const QJsonObject r = results.value(name).toObject();
            QCOMPARE(r.value("text").toString(), textOf(w.undulator, name.toStdString()));
            auto u = kUnitLabels.find(name.toStdString());
            if (u != kUnitLabels.end())
                QCOMPARE(r.value("shown_unit").toString(), textOf(w.undulator, u->second));
        }

        // flux
        click(w.undulator, "tbUndFlux");
        type(w.undFlux, "EdtBW", c.bandwidth);
        click(w.undFlux, "BResult");
        run = runCli(x.common() + QStringList{"flux", "--json", "--beam", c.beam, "--source", c.source,
                                              "--harmonic", c.harmonic, "--bandwidth", c.bandwidth});
        QCOMPARE(run.status, 0);
        results = run.json().value("results").toObject();
        QCOMPARE(results.size(), 10);
        for (const QString& name : results.keys())
            QCOMPARE(results.value(name).toObject().value("text").toString(),
                     textOf(w.undFlux, name.toStdString()));

        // lines
        click(w.undulator, "tbLineSpectrum");
        TfLineSpectrum* lines = w.lineSpectrum;
        type(lines, "BW", c.bandwidth);
        type(lines, "fharm", c.from);
        type(lines, "toharm", c.to);
        child<QRadioButton>(lines, ("rgQuantity" + std::to_string(c.quantity)).c_str())->setChecked(true);
        click(lines, "bbRecalc");
        QCOMPARE(x.messages.texts(), std::vector<std::string>{});
        const QStringList listArgs{
            "--beam",      c.beam,          "--source", c.source,     "--from-harmonic",
            c.from,        "--to-harmonic", c.to,       "--quantity", QString::number(c.quantity),
            "--bandwidth", c.bandwidth};
        run = runCli(x.common() + QStringList{"lines", "--json"} + listArgs);
        QCOMPARE(run.status, 0);
        results = run.json().value("results").toObject();
        QCOMPARE(results.size(), 10);
        for (const QString& name : results.keys())
            QCOMPARE(results.value(name).toObject().value("text").toString(),
                     textOf(lines, name.toStdString()));
        QCOMPARE(run.json().value("columns").toArray().size(), 5);
        // the list's cells as the CSV prints them
        run = runCli(x.common() + QStringList{"lines", "--csv"} + listArgs);
        QCOMPARE(run.status, 0);
        const QStringList csv = run.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        auto* list = child<QTableWidget>(lines, "ListLS");
        const int rows = lines->list().harmonics().size();
        QCOMPARE(csv.size(), rows + 1);
        for (int r = 0; r < rows; ++r) {
            const QStringList cells = csv[r + 1].split(QLatin1Char(','));
            QCOMPARE(cells.size(), 5);
            for (int col = 0; col < 5; ++col) QCOMPARE(cells[col], list->item(r, col)->text().trimmed());
        }

        // tune: a K scan against K and a gap scan against photon energy, file for file
        struct Scan {
            const char *button, *kind, *vs, *abscissa;
        };
        const Scan scans[] = {{"BitBtn1", "K", "K", "rbvsK"},
                              {"bbVUGap", "gap", "photon-energy", "rbvsPhEn"}};
        for (const Scan& s : scans) {
            type(lines, "edKmin", "0.1");
            type(lines, "edKmax", "2.5");
            type(lines, "edGapmin", "6");
            type(lines, "edGapmax", "25");
            child<QRadioButton>(lines, s.abscissa)->setChecked(true);
            child<QRadioButton>(lines, "rbReplace")->setChecked(true);
            child<QCheckBox>(lines, "cbSave")->setChecked(true);
            const QString windowFile = x.dir.filePath(QStringLiteral("window_%1.txt").arg(s.kind));
            const QString cliFile = x.dir.filePath(QStringLiteral("cli_%1.txt").arg(s.kind));
            x.dialogs.fileNames.push_back(windowFile);
            click(lines, s.button);
            QCOMPARE(x.messages.texts(), std::vector<std::string>{});
            run = runCli(x.common() +
                         QStringList{"tune", "--scan", s.kind, "--vs", s.vs, "--k-min", "0.1", "--k-max",
                                     "2.5", "--gap-min", "6", "--gap-max", "25", "--output", cliFile} +
                         listArgs);
            QCOMPARE(run.status, 0);
            QCOMPARE(fileHash(cliFile), fileHash(windowFile));
            QFile f(windowFile);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.size(), qint64(rows * 101 * 48));
        }
    }
}

void UndulatorCli::refusals() {
    World x;
    struct Refusal {
        QStringList args;
        const char* message;
    };
    const Refusal cases[] = {
        {{"undulator", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"},
         "Source is not a wiggler/undulator"},
        {{"undulator", "--beam", "Diamond", "--source", "hybrid undulator U35", "--harmonic", "0"},
         "the harmonic number must be 1 or more!"},
        {{"lines", "--beam", "Diamond", "--source", "hybrid undulator U35", "--to-harmonic", "30"},
         "harmonics must be an odd number < 30 !"},
        {{"lines", "--beam", "Diamond", "--source", "hybrid undulator U35", "--from-harmonic", "2",
          "--to-harmonic", "9"},
         "the first harmonic must be an odd number from 1 to 29 !"},
        {{"tune", "--beam", "Diamond", "--source", "EM undulator U100", "--scan", "K"},
         "permanent-magnet undulator"},
        {{"tune", "--beam", "Diamond", "--source", "hybrid undulator U35", "--scan", "phase"},
         "unknown scan"},
        {{"lines", "--beam", "Diamond", "--source", "hybrid undulator U35", "--quantity", "7"},
         "unknown quantity"},
    };
    for (const Refusal& r : cases) {
        const CliRun run = runCli(x.common() + r.args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.errText().contains(QString::fromUtf8(r.message)), qPrintable(run.errText()));
    }
}

QTEST_MAIN(UndulatorCli)
#include "undulator_cli_window_test.moc"
