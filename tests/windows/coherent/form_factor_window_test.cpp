// The form-factor window through its controls, on the FLASH linac (200 fs, Gaussian): the
// single value, a scan plotted and written, the refusals that come before any file or curve,
// a full graph, a failed file, and closing the window with curves of other windows on the graph.

#include "../../support/program_world.h"
#include "core/plot/graph_model.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {
TfFormFctr* openFF(LinacWorld& world) {
    click(world.w().start, "FF");
    TfFormFctr* w = world.w().formFctr;
    if (!w->isVisible()) qFatal("form factor window not shown");
    return w;
}

void setScan(TfFormFctr* w, const char* kmin, const char* kmax, const char* dk) {
    child<QLineEdit>(w, "Eminwvn")->setText(QString::fromLatin1(kmin));
    child<QLineEdit>(w, "Emaxwvn")->setText(QString::fromLatin1(kmax));
    child<QLineEdit>(w, "Edelwvn")->setText(QString::fromLatin1(dk));
}
}  // namespace

class FormFactorWindow : public QObject {
    Q_OBJECT
private slots:
    void singleValue() {
        LinacWorld world;
        TfFormFctr* w = openFF(world);
        QVERIFY(child<QRadioButton>(w, "isgaussian")->isChecked());  // FLASH is Gaussian
        for (QLabel* l : w->findChildren<QLabel*>()) QVERIFY(!l->text().contains(QStringLiteral("p-sec")));
        typeInto(child<DBEdit>(w, "DBEditBunLen"), QStringLiteral("1000"));
        struct Case {
            const char* shape;
            const char* wavelength;
            QString lff;
        } cases[] = {
            // 1000 fs is 0.2998 mm: 0.9676 uniform at 3 mm
            {"isuniform", "3000", QStringLiteral("the form factor for a uniform beam is    0.968")},
            // exp(-2 pi (0.29979 / 3)^2) = exp(-0.06275) = 0.9392
            {"isgaussian", "3000", QStringLiteral("the form factor for a gaussian beam is    0.939")},
        };
        for (const Case& c : cases) {
            click(w, c.shape);
            child<QLineEdit>(w, "wavelen")->setText(QString::fromLatin1(c.wavelength));
            click(w, "CalcSpFF");
            QCOMPARE(textOf(w, "Lff"), c.lff);
            QVERIFY(!child<QPushButton>(w, "CalcSpFF")->isEnabled());
        }
        QVERIFY(world.messages.log.empty());
        // the reserved text resets the field; a zero goes on at 100 um
        child<QLineEdit>(w, "wavelen")->setText(QStringLiteral("999.99"));
        click(w, "CalcSpFF");
        QCOMPARE(world.texts(), std::vector<std::string>{"select valid wavelength!"});
        QCOMPARE(textOf(w, "wavelen"), QStringLiteral("100.0"));
        QCOMPARE(textOf(w, "Lff"), QString());
        world.messages.clear();
        child<QLineEdit>(w, "wavelen")->setText(QStringLiteral("0"));
        click(w, "CalcSpFF");
        QCOMPARE(world.texts(), std::vector<std::string>{"select valid wavelength!"});
        const QString atDefault = textOf(w, "Lff");
        child<QLineEdit>(w, "wavelen")->setText(QStringLiteral("100"));
        click(w, "CalcSpFF");
        QCOMPARE(textOf(w, "Lff"), atDefault);
    }

    void scanPlottedAndWritten() {
        LinacWorld world;
        TfFormFctr* w = openFF(world);
        const QString path = world.dir.filePath(QStringLiteral("ff.txt"));
        world.dialogs.fileNames.push_back(path);
        child<QCheckBox>(w, "cbSave")->setChecked(true);
        click(w, "CalcSpectrum");
        QVERIFY2(world.messages.log.empty(),
                 world.messages.log.empty() ? "" : world.messages.log[0].text.c_str());
        QVERIFY(!child<QPushButton>(w, "CalcSpectrum")->isEnabled());

        TfGraphs* g = world.w().graphs;
        QVERIFY(g->isVisible());
        const std::vector<int> curves = g->model().shownCurves();
        QCOMPARE(curves.size(), size_t(1));
        const auto& p = g->model().points(curves[0]);
        QVERIFY(p.size() >= 101);
        QVERIFY(p[100].x > 99.999 && p[100].x < 100.001);  // the scan reaches k_max (its values: core tests)
        QCOMPARE(QString::fromStdString(g->model().info(curves[0], 1)),
                 QStringLiteral("distribution:     gaussian"));
        QCOMPARE(QString::fromStdString(g->model().info(curves[0], 2)),
                 QStringLiteral("eff.bunchlength    0.000 m"));

        const QByteArray file = readFile(path);
        QCOMPARE(file.count("\r\n"), int(p.size()));
        QVERIFY(file.startsWith(" 0.00000000000000E+0000 1.00000000000000E+0000\r\n"));
        QCOMPARE(file.size(), int(p.size()) * 48);
    }

    void refusedScansLeaveFileAndGraphAlone() {
        struct Case {
            const char *shape, *duration, *kmin, *kmax, *dk;
            std::string message;
        } cases[] = {
            {"isgaussian", "200", "0", "100", "0", "the increment must be greater than 0!"},
            {"isgaussian", "0", "0", "100", "1", "the bunch length must be greater than 0!"},
            {"isuniform", "200", "1e9", "1e9", "1e-10",
             "the increment is too small to change the wavenumber!"},
            {"isuniform", "200", "0", "100", "1,0", "'1,0' is not a valid floating point value"},
        };
        LinacWorld world;
        TfFormFctr* w = openFF(world);
        const QString path = world.dir.filePath(QStringLiteral("keep.txt"));
        writeFile(path, "an earlier scan\r\n");
        child<QCheckBox>(w, "cbSave")->setChecked(true);
        for (const Case& c : cases) {
            world.messages.clear();
            world.dialogs.fileNames.clear();
            world.dialogs.fileNames.push_back(path);
            click(w, c.shape);
            typeInto(child<DBEdit>(w, "DBEditBunLen"), QString::fromLatin1(c.duration));
            setScan(w, c.kmin, c.kmax, c.dk);
            click(w, "CalcSpectrum");
            QCOMPARE(world.texts(), std::vector<std::string>{c.message});
            QCOMPARE(readFile(path), QByteArray("an earlier scan\r\n"));
            QCOMPARE(world.dialogs.fileNames.size(), size_t(1));  // the file was not even asked for
            QVERIFY(world.w().graphs->model().shownCurves().empty());
        }
    }

    void fullGraphAndFailedFile() {
        LinacWorld world;
        TfFormFctr* w = openFF(world);
        TfGraphs* g = world.w().graphs;
        g->addGraph();
        for (int i = 0; i < kMaxCurvNum; ++i) {
            g->NewCurve();
            g->LoadData(255, i, i);
        }
        const QString path = world.dir.filePath(QStringLiteral("full.txt"));
        world.dialogs.fileNames.push_back(path);
        child<QCheckBox>(w, "cbSave")->setChecked(true);
        click(w, "CalcSpectrum");
        QCOMPARE(world.texts().size(), size_t(1));
        QVERIFY(world.texts()[0].find("already holds 50 curves") != std::string::npos);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(g->CurveCount(), kMaxCurvNum);

        // replacing the graph works; a file in a folder that does not exist is reported
        world.messages.clear();
        click(w, "rbReplace");
        world.dialogs.fileNames.clear();
        world.dialogs.fileNames.push_back(world.dir.filePath(QStringLiteral("no/such/folder/ff.txt")));
        click(w, "CalcSpectrum");
        QCOMPARE(world.texts().size(), size_t(1));
        QVERIFY(world.texts()[0].find("cannot be created") != std::string::npos);
        QCOMPARE(g->CurveCount(), 1);
    }

    void closingTakesOnlyItsOwnCurves() {
        LinacWorld world;
        TfGraphs* g = world.w().graphs;
        g->addGraph();
        g->NewCurve();  // a curve of another window
        g->LoadData(255, 1, 1);
        g->LoadData(255, 2, 4);
        TfFormFctr* w = openFF(world);
        click(w, "CalcSpectrum");
        child<QLineEdit>(w, "Edelwvn")->setText(QStringLiteral("2"));
        click(w, "CalcSpectrum");
        QCOMPARE(g->CurveCount(), 3);
        click(w, "BtClose");
        QVERIFY(!w->isVisible());
        QCOMPARE(g->CurveCount(), 1);
        const std::vector<int> left = g->model().shownCurves();
        QCOMPARE(left.size(), size_t(1));
        QCOMPARE(g->model().points(left[0]).size(), size_t(2));
    }
};

QTEST_MAIN(FormFactorWindow)
#include "form_factor_window_test.moc"
