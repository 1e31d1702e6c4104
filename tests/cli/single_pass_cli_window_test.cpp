// lumerad-cli sp-undulator, tr and form-factor against the windows: the same inputs through the
// single-pass undulator, transition-radiation and form-factor windows and through the command
// line give the same texts, and the form-factor file of --output is the window's file byte for
// byte. Every run is a separate process without a display.
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "../coherent/linac_world.h"
#include "cli_support.h"
#include "coherent/form_factor_window.h"
#include "coherent/transition_radiation_window.h"
#include "sources/single_pass_undulator_window.h"

using namespace lumerad;
using namespace lumerad::lintest;
using namespace lumerad::clitest;

namespace {
QStringList common(World& x) {
    return {QStringLiteral("--catalogue"), x.dir.filePath(QStringLiteral("catalogue.sqlite")),
            QStringLiteral("--data"), QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT")};
}

// Every result of the JSON that names a field or label of the window shows the window's text;
// returns how many were compared.
int compareResults(QWidget* w, const QJsonObject& results) {
    int n = 0;
    for (auto it = results.begin(); it != results.end(); ++it) {
        const QString shown = it.value().toObject().value("text").toString();
        if (auto* e = w->findChild<QLineEdit*>(it.key())) {
            if (e->text() != shown)
                qWarning("%s: window '%s', cli '%s'", qPrintable(it.key()), qPrintable(e->text()),
                         qPrintable(shown));
            n += e->text() == shown ? 1 : -1000;
        } else if (auto* l = w->findChild<QLabel*>(it.key())) {
            if (l->text() != shown)
                qWarning("%s: window '%s', cli '%s'", qPrintable(it.key()), qPrintable(l->text()),
                         qPrintable(shown));
            n += l->text() == shown ? 1 : -1000;
        }
    }
    return n;
}

CliRun json(World& x, const QStringList& args) {
    const CliRun run = runCli(common(x) + args + QStringList{QStringLiteral("--json")});
    if (run.status != 0) qWarning("%s", run.err.constData());
    return run;
}
}  // namespace

class SinglePassCliWindow : public QObject {
    Q_OBJECT
private slots:
    void spUndulatorSameTextsAsWindow();
    void trSameTextsAsWindow();
    void formFactorSameAsWindow();
    void refusalsAndExitStatus();
};

void SinglePassCliWindow::spUndulatorSameTextsAsWindow() {
    World x;
    click(x.w().start, "Und");
    TfSPUnd* w = x.w().spUnd;
    w->act([w] { w->formActivate(); });
    QVERIFY(x.messages.log.empty());
    CliRun run = json(x, {"sp-undulator", "--beam", "FLASH", "--source", "hybrid undulator U35"});
    QCOMPARE(run.status, 0);
    QJsonObject results = run.json().value("results").toObject();
    QCOMPARE(compareResults(w, results),
             9);  // Wfield, Kpar, MagTyp, the orbit, wavelength, number, shape, FF

    // an electromagnet with the field typed into the box
    auto* grid = child<DBGrid>(w, "DBGridSrce");
    grid->clickRow(rowOf(grid, QStringLiteral("EM undulator U100")));
    w->act([w] { w->formActivate(); });
    child<QLineEdit>(w, "Wfield")->setText(QStringLiteral("0.45"));
    click(w, "tbRecalc");
    QVERIFY(x.messages.log.empty());
    run = json(x, {"sp-undulator", "--beam", "FLASH", "--source", "EM undulator U100", "--field", "0.45"});
    QCOMPARE(run.status, 0);
    results = run.json().value("results").toObject();
    QCOMPARE(compareResults(w, results), 9);
    QCOMPARE(results.value("Kpar").toObject().value("value").toDouble(), 93.44 * 0.45 * 0.1);
}

void SinglePassCliWindow::trSameTextsAsWindow() {
    struct Case {
        const char *unitButton, *unit, *photon, *bandwidth;
        bool coherent;
        const char *angleField, *angleOption, *angle;
    } cases[] = {
        // without an angle the window keeps the one of its last calculation: these come first
        {"RBeV", "eV", "1.0", "0.001", true, nullptr, nullptr, nullptr},  // the design texts
        {"RBm", "m", "0", "", false, nullptr, nullptr, nullptr},          // messages, and it goes on
        {"RBcm", "1/cm", "10", "0.01", true, "EdtAngAccmr", "--angle-mrad", "10"},
        {"RBTHz", "THz", "0.5", "0.1", false, "EdtAngAccGam", "--angle-gamma", "3"},
        {"RBAng", "A", "5000", "0.001", true, "EdtAngAccGam", "--angle-gamma", "1e6"},  // clamped at 90 deg
    };
    World x;
    click(x.w().start, "TR");
    TfTR* w = x.w().tr;
    w->formActivate();
    for (const Case& c : cases) {
        w->formActivate();  // the angle is taken only from a field edited since the window was shown
        click(w, c.unitButton);
        click(w, c.coherent ? "RBcoherent" : "RBincoh");
        child<QLineEdit>(w, "EdtPhEn")->setText(QString::fromLatin1(c.photon));
        child<QLineEdit>(w, "EdtBnWdth")->setText(QString::fromLatin1(c.bandwidth));
        QStringList args{"tr",       "--beam", "FLASH",       "--unit",   c.unit,
                         "--photon", c.photon, "--bandwidth", c.bandwidth};
        if (!c.coherent) args << "--incoherent";
        if (c.angleField) {
            auto* e = child<QLineEdit>(w, c.angleField);
            e->selectAll();
            QTest::keyClicks(e, QString::fromLatin1(c.angle));
            args << c.angleOption << c.angle;
        }
        x.messages.clear();
        click(w, "Calculate");
        const std::vector<std::string> windowMessages = x.texts();
        const CliRun run = json(x, args);
        QCOMPARE(run.status, 0);
        // the window's boxes are the command line's notes
        for (const std::string& m : windowMessages)
            QVERIFY(run.errText().contains(QString::fromStdString(m)));
        const QJsonObject results = run.json().value("results").toObject();
        QVERIFY(compareResults(w, results) >=
                13);  // form factor, nine energies, two angles, photon, band width
        auto* convert = child<QComboBox>(w, "cbConvert");
        // (a wavelength of 0 leaves the window's list as it was, and gives none on the command line)
        for (int i = 1; results.contains(QStringLiteral("cbConvert1")) && i < convert->count(); ++i) {
            const QJsonObject r = results.value(QStringLiteral("cbConvert%1").arg(i)).toObject();
            QCOMPARE(r.value("text").toString() + QLatin1Char(' ') + r.value("shown_unit").toString(),
                     convert->itemText(i));
        }
        QCOMPARE(results.value("coherence").toObject().value("text").toString(),
                 c.coherent ? QStringLiteral("coherent") : QStringLiteral("incoherent"));
    }
}

void SinglePassCliWindow::formFactorSameAsWindow() {
    struct Case {
        const char *shapeButton, *shape, *wavelength, *from, *to, *step;
    } cases[] = {
        {"isgaussian", "gaussian", "100", "0", "100", "1.0"},  // the design texts
        {"isuniform", "uniform", "3000", "0", "1000", "2.5"},
        {"isgaussian", "gaussian", "50", "20", "600", "0.7"},
        {"isuniform", "uniform", "999.99", "-50", "50", "0.5"},
    };
    World x;
    click(x.w().start, "FF");
    TfFormFctr* w = x.w().formFctr;
    child<QCheckBox>(w, "cbSave")->setChecked(true);
    int n = 0;
    for (const Case& c : cases) {
        click(w, c.shapeButton);
        child<QLineEdit>(w, "wavelen")->setText(QString::fromLatin1(c.wavelength));
        child<QLineEdit>(w, "Eminwvn")->setText(QString::fromLatin1(c.from));
        child<QLineEdit>(w, "Emaxwvn")->setText(QString::fromLatin1(c.to));
        child<QLineEdit>(w, "Edelwvn")->setText(QString::fromLatin1(c.step));
        const QString windowFile = x.dir.filePath(QStringLiteral("window%1.txt").arg(n));
        const QString cliFile = x.dir.filePath(QStringLiteral("cli%1.txt").arg(n++));
        x.dialogs.fileNames.push_back(windowFile);
        x.messages.clear();
        click(w, "CalcSpectrum");
        const QString lff = textOf(w, "Lff");
        const CliRun run =
            json(x, {"form-factor", "--beam", "FLASH", "--shape", c.shape, "--wavelength", c.wavelength,
                     "--from", c.from, "--to", c.to, "--step", c.step, "--output", cliFile});
        QCOMPARE(run.status, 0);
        QVERIFY(fileHash(windowFile).size() > 0);
        QCOMPARE(fileHash(cliFile), fileHash(windowFile));
        const QJsonObject results = run.json().value("results").toObject();
        if (results.contains("Lff")) {
            QCOMPARE(results.value("Lff").toObject().value("text").toString(), lff);
        } else {
            QCOMPARE(x.texts(), std::vector<std::string>{"select valid wavelength!"});
            QVERIFY(run.errText().contains(QStringLiteral("select valid wavelength!")));
        }
        const QJsonArray columns = run.json().value("columns").toArray();
        QCOMPARE(columns.size(), 2);
        QCOMPARE(columns[0].toObject().value("values").toArray().size(), w->points().size());
        if (c.wavelength == std::string("999.99"))
            child<QLineEdit>(w, "wavelen")->setText(QStringLiteral("100"));
    }
    // the single value alone, and the scan as CSV
    const CliRun one =
        runCli(common(x) + QStringList{"form-factor", "--beam", "FLASH", "--wavelength", "3000"});
    QCOMPARE(one.status, 0);
    // exp(-2 pi (60 um / 3 mm)^2) = 0.9975
    QVERIFY(one.outText().contains(QStringLiteral("the form factor for a gaussian beam is    0.997")));
    const CliRun csv =
        runCli(common(x) + QStringList{"form-factor", "--beam", "FLASH", "--scan", "--to", "10", "--csv"});
    QCOMPARE(csv.status, 0);
    QCOMPARE(csv.outText().count(QLatin1Char('\n')), 13);  // header, k = 0 .. 11
}

void SinglePassCliWindow::refusalsAndExitStatus() {
    World x;
    struct Case {
        QStringList args;
        int status;
        const char* text;
    } cases[] = {
        {{"form-factor", "--beam", "FLASH", "--scan", "--step", "0"},
         2,
         "the increment must be greater than 0!"},
        {{"form-factor", "--beam", "FLASH", "--shape", "round"}, 2, "unknown shape"},
        {{"tr", "--beam", "FLASH", "--unit", "1/cm", "--photon", "0"}, 2, "select photon energy !"},
        {{"tr", "--beam", "FLASH", "--unit", "furlong"}, 2, "unknown unit"},
        {{"tr", "--beam", "FLASH", "--angle-gamma", "1", "--angle-mrad", "1"}, 2, "choose one of"},
        {{"tr", "--beam", "FLASH", "--set", "Energy=0.4"}, 2, "above the electron rest energy"},
        {{"sp-undulator", "--beam", "FLASH", "--source", "EM undulator U100"},
         2,
         "is not a valid floating point value"},
        {{"sp-undulator", "--beam", "no such linac", "--source", "EM undulator U100"}, 2, "no such linac"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(common(x) + c.args);
        QVERIFY2(run.status == c.status, qPrintable(c.args.join(' ') + " -> " + run.errText()));
        QVERIFY2(run.errText().contains(QString::fromLatin1(c.text)), qPrintable(run.errText()));
    }
}

QTEST_MAIN(SinglePassCliWindow)
#include "single_pass_cli_window_test.moc"
