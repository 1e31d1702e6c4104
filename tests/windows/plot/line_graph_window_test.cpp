// The line-spectrum bar chart and the text entry dialog.
#include "windows/plot/line_graph_window.h"

#include <qcustomplot.h>

#include <QAction>
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
        QCOMPARE(lg.chart()->yAxis->range().lower, 0.0);
        QCOMPARE(lg.chart()->yAxis->range().upper, 5.5e12);
        // bars kept in ascending photon energy
        QCOMPARE(lg.bars()->data()->size(), 3);
        QCOMPARE(lg.bars()->data()->at(0)->key, 0.0);
        QCOMPARE(lg.bars()->data()->at(2)->key, 3000.0);
        QVERIFY(lg.chart()->xAxis->range().contains(0) && lg.chart()->xAxis->range().contains(3000));
        // no bars above zero: the range stays as it was
        lg.New(QStringLiteral("flux"));
        lg.XY(0, 0);
        lg.Axis();
        QCOMPARE(lg.chart()->yAxis->range().upper, 5.5e12);
    }

    void newTwiceLeavesAnEmptyChartWithTheSecondCaption() {
        PlotEnv env;
        TfLineGraph lg(env.ctx);
        lg.New(QStringLiteral("flux"));
        lg.XY(1000, 1);
        lg.New(QStringLiteral("brightness"));
        QCOMPARE(lg.bars()->data()->size(), 0);
        QCOMPARE(lg.chart()->yAxis->label(), QStringLiteral("brightness"));
    }

    void titlesThroughTheTextEntry() {
        PlotEnv env;
        TfLineGraph lg(env.ctx);
        lg.New(QStringLiteral("flux"));
        env.typeTitle(QStringLiteral("U46, 6 GeV"));
        lg.findChild<QAction*>("MainTitle1")->trigger();
        QCOMPARE(chartTitle(lg.chart())->text(), QStringLiteral("U46, 6 GeV"));
        env.typeTitle(QStringLiteral("E (eV)"));
        lg.findChild<QAction*>("bottomaxistitle1")->trigger();
        QCOMPARE(lg.chart()->xAxis->label(), QStringLiteral("E (eV)"));
        // closing the dialog without OK changes nothing
        env.typeTitle(QStringLiteral("not this"), false);
        lg.findChild<QAction*>("leftaxistitle1")->trigger();
        QCOMPARE(lg.chart()->yAxis->label(), QStringLiteral("flux"));
        env.typeTitle(QString());
        lg.findChild<QAction*>("leftaxistitle1")->trigger();
        QCOMPARE(lg.chart()->yAxis->label(), QString());
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
