// The line-spectrum bar chart and the text entry dialog.
#include "windows/plot/line_graph_window.h"

#include <qcustomplot.h>

#include <QPushButton>
#include <QtTest>

#include "plot_test_env.h"
#include "windows/plot/chart_support.h"

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
        QCOMPARE(lg.chart()->yAxis->range().upper, 5.5e12);
        // bars kept in ascending photon energy
        QCOMPARE(lg.bars()->data()->size(), 3);
        QCOMPARE(lg.bars()->data()->at(0)->key, 0.0);
        QCOMPARE(lg.bars()->data()->at(2)->key, 3000.0);
        QVERIFY(lg.chart()->xAxis->range().contains(0) && lg.chart()->xAxis->range().contains(3000));
        // a new chart is empty; with no bars above zero the range stays as it was
        lg.New(QStringLiteral("brightness"));
        QCOMPARE(lg.bars()->data()->size(), 0);
        QCOMPARE(lg.chart()->yAxis->label(), QStringLiteral("brightness"));
        lg.XY(0, 0);
        lg.Axis();
        QCOMPARE(lg.chart()->yAxis->range().upper, 5.5e12);
    }

    void titlesThroughTheTextEntry() {
        PlotEnv env;
        TfLineGraph lg(env.ctx);
        lg.New(QStringLiteral("flux"));
        env.checkTitles(lg, lg.chart(), "bottomaxistitle1");
    }

    void textEntryDialog() {
        PlotEnv env;
        TfEnterText& t = env.enterText;
        t.prepare();
        t.edText()->setText(QStringLiteral("typed"));
        t.findChild<QPushButton*>("bbAccept")->click();
        QCOMPARE(t.EnteredText, QStringLiteral("typed"));
        QCOMPARE(t.edText()->text(), QString());
        QCOMPARE(t.result(), int(QDialog::Accepted));
        // rejected: the text stays where it was
        t.prepare();
        t.edText()->setText(QStringLiteral("other"));
        t.reject();
        QCOMPARE(t.EnteredText, QStringLiteral("typed"));
    }
};

QTEST_MAIN(LineGraphTest)
#include "line_graph_window_test.moc"
