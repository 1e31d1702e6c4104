// The undulator family through the real windows, driven by control names: accept a ring,
// "undulator", pick an undulator, recalculate, "undulator flux", "line spectrum", the line
// graph, a K scan over harmonics 1 to 9 with the file written and a gap scan; then the
// refusals of harmonic numbers, of a flux window without an undulator calculation, of a scan
// on an electromagnet, of a scan without free curves.

#include "../../support/program_world.h"
#include "core/spectra/undulator_lines.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {

void type(QWidget* w, const char* name, const char* text) { child<QLineEdit>(w, name)->setText(text); }

// A program with Diamond accepted and, unless told otherwise, the undulator window open.
struct World : ProgramWorld {
    explicit World(bool openUndulator = true) {
        acceptRing(QStringLiteral("Diamond"));
        if (openUndulator) click(w().start, "Und");
        messages.clear();
    }
    // Picks a source in the undulator window's grid and recalculates.
    void pick(const char* name) {
        auto* grid = child<DBGrid>(w().undulator, "DBGridSrce");
        clickRow(grid, rowOf(grid, QString::fromLatin1(name)));
    }
    // The curves of the graph window, in slot order.
    std::vector<std::vector<CurvePoint>> curves() {
        std::vector<std::vector<CurvePoint>> c;
        for (int i : w().graphs->model().shownCurves()) c.push_back(w().graphs->model().points(i));
        return c;
    }
};

double parsed(const QString& t) { return t.trimmed().toDouble(); }

}  // namespace

class UndulatorWindows : public QObject {
    Q_OBJECT
private slots:
    void typicalRequest() {
        World world;
        Windows& w = world.w();
        Session& s = world.session();
        TfUndulator* und = w.undulator;
        QVERIFY(und->isVisible());
        QCOMPARE(child<QComboBox>(und, "coFilter")->currentText(), QStringLiteral("Und"));
        QCOMPARE(textOf(und, "edDist"), QStringLiteral("1.0"));

        // Pick the hybrid U35: stale marker.
        world.pick("hybrid undulator U35");
        auto* tbRecalc = child<QToolButton>(und, "tbRecalc");
        QCOMPARE(captionColour(tbRecalc), 255);
        QVERIFY(s.flags.ParDirty);

        // Recalculate: fresh marker, every result shown (their values are core tests).
        click(und, "tbRecalc");
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts().front().c_str());
        QCOMPARE(captionColour(tbRecalc), 32768);
        for (const char* name : {"stKPar", "fldmax", "stUndLen", "lami", "ephi", "PowTot"})
            QVERIFY2(parsed(textOf(und, name)) > 0, name);
        QVERIFY(child<QWidget>(und, "pnPerMag")->isVisibleTo(und));
        QVERIFY(child<QWidget>(und, "Wfield")->isHidden());

        // "undulator flux": 0.1 %; a typed band width shows the button, which recomputes.
        click(und, "tbUndFlux");
        TfUndFlux* flux = w.undFlux;
        QVERIFY(flux->isVisible());
        QCOMPARE(textOf(flux, "EdtBW"), QStringLiteral("0.1"));
        QVERIFY(!child<QWidget>(flux, "BResult")->isEnabled());
        const double F = parsed(textOf(flux, "LfLUX"));
        QVERIFY(F > 0 && parsed(textOf(flux, "LDifPhFlx")) > 0);
        QCOMPARE(textOf(flux, "TLharmonic"), QStringLiteral("1"));
        type(flux, "EdtBW", "0.2");
        QVERIFY(child<QWidget>(flux, "BResult")->isEnabled());
        click(flux, "BResult");
        QVERIFY(std::fabs(parsed(textOf(flux, "LfLUX")) / (2 * F) - 1) < 1e-3);
        QVERIFY(!child<QWidget>(flux, "BResult")->isEnabled());

        // "line spectrum": harmonics 1 to 9, each at its multiple of the fundamental.
        click(und, "tbLineSpectrum");
        TfLineSpectrum* lines = w.lineSpectrum;
        QVERIFY(lines->isVisible());
        type(lines, "toharm", "9");
        click(lines, "bbRecalc");
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts().front().c_str());
        auto* list = child<QTableWidget>(lines, "ListLS");
        const double e1 = parsed(list->item(0, 1)->text());
        for (int row = 0; row < 5; ++row) {
            const int n = 2 * row + 1;
            QCOMPARE(list->item(row, 0)->text(), QString::number(n));
            QVERIFY(std::fabs(parsed(list->item(row, 1)->text()) / (n * e1) - 1) < 1e-5);
        }
        QVERIFY(!list->item(5, 0) || list->item(5, 0)->text().isEmpty());
        for (int row = 0; row < 5; ++row)  // no number of the list is cut short
            for (int c = 0; c < 5; ++c)
                QVERIFY(list->columnWidth(c) >=
                        list->fontMetrics().horizontalAdvance(list->item(row, c)->text()));
        QCOMPARE(textOf(lines, "periods").trimmed(), QStringLiteral("45"));

        // The line graph: five bars and the closing bar at 0.
        click(lines, "bbShoLineGraph");
        QVERIFY(w.lineGraph->isVisible());
        QCOMPARE(barsOf(w.lineGraph)->data()->size(), 6);
        QCOMPARE(barsOf(w.lineGraph)->data()->at(0)->key, 0.0);
        QVERIFY(std::fabs(barsOf(w.lineGraph)->data()->at(5)->key / (9 * e1) - 1) < 1e-5);

        // A K scan from 0 to 5 over harmonics 1 to 9, against K, written to a file: the file holds
        // the drawn points (their values against the Bessel functions are core tests).
        const double kBefore = s.magnet.KValue, ephBefore = s.undulator.FundPhotEn;
        type(lines, "edKmin", "0");
        type(lines, "edKmax", "5");
        child<QRadioButton>(lines, "rbvsK")->setChecked(true);
        child<QCheckBox>(lines, "cbSave")->setChecked(true);
        const QString file = world.dir.filePath("k_scan.txt");
        world.dialogs.fileNames.push_back(file);
        click(lines, "BitBtn1");
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts().front().c_str());
        QVERIFY(w.graphs->isVisible());
        auto curves = world.curves();
        QCOMPARE(int(curves.size()), 5);
        const QByteArray bytes = readFile(file);
        QCOMPARE(bytes.size(), 505 * 48);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(int(curves[c].size()), 101);
            for (int j : {0, 57, 100}) {
                QVERIFY(std::fabs(curves[c][j].x - 0.05 * j) < 1e-12);
                const QByteArray line = bytes.mid((c * 101 + j) * 48, 48);
                QCOMPARE(line, QByteArray::fromStdString(dataField(curves[c][j].x) +
                                                         dataField(curves[c][j].y) + "\r\n"));
            }
        }
        QCOMPARE(s.magnet.KValue, kBefore);  // the shared state is the undulator's, not the last point's
        QCOMPARE(s.undulator.FundPhotEn, ephBefore);

        // A gap scan against the gap, replacing the graph; no file.
        child<QCheckBox>(lines, "cbSave")->setChecked(false);
        child<QRadioButton>(lines, "rbReplace")->setChecked(true);
        child<QRadioButton>(lines, "rbvsGap")->setChecked(true);
        type(lines, "edGapmin", "8");
        type(lines, "edGapmax", "28");
        click(lines, "bbVUGap");
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts().front().c_str());
        QCOMPARE(w.graphs->CurveCount(), 5);
        QVERIFY(child<QRadioButton>(lines, "rbAdd")->isChecked());
        curves = world.curves();
        for (int j : {0, 50, 100}) QVERIFY(std::fabs(curves[1][j].x - (8 + 0.2 * j)) < 1e-12);
    }

    void harmonicsAreChecked() {
        World world;
        Windows& w = world.w();
        world.pick("hybrid undulator U35");
        TfUndulator* und = w.undulator;
        type(und, "harm", "0");
        click(und, "tbRecalc");
        QCOMPARE(world.texts(), std::vector<std::string>{kHarmonicBelowOneText});
        QCOMPARE(child<QLineEdit>(und, "harm")->selectedText(), QStringLiteral("0"));
        QCOMPARE(captionColour(child<QToolButton>(und, "tbRecalc")), 255);
        world.messages.clear();
        type(und, "harm", "3");
        click(und, "tbRecalc");
        QVERIFY(world.messages.log.empty());
        QCOMPARE(world.session().undulator.Harmonic, 3);

        // First and last harmonics: refused before any work, the last accepted list stays in use.
        click(und, "tbLineSpectrum");
        TfLineSpectrum* lines = w.lineSpectrum;
        type(lines, "toharm", "9");
        click(lines, "bbRecalc");
        QCOMPARE(child<QTableWidget>(lines, "ListLS")->item(4, 0)->text(),
                 QStringLiteral("9"));  // 1, 3, ..., 9
        struct Case {
            const char* from;
            const char* to;
            const char* message;
        };
        const Case cases[] = {
            {"0", "9", kFirstHarmonicText}, {"1", "10", kOddHarmonicText}, {"1", "0", kLastHarmonicText}};
        for (const Case& c : cases) {
            world.messages.clear();
            type(lines, "fharm", c.from);
            type(lines, "toharm", c.to);
            click(lines, "bbRecalc");
            QCOMPARE(world.texts(), std::vector<std::string>{c.message});
            QLineEdit* refused =
                child<QLineEdit>(lines, c.message == kFirstHarmonicText ? "fharm" : "toharm");
            QCOMPARE(refused->selectedText(), refused->text());
            // a scan with the refused range shows the message once and draws nothing
            world.messages.clear();
            const int before = w.graphs->CurveCount();
            click(lines, "BitBtn1");
            QCOMPARE(world.texts(), std::vector<std::string>{c.message});
            QCOMPARE(w.graphs->CurveCount(), before);
        }
        world.messages.clear();
        click(lines, "bbShoLineGraph");
        QCOMPARE(barsOf(w.lineGraph)->data()->size(), 6);
        QVERIFY(world.messages.log.empty());

        // Another quantity empties the list; "recalculate" fills it in the new unit, and the line
        // graph takes the new caption.
        type(lines, "fharm", "1");
        type(lines, "toharm", "3");
        click(lines, "bbRecalc");
        auto* list = child<QTableWidget>(lines, "ListLS");
        const QString angular = list->item(0, 4)->text();
        child<QAbstractButton>(lines, "rgQuantity1")->click();
        QVERIFY(list->item(0, 4)->text().isEmpty());
        QVERIFY(list->item(0, 0)->text().isEmpty());
        click(lines, "bbRecalc");
        QVERIFY(!list->item(0, 4)->text().isEmpty());
        QVERIFY(parsed(list->item(0, 4)->text()) < parsed(angular) / 1e6);  // ph/s against ph/s/sr
        click(lines, "bbShoLineGraph");
        QCOMPARE(chartOf(w.lineGraph)->yAxis->label(), QStringLiteral("flux, ph/sec "));
        QCOMPARE(barsOf(w.lineGraph)->data()->size(), 3);
    }

    void fluxBeforeAnyUndulatorCalculation() {
        World world(false);
        world.w().undFlux->showTool();
        QVERIFY(!world.texts().empty());
        for (const std::string& t : world.texts()) QCOMPARE(t, std::string(kNoUndulatorYetText));
        QCOMPARE(textOf(world.w().undFlux, "LfLUX"), QString());
    }

    void scansRefusedWithAMessage() {
        World world;
        Windows& w = world.w();
        world.pick("EM undulator U100");
        click(w.undulator, "tbLineSpectrum");
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts().front().c_str());
        QVERIFY(child<QWidget>(w.undulator, "pnPerMag")->isHidden());
        QVERIFY(!child<QWidget>(w.undulator, "Wfield")->isHidden());
        TfLineSpectrum* lines = w.lineSpectrum;
        click(lines, "BitBtn1");
        QCOMPARE(world.texts(), std::vector<std::string>{kScanNeedsPMText});
        QCOMPARE(w.graphs->CurveCount(), 0);

        world.pick("hybrid undulator U35");
        click(w.undulator, "tbLineSpectrum");
        type(lines, "toharm", "9");
        child<QCheckBox>(lines, "cbPlot")->setChecked(false);
        world.messages.clear();
        click(lines, "BitBtn1");
        QCOMPARE(world.texts().size(), size_t(1));
        QCOMPARE(w.graphs->CurveCount(), 0);
        child<QCheckBox>(lines, "cbPlot")->setChecked(true);

        // Ten scans of five harmonics fill the graph's fifty curves; the eleventh is refused.
        world.messages.clear();
        for (int k = 0; k < 10; ++k) click(lines, "BitBtn1");
        QVERIFY(world.messages.log.empty());
        QCOMPARE(w.graphs->CurveCount(), 50);
        click(lines, "BitBtn1");
        QCOMPARE(world.texts(), std::vector<std::string>{kTooManyCurvesText});
        QCOMPARE(w.graphs->CurveCount(), 50);
        // "replace graph" starts over
        world.messages.clear();
        child<QRadioButton>(lines, "rbReplace")->setChecked(true);
        click(lines, "BitBtn1");
        QVERIFY(world.messages.log.empty());
        QCOMPARE(w.graphs->CurveCount(), 5);

        // A file that cannot be written is reported; the curves are still drawn.
        child<QCheckBox>(lines, "cbSave")->setChecked(true);
        world.dialogs.fileNames.push_back(world.dir.filePath("no/such/folder/scan.txt"));
        click(lines, "BitBtn1");
        QCOMPARE(world.texts().size(), size_t(1));
        QVERIFY(world.texts().front().find("cannot be created") != std::string::npos);
        QCOMPARE(w.graphs->CurveCount(), 10);
    }
};

QTEST_MAIN(UndulatorWindows)
#include "undulator_window_test.moc"
