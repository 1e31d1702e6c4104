// lumerad-cli wiggler and function against the windows: the same inputs give the same texts.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "../sources/bending_world.h"
#include "cli_support.h"
#include "numerics/bessel_window.h"
#include "sources/wiggler.h"
#include "sources/wiggler_window.h"
#include "spectra/synchrotron_spectrum_window.h"

using namespace lumerad;
using namespace lumerad::bendtest;
using namespace lumerad::clitest;

namespace {

QStringList common(World& x) {
    return {QStringLiteral("--catalogue"), x.dir.filePath(QStringLiteral("catalogue.sqlite")),
            QStringLiteral("--data"), QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT")};
}

QString shownText(QWidget* w, const std::string& name) {
    const QString n = QString::fromStdString(name);
    if (auto* e = w->findChild<QLineEdit*>(n)) return e->text();
    return child<QLabel>(w, name.c_str())->text();
}

}  // namespace

class CliWigglerFunction : public QObject {
    Q_OBJECT
private slots:
    void wigglerSameTextsAsWindow();
    void wigglerRefusalSameMessage();
    void wigglerSpectrumSameFile();
    void functionSameTextsAsWindow();
    void functionRefusals();
};

void CliWigglerFunction::wigglerSameTextsAsWindow() {
    struct Case {
        const char *source, *angle, *wavelength, *bandwidth, *distance;
    };
    const Case cases[] = {
        {"EM wiggler W200", "0", "1.0", "0.1", "1.0"},
        {"EM wiggler W200", "3.5", "0.3", "1", "0"},
        {"hybrid wiggler W150", "-2", "2.5", "0.05", "20"},
        {"REC wiggler W80", "1", "1.0", "0.1", "10"},
    };
    World x;
    buttonByText(x.w().start, QStringLiteral("wiggler"))->click();
    TfWiggler* w = x.w().wiggler;
    for (const Case& c : cases) {
        auto* grid = child<DBGrid>(w, "DBGridSrce");
        grid->clickRow(rowOf(grid, QString::fromLatin1(c.source)));
        child<DBEdit>(w, "HorAngle")->typeText(QString::fromLatin1(c.angle));
        child<QLineEdit>(w, "WaveLength")->setText(QString::fromLatin1(c.wavelength));
        child<QLineEdit>(w, "edBandW")->setText(QString::fromLatin1(c.bandwidth));
        child<QLineEdit>(w, "edDist")->setText(QString::fromLatin1(c.distance));
        x.messages.clear();
        child<QToolButton>(w, "tbRecalc")->click();
        QCOMPARE(x.texts(), std::vector<std::string>{});

        const CliRun run =
            runCli(common(x) + QStringList{"wiggler", "--json", "--beam", "Diamond", "--source", c.source,
                                           "--angle", c.angle, "--wavelength", c.wavelength, "--bandwidth",
                                           c.bandwidth, "--distance", c.distance});
        QVERIFY2(run.status == 0, run.err.constData());
        const QJsonObject results = run.json().value("results").toObject();
        const ResultFields fields = WigglerResults(w->result());
        QCOMPARE(results.size(), int(fields.size()));
        for (const ResultField& f : fields) {
            const QJsonObject r = results.value(QString::fromStdString(f.name)).toObject();
            QCOMPARE(r.value("text").toString(), shownText(w, f.name));
            const std::string unit = wigglerUnitLabel(f.name);
            if (!unit.empty())
                QCOMPARE(r.value("shown_unit").toString(), child<QLabel>(w, unit.c_str())->text());
        }
        // the angle defaults to the record's own
        const CliRun byRecord =
            runCli(common(x) + QStringList{"wiggler", "--json", "--beam", "Diamond", "--source", c.source,
                                           "--wavelength", c.wavelength, "--bandwidth", c.bandwidth,
                                           "--distance", c.distance});
        QCOMPARE(byRecord.status, 0);
        QCOMPARE(
            byRecord.json().value("results").toObject().value("Ephcrit").toObject().value("text").toString(),
            shownText(w, "Ephcrit"));
    }
}

void CliWigglerFunction::wigglerRefusalSameMessage() {
    World x;
    const CliRun run = runCli(common(x) + QStringList{"wiggler", "--beam", "Diamond", "--source",
                                                      "EM wiggler W200", "--angle", "-6"});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.errText().contains(QString::fromLatin1(kZeroFluxText)), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

// spectrum on a wiggler record follows the wiggler's calculation into wiggler mode, as the
// wiggler window's "spectrum" does: the same file byte for byte.
void CliWigglerFunction::wigglerSpectrumSameFile() {
    World x;
    buttonByText(x.w().start, QStringLiteral("wiggler"))->click();
    TfWiggler* w = x.w().wiggler;
    auto* grid = child<DBGrid>(w, "DBGridSrce");
    grid->clickRow(rowOf(grid, QStringLiteral("EM wiggler W200")));
    child<QToolButton>(w, "tbRecalc")->click();
    child<QToolButton>(w, "tbSpectrum")->click();
    TfSynSpectrum* s = x.w().synSpectrum;
    QVERIFY(x.session().flags.WigglerMode);
    child<QCheckBox>(s, "cbSave")->setChecked(true);
    const QString windowFile = x.dir.filePath(QStringLiteral("window.txt"));
    const QString cliFile = x.dir.filePath(QStringLiteral("cli.txt"));
    x.dialogs.fileNames.push_back(windowFile);
    x.messages.clear();
    child<QPushButton>(s, "bbShowGraph")->click();
    QCOMPARE(x.texts(), std::vector<std::string>{});

    const CliRun run = runCli(common(x) + QStringList{"spectrum", "--beam", "Diamond", "--source",
                                                      "EM wiggler W200", "--output", cliFile});
    QVERIFY2(run.status == 0, run.err.constData());
    QFile wf(windowFile), cf(cliFile);
    QVERIFY(wf.open(QIODevice::ReadOnly));
    QVERIFY(cf.open(QIODevice::ReadOnly));
    const QByteArray windowBytes = wf.readAll();
    QVERIFY(windowBytes.size() > 100);
    QCOMPARE(cf.readAll(), windowBytes);
}

void CliWigglerFunction::functionSameTextsAsWindow() {
    struct Case {
        QStringList args;
        std::vector<std::pair<const char*, const char*>> inputs;
        std::vector<const char*> results;
    };
    const Case cases[] = {
        {{"J", "--order", "3", "--x", "2.5"}, {{"BsOrd", "3"}, {"BsArg", "2.5"}}, {"BsRes"}},
        {{"J", "--order", "2", "--x", "1e-30"}, {{"BsOrd", "2"}, {"BsArg", "1e-30"}}, {"BsRes"}},
        {{"K13", "--x", "1"}, {{"MBsArg", "1"}}, {"K13_x", "K23_x"}},
        {{"Ai", "--x", "0.5"}, {{"AiryArg", "0.5"}}, {"Aiofx", "AiPofx"}},
        {{"S", "--x", "3"}, {{"UFArg", "3"}}, {"UFVal"}},
        {{"S"}, {{"UFArg", "0"}}, {"UFVal"}},
        {{"JJ", "--harmonic", "3", "--K", "1"}, {{"JJh", "3"}, {"JJK", "1"}}, {"JJx", "JJ", "lnspctrm"}},
    };
    World x;
    buttonByText(x.w().start, QStringLiteral("Bessel's functions"))->click();
    TfBesFun* b = x.w().besFun;
    for (const Case& c : cases) {
        for (const auto& [name, text] : c.inputs)
            child<QLineEdit>(b, name)->setText(QString::fromLatin1(text));
        child<QPushButton>(b, "BtnCalc")->click();
        const CliRun run = runCli(common(x) + QStringList{"function", "--json"} + c.args);
        QVERIFY2(run.status == 0, run.err.constData());
        const QJsonObject results = run.json().value("results").toObject();
        QCOMPARE(results.size(), int(c.results.size()));
        for (const char* name : c.results)
            QCOMPARE(results.value(QString::fromLatin1(name)).toObject().value("text").toString(),
                     child<QLineEdit>(b, name)->text());
    }
}

void CliWigglerFunction::functionRefusals() {
    World x;
    struct Case {
        QStringList args;
        QString message;
    };
    const Case cases[] = {
        {{"function", "Ai"}, QStringLiteral("x must be > 0 !")},
        {{"function", "J", "--x", "-1"}, QStringLiteral("x > 0 !")},
        {{"function", "J", "--order", "2147483647", "--x", "1"}, QStringLiteral("n < = 10000 !")},
        {{"function", "JJ", "--harmonic", "-1", "--K", "1"}, QStringLiteral("h must be > = 0")},
        {{"function", "S", "--x", "abc"}, QStringLiteral("'abc' is not a valid floating point value")},
        {{"function", "Q"}, QStringLiteral("unknown function \"Q\"")},
        {{"function"}, QStringLiteral("name one function")},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(common(x) + c.args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.errText().contains(c.message), run.err.constData());
    }
}

QTEST_MAIN(CliWigglerFunction)
#include "wiggler_function_cli_window_test.moc"
