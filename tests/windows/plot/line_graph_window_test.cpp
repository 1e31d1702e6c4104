// The line-spectrum bar chart and its titles through the text entry dialog.
#include "windows/plot/line_graph_window.h"

#include "plot_test_env.h"

using namespace lumerad;
using lumerad::testing::PlotEnv;

class LineGraphTest : public QObject {
    Q_OBJECT
private slots:
    void axisTakesTenPercentAboveTheHighestBar() {
        PlotEnv env;
        TfLineGraph lg(env.ctx);
        lg.New(QStringLiteral("flux"));
        lg.XY(3000, 5e12);
        lg.XY(1000, 2e12);
        lg.XY(0, 0);
        lg.Axis();
        QCOMPARE(chartOf(&lg)->yAxis->range().upper, 5.5e12);
        // bars kept in ascending photon energy
        QCOMPARE(barsOf(&lg)->data()->size(), 3);
        QCOMPARE(barsOf(&lg)->data()->at(0)->key, 0.0);
        QCOMPARE(barsOf(&lg)->data()->at(2)->key, 3000.0);
        QVERIFY(chartOf(&lg)->xAxis->range().contains(0) && chartOf(&lg)->xAxis->range().contains(3000));
        // a new chart is empty; with no bars above zero the range stays as it was
        lg.New(QStringLiteral("brightness"));
        QCOMPARE(barsOf(&lg)->data()->size(), 0);
        QCOMPARE(chartOf(&lg)->yAxis->label(), QStringLiteral("brightness"));
        lg.XY(0, 0);
        lg.Axis();
        QCOMPARE(chartOf(&lg)->yAxis->range().upper, 5.5e12);
    }

    void titlesThroughTheTextEntry() {
        PlotEnv env;
        TfLineGraph lg(env.ctx);
        lg.New(QStringLiteral("flux"));
        env.checkTitles(lg, chartOf(&lg), "bottomaxistitle1");
    }
};

QTEST_MAIN(LineGraphTest)
#include "line_graph_window_test.moc"
