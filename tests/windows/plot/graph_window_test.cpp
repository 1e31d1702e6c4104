// The graph window driven like the calculator windows and the user drive it.
#include "windows/plot/graph_window.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <cfenv>
#include <cmath>

#include "plot_test_env.h"
#include "windows/plot/line_graph_window.h"

using namespace lumerad;
using lumerad::testing::PlotEnv;

namespace {

QLineEdit* field(TfGraphs& g, const char* name) { return g.findChild<QLineEdit*>(QLatin1String(name)); }
QRadioButton* radio(TfGraphs& g, const char* name) { return g.findChild<QRadioButton*>(QLatin1String(name)); }
void click(TfGraphs& g, const char* name) { g.findChild<QAbstractButton*>(QLatin1String(name))->click(); }
void trigger(TfGraphs& g, const char* name) { g.findChild<QAction*>(QLatin1String(name))->trigger(); }
void clickInfo(TfGraphs& g, int row, bool twice = false) {
    clickItem(g.findChild<QListWidget*>(QStringLiteral("lbCurvInfo")), row, twice);
}

void type(TfGraphs& g, std::initializer_list<std::pair<const char*, const char*>> typed) {
    for (auto [name, value] : typed) field(g, name)->setText(QLatin1String(value));
}

QStringList items(QListWidget* l) {
    QStringList s;
    for (int i = 0; i < l->count(); ++i) s << l->item(i)->text();
    return s;
}

// One curve through (1, 0), (3, 200), (5, 50), as a spectrum window would send it.
void smallCurve(TfGraphs& g) {
    g.NewGraph(QStringLiteral("spectrum"));
    g.replaceGraph();
    g.NewCurve();
    g.LoadData(255, 1, 0);
    g.LoadData(255, 3, 200);
    g.LoadData(255, 5, 50);
}

}  // namespace

class GraphWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Add mode takes up to 50 curves; the 51st stops the caller; replace mode keeps one.
    void curvesInAddModeAndReplaceMode() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        g.NewGraph(QStringLiteral("many"));
        g.addGraph();
        for (int i = 1; i <= TfGraphs::MaxCurvNum(); ++i) {
            QVERIFY(env.runner.run([&] { g.NewCurve(); }));
            g.LoadData(16711680, i, i);
        }
        QCOMPARE(curve(&g, 1)->pen().color(), QColor(Qt::blue));  // the colour arrives as BGR
        bool loaded = false;
        QVERIFY(!env.runner.run([&] {
            g.NewCurve();
            g.LoadData(255, 99, 99);  // a caller's loop stops with the refusal
            loaded = true;
        }));
        QVERIFY(!loaded);
        QCOMPARE(env.errors().size(), size_t(1));
        QCOMPARE(curve(&g, 50)->data()->size(), 1);
        g.replaceGraph();
        g.NewCurve();
        QCOMPARE(g.CurveCount(), 1);
        QVERIFY(curve(&g, 0));
        QVERIFY(!curve(&g, 1));
        // NewGraph empties the chart but keeps the parameter lines
        g.addInfo(1, QStringLiteral("ESRF"));
        g.NewGraph(QStringLiteral("again"));
        QCOMPARE(g.CurveCount(), 0);
        QCOMPARE(g.model().info(0, 1), std::string("ESRF"));
    }

    void loadingWritesExtremesTypedRangesStay() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        smallCurve(g);
        QCOMPARE(field(g, "Exmin")->text(), QStringLiteral("1.00"));
        QCOMPARE(field(g, "Eymax")->text(), QStringLiteral("  2E2"));
        g.showCurves();  // fitted before any activation reaches the window
        QCOMPARE(chartOf(&g)->yAxis->range().upper, 220.0);
        QCOMPARE(field(g, "Eymin")->text(), QStringLiteral("    0.02"));
        // the next point, inside the extremes, shows the extremes again
        g.LoadData(255, 2, 100);
        QCOMPARE(field(g, "Eymin")->text(), QStringLiteral("    0"));
        // typed ranges, then the default button
        type(g, {{"Exmin", "2"}, {"Exmax", "20000"}, {"Eymin", "0"}, {"Eymax", "300"}});
        click(g, "OkButton");
        QVERIFY(env.errors().empty());
        QVERIFY(g.model().UserAxes);
        QCOMPARE(chartOf(&g)->yAxis->range().upper, 300.0);  // drawn as typed
        QCOMPARE(field(g, "Exmax")->text(), QStringLiteral("     2E4"));
        // with typed ranges, loading no longer touches the fields
        g.LoadData(255, 4, 1000);
        QCOMPARE(field(g, "Eymax")->text(), QStringLiteral("  300.00"));
        click(g, "bbDefault");
        QVERIFY(!g.model().UserAxes);
        QCOMPARE(chartOf(&g)->yAxis->range().upper, 1100.0);
    }

    // A refused field changes no axis and keeps what was typed; mended, the axes follow it.
    void aRefusedFieldChangesNoAxis() {
        struct Case {
            const char *name, *text, *mended, *error;
        };
        const Case cases[] = {{"edIncrx", "1,5", "1", "'1,5' is not a valid floating point value"},
                              {"Eymin", "-5", "0.5", "positive"}};  // on a logarithmic axis
        for (const Case& c : cases) {
            PlotEnv env;
            TfGraphs g(env.ctx);
            smallCurve(g);
            QVERIFY(env.runner.run([&] { g.formActivate(); }));
            type(g, {{"Eymin", "0.5"}, {"Eymax", "300"}, {c.name, c.text}});
            radio(g, "RByLog")->setChecked(true);
            click(g, "OkButton");
            QCOMPARE(env.errors().size(), size_t(1));
            QVERIFY2(QString::fromStdString(env.errors()[0]).contains(QLatin1String(c.error)), c.error);
            QCOMPARE(chartOf(&g)->yAxis->range().upper, 220.0);
            QCOMPARE(chartOf(&g)->yAxis->scaleType(), QCPAxis::stLinear);
            QCOMPARE(field(g, c.name)->text(), QLatin1String(c.text));
            type(g, {{c.name, c.mended}});
            click(g, "OkButton");
            QCOMPARE(env.errors().size(), size_t(1));
            QCOMPARE(chartOf(&g)->yAxis->scaleType(), QCPAxis::stLogarithmic);
            QCOMPARE(chartOf(&g)->yAxis->range().lower, 0.5);
        }
    }

    void clickingACurveShowsItsLinesAndDeletesOnYes() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        g.addGraph();
        g.NewCurve();
        g.LoadData(255, 1, 1);
        g.NewCurve();
        g.addInfo(2, QStringLiteral("ESRF 6 GeV"));
        g.addInfo(5, QStringLiteral("B = 0.86 T"));
        g.LoadData(255, 1, 2);
        auto* panel = g.findChild<QListWidget*>("lbCurvInfo");
        clickCurve(chartOf(&g), curve(&g, 2));
        // the second red curve is dashed, and its panel says so below the fixed head lines
        QCOMPARE(items(panel).mid(5), (QStringList{"ESRF 6 GeV", "B = 0.86 T", "line style: red, dashed",
                                                   QString(37, QLatin1Char('-'))}));
        QCOMPARE(curve(&g, 2)->pen().style(), Qt::DashLine);
        // item 3 asks; No keeps the curve
        env.messages.answers = {false};
        clickInfo(g, 3);
        QCOMPARE(env.messages.log.back().text, std::string("really delete curve?"));
        QCOMPARE(g.CurveCount(), 2);
        env.messages.answers = {true};
        clickInfo(g, 3);
        QVERIFY(!curve(&g, 2));
        clickCurve(chartOf(&g), curve(&g, 1));
        clickInfo(g, 0);  // other items do nothing
        QVERIFY(!panel->isHidden());
        clickInfo(g, 2);
        QVERIFY(panel->isHidden());
        clickCurve(chartOf(&g), curve(&g, 1));
        clickInfo(g, 0, true);
        QVERIFY(panel->isHidden());
    }

    void theInformationPanelShowsEveryLineInFull() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        g.resize(981, 658);
        g.show();
        g.replaceGraph();
        g.NewCurve();
        const QString longLine = QStringLiteral("source magnet     Diamond dipole 1.4 T (long straight 9)");
        for (int i = 0; i < 16; ++i) g.addInfo(i, i == 10 ? longLine : QStringLiteral("line %1").arg(i));
        g.LoadData(255, 1, 1);
        clickCurve(chartOf(&g), curve(&g, 0));
        auto* panel = g.findChild<QListWidget*>("lbCurvInfo");
        QCOMPARE(panel->count(), 5 + 16 + 1 + 1);  // and the line style
        QCOMPARE(panel->textElideMode(), Qt::ElideNone);
        // the longest line and all 23 items fit without scrolling, inside the chart
        QVERIFY(panel->viewport()->width() >= panel->fontMetrics().horizontalAdvance(longLine));
        QVERIFY(panel->viewport()->height() >= 23 * panel->sizeHintForRow(0));
        QVERIFY(panel->geometry().right() < chartOf(&g)->width());
        QVERIFY(panel->geometry().bottom() < chartOf(&g)->height());
        // the smallest window: the panel shrinks with the chart and scrolls
        g.resize(1, 1);
        QCoreApplication::processEvents();
        QVERIFY(chartOf(&g)->rect().contains(panel->geometry()));
    }

    void titlesThroughTheTextEntry() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        env.checkTitles(g, chartOf(&g), "bottomaxixtitle1");
    }

    void copyDataGivesEveryCurveWithItsHeader() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        g.addGraph();
        g.NewCurve();
        g.addInfo(1, QStringLiteral("ESRF"));
        g.addInfo(3, QStringLiteral("B = 0.86 T"));
        g.LoadData(255, 1, 2.5);
        g.LoadData(255, 2, 1e20);
        g.NewCurve();
        g.LoadData(255, 3, -0.125);
        g.XAxis(QStringLiteral("E (eV)"));
        g.YAxis(QStringLiteral("flux"));
        trigger(g, "copydata1");
        const QString want = QStringLiteral(
            "curve 1\tESRF\tB = 0.86 T\nE (eV)\tflux\n1\t2.5\n2\t1E20\n\n"
            "curve 2\nE (eV)\tflux\n3\t-0.125\n\n");
        QCOMPARE(QGuiApplication::clipboard()->text(), want);
        // nothing to copy: said so
        g.NewGraph(QStringLiteral("empty"));
        trigger(g, "copydata1");
        QCOMPARE(env.messages.log.back().kind, RecordingMessages::Entry::Info);
    }

    // A bending-magnet spectrum (10 eV to 1 MeV, critical energy 10 keV) whose flux
    // underflows to zero in the far tail, on logarithmic axes: QCustomPlot takes the
    // logarithm of the zeros and turns the resulting infinities into pixel coordinates
    // while it draws. Showing, resizing, replotting, exporting and printing inside another
    // window's action must not end that action with a floating-point message.
    void drawingInsideAnActionGivesNoFloatMessage() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        TfLineGraph lines(env.ctx);
        env.ctx.setWindow(WindowId::Graphs, &g);
        g.NewGraph(QStringLiteral("spectrum"));
        g.replaceGraph();
        g.NewCurve();
        for (int i = 0; i <= 500; ++i) {
            const double e = 10 * std::pow(10.0, i / 100.0);
            const double u = e / 1e4;  // photon energy over the critical energy
            const double flux = u > 700 ? 0 : 1.3e13 * std::cbrt(u) * std::exp(-u);
            g.LoadData(255, e, flux);
        }
        g.LoadData(255, 1e6, 0);
        g.addGraph();
        g.NewCurve();
        g.LoadData(16711680, 0, 0);  // a point at the origin of a logarithmic plot
        g.LoadData(16711680, 1e5, 2e12);
        radio(g, "RBxLog")->setChecked(true);
        radio(g, "RByLog")->setChecked(true);
        lines.New(QStringLiteral("photon flux"));
        for (int n = 1; n <= 9; n += 2) lines.XY(1000.0 * n, 1e13 / n);
        lines.XY(0, 0);
        lines.Axis();

        QTemporaryDir dir;
        env.dialogs.onPrint = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
        };
        std::feclearexcept(FE_ALL_EXCEPT);
        const bool ran = env.runner.run([&] {
            g.showTool();
            lines.showTool();
            g.resize(700, 500);
            lines.resize(600, 400);
            QCoreApplication::processEvents();  // the queued replots and paints run here
            chartOf(&g)->replot(QCustomPlot::rpImmediateRefresh);
            chartOf(&lines)->replot(QCustomPlot::rpImmediateRefresh);
            g.grab();
            lines.grab();
            click(g, "OkButton");  // typed (rewritten) ranges, log axes
            click(g, "bbDefault");
            QCoreApplication::processEvents();
            for (const char* name : {"c.png", "c.svg", "c.pdf", "c.wmf"})
                saveChart(chartOf(&g), dir.filePath(QLatin1String(name)));
            saveChart(chartOf(&lines), dir.filePath(QStringLiteral("l.wmf")));
            trigger(g, "plotgraph1");
        });
        QVERIFY2(env.errors().empty(), env.errors().empty() ? "" : env.errors().front().c_str());
        QVERIFY(ran);
        // A calculation's own faults are still reported: drawing inside it keeps the
        // flags, it does not clear them.
        const bool reported = env.runner.run([&] {
            calculated([&] {
                volatile double zero = 0;
                volatile double q = zero / zero;
                (void)q;
                chartOf(&g)->replot(QCustomPlot::rpImmediateRefresh);
                g.grab();
            });
        });
        QVERIFY(!reported);
        QCOMPARE(env.errors().back(), std::string("Invalid floating point operation"));
    }

    // Neighbouring tick labels never read alike, and the labelled ticks span the range: the
    // digits follow the tick step, however narrow the range or small the numbers.
    void tickLabelsOfNarrowRangesAllDiffer() {
        struct Case {
            double lo, hi, increment;
            const char* format;
        };
        const Case cases[] = {
            {1.0000001, 1.0000002, 0, kPlainFormat},  // seven equal leading digits
            {-1.0000002, -1.0000001, 0, kPlainFormat},
            {0.0001, 0.00033, 0, kPlainFormat},  // typed 1E-4 .. 3E-4 with 10 % headroom
            {12345.6, 12345.7, 0, kPlainFormat},
            {1e-12, 1.32e-12, 0, kExpFormat},  // 1.05E-12 would round to 1.1E-12
            {1.234e-12, 1.2341e-12, 0, kExpFormat},
            {0.02, 220, 0.02, kPlainFormat},  // ordinary automatic ranges
            {5.8e11, 1.925e13, 1.8e9, kExpFormat},
            {0, 0.0011, 1.0, kPlainFormat},  // the default increment of 1 on a tiny range
            {0, 11, 1.1, kPlainFormat},      // a typed increment is kept
            {0.5, 2.5, 0, "#,###"},
        };
        for (const Case& c : cases) {
            QSharedPointer<PictureTicker> ticker(new PictureTicker);
            ticker->format = c.format;
            ticker->increment = c.increment;
            QVector<double> ticks;
            QVector<QString> labels;
            ticker->generate(QCPRange(c.lo, c.hi), QLocale::c(), 'g', 6, ticks, nullptr, &labels);
            const QString what = QStringLiteral("%1 .. %2: %3")
                                     .arg(c.lo, 0, 'g', 17)
                                     .arg(c.hi, 0, 'g', 17)
                                     .arg(QStringList(labels.begin(), labels.end()).join(QLatin1Char(' ')));
            QVERIFY2(ticks.size() >= 3, qPrintable(what));
            QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
            const double span = c.hi - c.lo, step = ticks[1] - ticks[0];
            QVERIFY2(ticks.first() - c.lo <= span / 2 && c.hi - ticks.last() <= span / 2, qPrintable(what));
            if (c.increment == 1.1) QVERIFY(std::fabs(step - 1.1) < 1e-12);
            for (int i = 0; i < ticks.size(); ++i) {
                // every label reads back as its tick, to well within half a step
                const double shown = QString(labels[i]).remove(QLatin1Char(',')).toDouble();
                QVERIFY2(std::fabs(shown - ticks[i]) <= 0.01 * step, qPrintable(what));
            }
        }
    }

    // Tick labels and axis titles stay inside the chart at the smallest size the window
    // allows, at its design size and larger: nothing drawn touches the chart's outer pixels.
    void axisLabelsStayInsideTheChart() {
        const QString longTitle = QStringLiteral(
            "angular photon flux density, photons/s/mrad^2/0.1%bw, sigma and pi polarisation summed");
        const QString unbroken(90, QLatin1Char('W'));
        struct Case {
            QString xTitle, yTitle;
            const char* typed[6];  // Exmin, Exmax, edIncrx, Eymin, Eymax, edIncry
        };
        const Case cases[] = {
            {QStringLiteral("photon energy, eV"),
             QStringLiteral("flux"),
             {"1E-13", "1E-12", "1E-13", "0", "1E20", "1E19"}},
            {longTitle, longTitle, {"12345.678", "99999", "1000", "-1.234E-12", "1.234E-12", "1E-13"}},
            {unbroken, unbroken, {"0", "1.234E-12", "1E-13", "0.0001", "0.0003", "0"}},
        };
        for (const Case& c : cases) {
            // the smallest the window allows, its design size, larger
            for (const QSize size : {QSize(1, 1), QSize(981, 658), QSize(1600, 1000)}) {
                PlotEnv env;
                TfGraphs g(env.ctx);
                g.replaceGraph();
                g.NewCurve();
                g.LoadData(kRedCurve, 1, 1);
                g.XAxis(c.xTitle);
                g.YAxis(c.yTitle);
                int i = 0;
                for (const char* name : {"Exmin", "Exmax", "edIncrx", "Eymin", "Eymax", "edIncry"})
                    field(g, name)->setText(QLatin1String(c.typed[i++]));
                g.show();
                g.resize(size);
                QCoreApplication::processEvents();
                click(g, "OkButton");
                QVERIFY(env.errors().empty());
                QCustomPlot* chart = chartOf(&g);
                chart->replot(QCustomPlot::rpImmediateRefresh);
                const QImage image = chart->grab().toImage();
                const QString what =
                    QStringLiteral("%1 at %2x%3").arg(c.typed[0]).arg(chart->width()).arg(chart->height());
                const QRgb back = image.pixel(image.width() / 2, image.height() - 1);
                QCOMPARE(QColor(back), QColor(240, 240, 240));
                if (size.width() == 1) QVERIFY2(g.width() <= 1024, qPrintable(what));  // nor a long caption
                const QRect inner = image.rect().adjusted(1, 1, -1, -1);
                for (int x = 0; x < image.width(); ++x)
                    for (int y = 0; y < image.height(); y += inner.contains(x, y) ? image.height() - 2 : 1)
                        QVERIFY2(image.pixel(x, y) == back, qPrintable(what));
                // the full titles are kept for the data the user copies
                QCOMPARE(QuietPlot::axisTitle(chart->xAxis), c.xTitle);
                trigger(g, "copydata1");
                QVERIFY(QGuiApplication::clipboard()->text().contains(c.yTitle));
            }
        }
    }

    // Closing, by the button or the window's own close, hides the window and the information
    // panel; the curves stay for the next time it is shown.
    void closingHidesWindowAndPanel() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        smallCurve(g);
        for (bool byButton : {true, false}) {
            g.show();
            clickCurve(chartOf(&g), curve(&g, 0));
            byButton ? click(g, "bbClose") : void(g.close());
            QVERIFY(g.isHidden() && g.findChild<QListWidget*>("lbCurvInfo")->isHidden());
        }
        QCOMPARE(g.CurveCount(), 1);
    }

    // However its curve leaves the chart, the information panel goes with it, and its
    // "delete" line can no longer reach another curve.
    void theInformationPanelGoesWithItsCurve() {
        const QStringList ways{"delete", "new graph", "replace", "owner closed"};
        for (const QString& way : ways) {
            PlotEnv env;
            TfGraphs g(env.ctx);
            g.addGraph();
            g.NewCurve();
            for (int i = 0; i <= 10; ++i) g.LoadData(kRedCurve, i, 1);
            g.NewCurve();
            g.setCurveOwner(QStringLiteral("TfFormFctr"));
            g.addInfo(1, QStringLiteral("upper"));
            for (int i = 0; i <= 10; ++i) g.LoadData(kBlueCurve, i, 5);
            g.resize(981, 658);
            g.show();
            QVERIFY(env.runner.run([&] { g.formActivate(); }));
            chartOf(&g)->replot();
            auto* panel = g.findChild<QListWidget*>("lbCurvInfo");
            const QPoint at(int(chartOf(&g)->xAxis->coordToPixel(5)),
                            int(chartOf(&g)->yAxis->coordToPixel(5)));
            QTest::mouseClick(chartOf(&g), Qt::LeftButton, Qt::NoModifier, at);
            QVERIFY(!panel->isHidden());
            QVERIFY(items(panel).contains(QStringLiteral("upper")));
            if (way == "delete") {
                env.messages.answers = {true};
                QTest::mouseClick(panel->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  panel->visualItemRect(panel->item(3)).center());
                QCOMPARE(g.CurveCount(), 1);
            } else if (way == "new graph") {
                g.NewGraph(QStringLiteral("next"));
            } else if (way == "replace") {
                g.replaceGraph();
                g.NewCurve();
            } else {
                g.deleteCurvesOf(QStringLiteral("TfFormFctr"));
            }
            QVERIFY2(panel->isHidden(), qPrintable(way));
            QCOMPARE(panel->count(), 0);
            // a new curve in the freed slot is not deleted through the old panel
            g.addGraph();
            g.NewCurve();
            g.LoadData(kRedCurve, 1, 1);
            const int before = g.CurveCount();
            env.messages.answers = {true};
            clickInfo(g, GraphModel::kDeleteItem);
            QCOMPARE(g.CurveCount(), before);
        }
    }
};

QTEST_MAIN(GraphWindowTest)
#include "graph_window_test.moc"
