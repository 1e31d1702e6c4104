// The typical request from the click to the plot, through the real windows and controls:
// accept a storage ring, press "bend magnet", pick a magnet, recalculate, open the
// spectrum, show the graph with the file option on, and compare the plotted curve and
// the written file with values computed here from the standard library's Bessel functions.
#include <QDir>

#include "../../core/sr_reference.h"
#include "../../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class TypicalRequest : public QObject {
    Q_OBJECT
private slots:
    void fromClickToPlot();
};

void TypicalRequest::fromClickToPlot() {
    ProgramWorld world;
    Windows& w = world.w();
    Session& session = world.session();
    QVERIFY(session.tab.rows() > 0);  // DATA.TXT was loaded by the main window

    // 1. The circulating-beam editor: choose Diamond and accept it.
    world.acceptRing(QStringLiteral("Diamond"));
    const double E = world.module().CircBeam->asNumber(QStringLiteral("Energy"));
    const double I = world.module().CircBeam->asNumber(QStringLiteral("Cur")) / 1000.0;
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

    // The expected spectrum: 161 energies 10 eV * 1.05^k, angular flux A S(y) / 1000.
    const double A = 3.96136761e19 * E * I * 1 * 0.001;
    std::vector<double> xs, vs;
    double e = 10.0;
    do {
        xs.push_back(e);
        vs.push_back(A * testref::S(e / ec) / 1000.0);
        e *= 1.05;
    } while (!(e > 25000.0));
    QCOMPARE(int(xs.size()), 161);

    // 6. The plotted curve.
    QCOMPARE(w.graphs->CurveCount(), 1);
    QCPGraph* plotted = curve(w.graphs, w.graphs->model().CurrentCurve);
    QVERIFY(plotted);
    QCOMPARE(plotted->data()->size(), 161);
    int i = 0;
    for (auto it = plotted->data()->constBegin(); it != plotted->data()->constEnd(); ++it, ++i) {
        QCOMPARE(it->key, xs[i]);
        QVERIFY2(std::fabs(it->value - vs[i]) <= 1e-5 * vs[i], qPrintable(QString::number(it->key)));
    }

    // 7. The file: title, column line, 161 lines of two 23-character fields, CR LF.
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 2 + 161 + 1);
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines[0], QByteArray(" angular photon flux vs photon energy\r"));
    QCOMPARE(lines[1], QByteArray(" photon energy (eV)     flux (ph/s/mr)\r"));
    const QRegularExpression field(QStringLiteral("^[ -]\\d\\.\\d{14}E[+-]\\d{4}$"));
    for (int k = 0; k < 161; ++k) {
        const QByteArray& l = lines[2 + k];
        QCOMPARE(l.size(), 47);
        QCOMPARE(l.back(), '\r');
        const QString x = QString::fromLatin1(l.left(23)), v = QString::fromLatin1(l.mid(23, 23));
        QVERIFY2(field.match(x).hasMatch(), qPrintable(x));
        QVERIFY2(field.match(v).hasMatch(), qPrintable(v));
        QVERIFY(std::fabs(x.toDouble() - xs[k]) <= 1e-14 * xs[k]);
        QVERIFY2(std::fabs(v.toDouble() - vs[k]) <= 1e-5 * vs[k], qPrintable(v));
    }
    QCOMPARE(lines[2].left(23), QByteArray(" 1.00000000000000E+0001"));
    QCOMPARE(lines[162].left(23), QByteArray(" 2.45633644062211E+0004"));  // 24563.36 eV
}

QTEST_MAIN(TypicalRequest)
#include "typical_request_window_test.moc"
