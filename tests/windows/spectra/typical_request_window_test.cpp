// The typical request from the click to the plot, through the real windows and controls:
// accept a storage ring, press "bend magnet", pick a magnet, recalculate, open the
// spectrum, show the graph with the file option on: one curve, and the file with its points
// (their values, the file's lines and its bytes against the command line's: core and cli tests).

#include "../../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class TypicalRequest : public QObject {
    Q_OBJECT
private slots:
    void fromClickToPlot() {
        ProgramWorld world;
        Windows& w = world.w();
        Session& session = world.session();
        QVERIFY(session.tab.rows() > 0);  // DATA.TXT was loaded by the main window

        // 1. The circulating-beam editor: choose Diamond and accept it.
        world.acceptRing(QStringLiteral("Diamond"));
        const double E = world.module().CircBeam->asNumber(QStringLiteral("Energy"));
        QCOMPARE(E, 3.0);
        QCOMPARE(session.beam.BeamEnergy, 3.0);

        // 2. "bend magnet": the bending-magnet window with the bending magnets only.
        buttonByText(w.start, QStringLiteral("bend magnet"))->click();
        QVERIFY(w.synRad->isVisible());
        QVERIFY(session.flags.BendMagMode);
        Table& src = *world.module().InsDevice;
        for (int r = 0; r < src.rowCount(); ++r)
            QCOMPARE(src.row(r).text(QStringLiteral("SrceType")), QStringLiteral("Bend"));
        // The launch selects the sources before it sets the mode, so the first launch still
        // shows the device columns; "apply" with the mode set drops them.
        QCOMPARE(child<QComboBox>(w.synRad, "coFilter")->currentText(), QStringLiteral("Bend"));
        auto* grid = child<DBGrid>(w.synRad, "DBGrid1");
        QCOMPARE(grid->model()->columnCount(), 9);
        child<QAbstractButton>(w.synRad, "bbApply")->click();
        QCOMPARE(grid->model()->columnCount(), 6);

        // 3. Pick a magnet, 4. recalculate: 665 * 9 * 1.4 = 8379 eV.
        clickRow(grid, rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QToolButton>(w.synRad, "tbRecalc")->click();
        const double B = 1.4, ec = 665.0 * E * E * B;
        QCOMPARE(child<QLineEdit>(w.synRad, "Ephcrit")->text(), QStringLiteral("8.379"));
        QCOMPARE(session.CritEnergy, ec);
        QCOMPARE(session.magnet.NPoles, 1);

        // 5. Spectrum window, defaults, file on.
        child<QToolButton>(w.synRad, "tbSpectrum")->click();
        QVERIFY(w.synSpectrum->isVisible());
        child<QCheckBox>(w.synSpectrum, "cbSave")->setChecked(true);
        const QString file = world.dir.filePath("bm_spectrum.txt");
        world.dialogs.fileNames.push_back(file);
        child<QPushButton>(w.synSpectrum, "bbShowGraph")->click();
        QVERIFY2(world.messages.log.empty(),
                 world.messages.log.empty() ? "" : world.messages.log.front().text.c_str());
        QVERIFY(w.graphs->isVisible());

        // 6. The plotted curve: 161 energies 10 eV * 1.05^k.
        QCOMPARE(w.graphs->CurveCount(), 1);
        QCPGraph* plotted = curve(w.graphs, w.graphs->model().CurrentCurve);
        QVERIFY(plotted);
        QCOMPARE(plotted->data()->size(), 161);

        // 7. The file: title, column line, the curve's points to 24563.36 eV, CR LF.
        const QList<QByteArray> lines = readFile(file).split('\n');
        QCOMPARE(lines.size(), 2 + 161 + 1);
        QCOMPARE(lines[162], QByteArray::fromStdString(dataField(plotted->data()->at(160)->key) +
                                                       dataField(plotted->data()->at(160)->value) + "\r"));
        QCOMPARE(lines[162].left(23), QByteArray(" 2.45633644062211E+0004"));
    }
};

QTEST_MAIN(TypicalRequest)
#include "typical_request_window_test.moc"
