#include <qcustomplot.h>

#include <QtTest>
#include <cmath>

#include "plot/chart_support.h"
#include "plot/graph_window.h"
#include "plot/line_graph_window.h"
#include "plot_test_env.h"
using namespace lumerad;
class Scratch : public QObject {
    Q_OBJECT
private slots:
    void shot() {
        testing::PlotEnv env;
        auto& r = env.runner;
        TfGraphs g(env.ctx);
        g.NewGraph("Bending magnet spectrum");
        g.addGraph();
        for (int c = 0; c < 3; ++c) {
            g.NewCurve();
            g.addInfo(1, "ESRF");
            for (int i = 0; i <= 200; ++i) {
                double x = 10 + i * 500.0;
                g.LoadData(c == 1 ? 16711680 : 255, x,
                           (c + 1) * 1e13 * std::pow(x / 20000, 0.3) * std::exp(-x / 30000));
            }
        }
        g.XAxis("photon energy (eV)");
        g.YAxis("photons/s/mrad/0.1%bw");
        g.show();
        QTest::qWait(100);
        r.run([&] { g.Update(); });
        QTest::qWait(100);
        g.grab().save("/tmp/plotshot/lin.png");
        g.printer().setOutputFormat(QPrinter::PdfFormat);
        g.printer().setOutputFileName("/tmp/plotshot/print.pdf");
        r.run([&] { g.plotgraph1Click(); });
        for (auto& e : env.messages.log) qDebug() << e.text.c_str();
    }
};
QTEST_MAIN(Scratch)
#include "scratch_window_test.moc"
