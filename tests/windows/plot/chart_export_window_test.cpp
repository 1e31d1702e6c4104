// Metafile, image and PDF export and printing of the graph window (the line graph draws its
// chart with the same routines).
// The metafile is read back by wmf2svg (libwmf), an independent reader.

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <map>

#include "plot_test_env.h"
#include "windows/plot/graph_window.h"
#include "windows/plot/wmf_writer.h"

using namespace lumerad;
using lumerad::testing::PlotEnv;

namespace {

void trigger(QWidget& w, const char* name) { w.findChild<QAction*>(QLatin1String(name))->trigger(); }

// Two curves, red and blue, with named axes, fitted as on activation.
void twoCurves(PlotEnv& env, TfGraphs& g) {
    g.NewGraph(QStringLiteral("Bending magnet spectrum"));
    g.addGraph();
    for (int c = 0; c < 2; ++c) {
        g.NewCurve();
        g.addInfo(1, QStringLiteral("curve"));
        for (int i = 0; i <= 100; ++i) {
            const double x = 100 + 400.0 * i;
            g.LoadData(c == 0 ? 255 : 16711680, x,
                       (c + 1) * 1e13 * std::sqrt(x / 20000) * std::exp(-x / 30000));
        }
    }
    g.XAxis(QStringLiteral("photon energy (eV)"));
    g.YAxis(QStringLiteral("photons per second"));
    chartOf(&g)->resize(969, 527);
    QVERIFY(env.runner.run([&] { g.formActivate(); }));
}

quint16 word(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 dword(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

struct WmfSummary {
    quint32 largest = 0;
    int creates = 0, deletes = 0, maxIndex = -1;
    bool sizesAddUp = false;
    std::map<int, int> functions;
    std::vector<std::vector<QPoint>> polylines, polygons;
    QRect rect;  // the last rectangle
};

// Walks the records as a player would, following every object's table slot.
WmfSummary walk(const QByteArray& file) {
    WmfSummary s;
    int at = 22 + 18;
    std::vector<bool> table;
    while (at + 6 <= file.size()) {
        const quint32 size = dword(file, at);
        const quint16 fn = word(file, at + 4);
        if (size < 3) break;
        s.largest = std::max(s.largest, size);
        s.functions[fn]++;
        if (fn == 0x0325 || fn == 0x0324) {
            std::vector<QPoint> pts;
            for (int i = 0, n = word(file, at + 6); i < n; ++i)
                pts.emplace_back(qint16(word(file, at + 8 + 4 * i)), qint16(word(file, at + 10 + 4 * i)));
            (fn == 0x0325 ? s.polylines : s.polygons).push_back(pts);
        } else if (fn == 0x041B) {
            s.rect = QRect(QPoint(qint16(word(file, at + 12)), qint16(word(file, at + 10))),
                           QPoint(qint16(word(file, at + 8)), qint16(word(file, at + 6))));
        } else if (fn == 0x02FA || fn == 0x02FB || fn == 0x02FC) {
            auto it = std::find(table.begin(), table.end(), false);
            const int slot = int(it - table.begin());
            if (it == table.end())
                table.push_back(true);
            else
                *it = true;
            s.maxIndex = std::max(s.maxIndex, slot);
            ++s.creates;
        } else if (fn == 0x01F0) {
            const int slot = word(file, at + 6);
            if (slot < int(table.size()) && table[slot]) {
                table[slot] = false;
                ++s.deletes;
            }
        }
        at += int(size) * 2;
        if (fn == 0) {
            s.sizesAddUp = at == file.size();
            break;
        }
    }
    return s;
}

QString wmf2svg(const QString& wmf, QString* errors) {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    if (exe.isEmpty()) return {};
    const QString svg = wmf + QStringLiteral(".svg");
    QProcess p;
    p.start(exe, {QStringLiteral("-o"), svg, wmf});
    p.waitForFinished(60000);
    *errors =
        QString::fromLocal8Bit(p.readAllStandardError()) + QString::fromLocal8Bit(p.readAllStandardOutput());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) *errors += QStringLiteral(" (failed)");
    return QString::fromUtf8(readFile(svg));
}

}  // namespace

class ChartExportTest : public QObject {
    Q_OBJECT
private slots:
    // The saved metafile: headers that match the records, every object deleted again, and
    // an independent reader finds the titles and one polyline per curve in its colour.
    void metafileIsWellFormedAndReadsBack() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        twoCurves(env, g);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("spectrum.wmf"));
        env.dialogs.fileNames = {file};
        trigger(g, "saveasmetafile1");
        QVERIFY(env.errors().empty());
        const QByteArray f = readFile(file);
        QVERIFY(f.size() > 40);
        // placeable header: key, bounding box of the chart, units per inch, checksum
        QCOMPARE(dword(f, 0), 0x9AC6CDD7u);
        QCOMPARE(word(f, 10), quint16(969 * 4));
        QCOMPARE(word(f, 12), quint16(527 * 4));
        QCOMPARE(word(f, 14), quint16(96 * 4));
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i) sum ^= word(f, 2 * i);
        QCOMPARE(word(f, 20), sum);
        // metafile header: size, objects, largest record
        QCOMPARE(qint64(dword(f, 28)) * 2, qint64(f.size() - 22));
        WmfSummary s = walk(f);
        QVERIFY(s.sizesAddUp);
        QCOMPARE(int(word(f, 32)), s.maxIndex + 1);
        QCOMPARE(dword(f, 34), s.largest);
        QCOMPARE(s.deletes, s.creates);
        QCOMPARE(s.functions[0x001E], s.functions[0x0127]);  // saves and restores pair up
        if (QStandardPaths::findExecutable(QStringLiteral("wmf2svg")).isEmpty())
            QSKIP("wmf2svg is not installed");
        QString complaints;
        const QString svg = wmf2svg(file, &complaints);
        QVERIFY2(complaints.trimmed().isEmpty(), qPrintable(complaints));
        for (const char* text : {">photon energy (eV)<", ">photons per second<", ">Bending magnet spectrum<"})
            QVERIFY2(svg.contains(QLatin1String(text)), text);
        static const QRegularExpression polyline(QStringLiteral("<polyline[^>]*stroke:(red|blue)[^>]*>"));
        int red = 0, blue = 0;
        for (auto it = polyline.globalMatch(svg); it.hasNext();)
            (it.next().captured(1) == QLatin1String("red") ? red : blue)++;
        QCOMPARE(red, 1);
        QCOMPARE(blue, 1);
        // where the reader puts the texts: the x-axis title's baseline inside the page, the
        // y-axis title left of every tick number, as on screen
        static const QRegularExpression text(QStringLiteral(
            "matrix\\([-0-9.]+ [-0-9.]+ [-0-9.]+ [-0-9.]+ ([-0-9.]+) ([-0-9.]+)\\)\"\\s*>([^<]*)<"));
        static const QRegularExpression page(
            QStringLiteral("<rect x=\"[-0-9.]+\" y=\"([-0-9.]+)\" width=\"[-0-9.]+\" height=\"([-0-9.]+)\""));
        const auto p = page.match(svg);
        const double bottom = p.captured(1).toDouble() + p.captured(2).toDouble();
        double yTitleX = 1e9, leftmostTick = 1e9;
        for (auto it = text.globalMatch(svg); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(3) == QLatin1String("photon energy (eV)"))
                QVERIFY(m.captured(2).toDouble() < bottom);
            if (m.captured(3) == QLatin1String("photons per second")) yTitleX = m.captured(1).toDouble();
            if (m.captured(3).endsWith(QLatin1String("E+12")))
                leftmostTick = std::min(leftmostTick, m.captured(1).toDouble());
        }
        QVERIFY2(yTitleX < leftmostTick,
                 qPrintable(QString::number(yTitleX) + " " + QString::number(leftmostTick)));
    }

    void drawingFarOutsideIsCutAtThePicture() {
        // A spectrum tail on a logarithmic axis lies thousands of pixels below the chart.
        // The metafile keeps only what lies on the picture: readers that size a picture by
        // its contents would otherwise shrink the chart, and 16-bit coordinates overflow.
        WmfDevice device(400, 300);
        {
            QPainter p(&device);
            p.setPen(QPen(Qt::red, 1));
            p.drawPolyline(
                QPolygonF{QPointF(50, 50), QPointF(100, 100), QPointF(200, 100100), QPointF(300, 100)});
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::blue);
            p.drawPolygon(
                QPolygonF{QPointF(10, 10), QPointF(20, 10), QPointF(20, 90000), QPointF(10, 90000)});
            p.drawRect(QRectF(350, -50000, 10, 50100));
        }
        const WmfSummary s = walk(device.data());
        const auto &polylines = s.polylines, &polygons = s.polygons;
        const QRect rect = s.rect;
        // four units per pixel; nothing beyond a few pixels around the 400 x 300 picture
        const QRect page(-4 * 8, -4 * 8, 4 * 416, 4 * 316);
        QCOMPARE(int(polylines.size()), 2);  // down and out, then back in from below
        for (const auto& set : {polylines, polygons})
            for (const auto& pts : set)
                for (const QPoint& q : pts)
                    QVERIFY2(page.contains(q), qPrintable(QStringLiteral("%1,%2").arg(q.x()).arg(q.y())));
        // the cut keeps the direction: the steep segment leaves the picture 0.2 px right of x = 100
        QCOMPARE(polylines[0].front(), QPoint(200, 200));
        QCOMPARE(polylines[0][1], QPoint(400, 400));
        QVERIFY(std::abs(polylines[0].back().x() - 401) <= 1);
        QCOMPARE(polygons.size(), size_t(1));
        QVERIFY(page.contains(rect.topLeft()) && page.contains(rect.bottomRight()));
        QCOMPARE(rect.left(), 1400);
    }

    // What the charts draw besides lines and polygons: a clip rectangle and the text turned
    // for the left axis title.
    void painterPrimitivesReadBack() {
        WmfDevice device(400, 300);
        {
            QPainter p(&device);
            p.setClipRect(QRect(200, 0, 100, 300));
            p.setPen(QPen(Qt::red, 1));
            p.drawLine(QPointF(150, 150), QPointF(350, 160));  // cut to 200..300 by the player
            p.setClipping(false);
            p.setFont(QFont(QStringLiteral("Times New Roman"), 12, QFont::Bold));
            p.translate(30, 250);
            p.rotate(-90);
            p.drawText(QPointF(0, 0), QStringLiteral("upwards"));
        }
        const QByteArray f = device.data();
        WmfSummary s = walk(f);
        QVERIFY(s.sizesAddUp);
        QCOMPARE(s.functions[0x0416], 1);  // clip rectangle
        QCOMPARE(s.deletes, s.creates);
        if (QStandardPaths::findExecutable(QStringLiteral("wmf2svg")).isEmpty())
            QSKIP("wmf2svg is not installed");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shapes.wmf"));
        QVERIFY(device.save(file));
        QString complaints;
        const QString svg = wmf2svg(file, &complaints);
        QVERIFY2(complaints.trimmed().isEmpty(), qPrintable(complaints));
        // the rotated text turns a quarter counter-clockwise: matrix(0 -1 1 0 ...)
        static const QRegularExpression rotated(
            QStringLiteral("matrix\\(0\\.0+ -1\\.0+ 1\\.0+ 0\\.0+[^)]*\\)\"\\s*>upwards<"));
        QVERIFY(rotated.match(svg).hasMatch());
    }

    void imageFormatsFollowTheSuffix() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        twoCurves(env, g);
        QTemporaryDir dir;
        const QString png = dir.filePath("a.png"), svg = dir.filePath("a.svg"), pdf = dir.filePath("a.PDF");
        env.dialogs.fileNames = {png, svg, pdf};
        for (int i = 0; i < 3; ++i) trigger(g, "saveasmetafile1");
        QVERIFY(env.errors().empty());
        QCOMPARE(QImage(png).size(), QSize(969, 527));
        QVERIFY(readFile(svg).contains("photon energy (eV)"));
        QVERIFY(readFile(pdf).startsWith("%PDF-"));
    }

    void anUnwritableFileIsReported() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        twoCurves(env, g);
        env.dialogs.fileNames = {QStringLiteral("/nonexistent-folder/x.wmf")};
        trigger(g, "saveasmetafile1");
        QCOMPARE(env.errors().size(), size_t(1));
        QVERIFY(
            QString::fromStdString(env.errors()[0]).contains(QStringLiteral("/nonexistent-folder/x.wmf")));
    }

    void printingGivesOneLandscapePage() {
        PlotEnv env;
        TfGraphs g(env.ctx);
        twoCurves(env, g);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        QPrinter* printer = nullptr;
        env.dialogs.onPrint = [&](QPrinter& p) {
            printer = &p;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPageSize(QPageSize(QPageSize::A4));
            p.setPageOrientation(QPageLayout::Portrait);
        };
        trigger(g, "plotgraph1");
        QVERIFY(env.errors().empty());
        QCOMPARE(env.dialogs.printCount, 1);
        QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);  // restored
        const QByteArray bytes = readFile(pdf);
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        QCOMPARE(QString::fromLatin1(bytes).count(page), 1);
        static const QRegularExpression box(
            QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"));
        const auto m = box.match(QString::fromLatin1(bytes));
        QVERIFY(m.hasMatch());
        QVERIFY(m.captured(1).toDouble() > m.captured(2).toDouble());
        // a refused print dialog prints nothing
        QFile::remove(pdf);
        env.dialogs.printAccepted = false;
        trigger(g, "plotgraph1");
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(ChartExportTest)
#include "chart_export_window_test.moc"
