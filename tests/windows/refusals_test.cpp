// Refused inputs in every window, with the program's real message boxes: the value is typed
// into its field as the user types it and the calculation started by its button (or Return);
// one box shows the refusal, the field has the focus, the catalogue file is unchanged, and no
// result of an earlier input stands beside the refused one.
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QTableView>

#include "../support/program_world.h"
#include "../support/real_dialogs.h"
#include "core/coherent/form_factor.h"
#include "core/coherent/transition_radiation.h"
#include "core/numerics/input_limits.h"
#include "core/sources/single_pass_undulator.h"
#include "core/spectra/undulator_lines.h"
#include "ui/texts.h"

using namespace lumerad;
using lumerad::testing::RealDialogs;
using namespace lumerad::worldtest;

namespace {

// A step of the user: in window `window`, a grid row picked by its text, a field typed into
// (select all, keys), or a button clicked (control without text).
struct Step {
    const char* window;
    const char* control;
    const char* text = nullptr;
};

struct Case {
    const char* what;
    std::vector<Step> setup;
    Step input;           // the refused text into its field
    const char* trigger;  // the button that calculates, nullptr for Return in the field
    std::string message;  // the one box; "" for none
    const char* focus;    // the control that has the focus afterwards (nullptr: any)
    const char* cleared;  // a result control that must be empty afterwards, or nullptr
};

QWidget* window(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name)) return w;
    qFatal("no window %s", name);
    return nullptr;
}

void pickRow(QTableView* g, const QString& text) {
    for (int r = 0; r < g->model()->rowCount(); ++r) {
        const QModelIndex i = g->model()->index(r, 0);
        if (i.data().toString().trimmed() != text) continue;
        g->scrollTo(i);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
        return;
    }
    QFAIL(qPrintable("no row " + text));
}

void type(QLineEdit* e, const char* text) {
    e->window()->activateWindow();
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, QString::fromLatin1(text));
}

void apply(const Step& s) {
    QWidget* w = window(s.window);
    QTRY_VERIFY(w->isVisible());
    QWidget* c = child(w, s.control);
    if (auto* g = qobject_cast<QTableView*>(c))
        pickRow(g, QString::fromUtf8(s.text));
    else if (auto* e = qobject_cast<QLineEdit*>(c))
        type(e, s.text);
    else
        QTest::mouseClick(c, Qt::LeftButton);
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

QByteArray fileHash(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

std::vector<Step> ring(std::vector<Step> then) {
    std::vector<Step> s = {{"TfStart", "BtCB"}, {"TfCBeam", "SRings", "Diamond"}, {"TfCBeam", "bbAccept"}};
    s.insert(s.end(), then.begin(), then.end());
    return s;
}
std::vector<Step> linac(std::vector<Step> then) {
    std::vector<Step> s = {{"TfStart", "BtSPB"}, {"TfSPBeam", "SPGrid", "FLASH"}, {"TfSPBeam", "bbAccept"}};
    s.insert(s.end(), then.begin(), then.end());
    return s;
}
const std::vector<Step> kU35 = ring(
    {{"TfStart", "Und"}, {"TfUndulator", "DBGridSrce", "hybrid undulator U35"}, {"TfUndulator", "tbRecalc"}});
std::vector<Step> u35(std::vector<Step> then) {
    std::vector<Step> s = kU35;
    s.insert(s.end(), then.begin(), then.end());
    return s;
}
const std::string kBandWidth = kBandWidthTooLargeText;

const std::vector<Case>& cases() {
    static const std::vector<Case> c = {
        {"undulator distance",
         kU35,
         {"TfUndulator", "edDist", "-1"},
         "tbRecalc",
         kNegativeDistanceText,
         "edDist",
         nullptr},
        {"undulator harmonic",
         kU35,
         {"TfUndulator", "harm", "1000000000"},
         "tbRecalc",
         kHarmonicTooLargeText,
         "harm",
         nullptr},
        {"flux band width",
         u35({{"TfUndulator", "tbUndFlux"}}),
         {"TfUndFlux", "EdtBW", "1e308"},
         "BResult",
         kBandWidth,
         "EdtBW",
         nullptr},
        {"line spectrum band width",
         u35({{"TfUndulator", "tbLineSpectrum"}}),
         {"TfLineSpectrum", "BW", "1e308"},
         "bbRecalc",
         kBandWidth,
         "BW",
         "lami"},
        {"K scan to 1e308",
         u35({{"TfUndulator", "tbLineSpectrum"}}),
         {"TfLineSpectrum", "edKmax", "1e308"},
         "BitBtn1",
         kKTooLargeText,
         "edKmax",
         nullptr},
        {"bending-magnet field 0",
         ring({{"TfStart", "BendM"}, {"TfSynRad", "DBGrid1", "Diamond dipole 1.4 T"}}),
         {"TfSynRad", "DBEdtField", "0"},
         nullptr,
         "Field: the magnetic field must be above 0 T and at most 100 T",
         "DBEdtField",
         nullptr},
        {"single-pass field",
         linac({{"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "EM undulator U100"}}),
         {"TfSPUnd", "Wfield", "-1"},
         "tbRecalc",
         kSPFieldRangeText,
         "Wfield",
         nullptr},
        {"single-pass gap 1e308",
         linac({{"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "hybrid undulator U35"}}),
         {"TfSPUnd", "DBEdtgap", "1e308"},
         "tbRecalc",
         "Gap: the gap must be at most 1000 mm",
         "DBEdtgap",
         nullptr},
        {"single-pass gap abc",
         linac({{"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "hybrid undulator U35"}}),
         {"TfSPUnd", "DBEdtgap", "abc"},
         nullptr,
         "'abc' is not a valid floating point value",
         "DBEdtgap",
         nullptr},
        {"single-pass beam energy",
         linac({{"TfStart", "BtSPB"}}),
         {"TfSPBeam", "DBEdtEnergy", "1e308"},
         "bbAccept",
         "Energy: the beam energy must be at most 10000000 MeV",
         "DBEdtEnergy",
         nullptr},
        {"TR band width 0",
         linac({{"TfStart", "TR"}, {"TfTR", "Calculate"}}),
         {"TfTR", "EdtBnWdth", "0"},
         "Calculate",
         "the band width must be positive!",
         "EdtBnWdth",
         "EdtTradBun"},
        {"TR angle -1 mrad",
         linac({{"TfStart", "TR"}, {"TfTR", "Calculate"}}),
         {"TfTR", "EdtAngAccmr", "-1"},
         "Calculate",
         kNegativeAngleText,
         "EdtAngAccmr",
         "EdtAccEnBun"},
        {"TR 1e-321 eV",
         linac({{"TfStart", "TR"}, {"TfTR", "Calculate"}}),
         {"TfTR", "EdtPhEn", "1e-321"},
         "Calculate",
         std::string("the photon energy") + kPhotonRangeText,
         "EdtPhEn",
         "EdtTradBun"},
        {"form factor -5 um",
         linac({{"TfStart", "FF"}, {"TfFormFctr", "CalcSpFF"}}),
         {"TfFormFctr", "wavelen", "-5"},
         "CalcSpFF",
         kNegativeWavelengthText,
         "wavelen",
         "Lff"},
        {"form-factor scan 100 to 0",
         linac({{"TfStart", "FF"}, {"TfFormFctr", "Eminwvn", "100"}}),
         {"TfFormFctr", "Emaxwvn", "0"},
         "CalcSpectrum",
         kEmptyWavenumberRangeText,
         "Emaxwvn",
         nullptr},
        {"Ai of 1e308 is 0",
         {{"TfStart", "Bessel"}, {"TfBesFun", "AiryArg", "1"}, {"TfBesFun", "BtnCalc"}},
         {"TfBesFun", "AiryArg", "1e308"},
         "BtnCalc",
         "",
         nullptr,
         nullptr},
        {"Ai of abc",
         {{"TfStart", "Bessel"}, {"TfBesFun", "AiryArg", "1"}, {"TfBesFun", "BtnCalc"}},
         {"TfBesFun", "AiryArg", "abc"},
         "BtnCalc",
         "'abc' is not a valid floating point value",
         "AiryArg",
         "Aiofx"},
    };
    return c;
}

}  // namespace

class Refusals : public QObject {
    Q_OBJECT
private slots:
    void refusedOnceFocusedNothingStoredNothingStale_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(cases().size()); ++i) QTest::newRow(cases()[i].what) << i;
    }
    void refusedOnceFocusedNothingStoredNothingStale() {
        QFETCH(int, row);
        const Case& c = cases()[row];
        QTemporaryDir dir;
        RealDialogs real;
        auto program = startProgram(dir, real.messages, real.dialogs);
        QVERIFY(QTest::qWaitForWindowExposed(window("TfStart")));
        for (const Step& s : c.setup) apply(s);
        real.boxes.clear();
        const QByteArray stored = fileHash(dir.filePath("catalogue.sqlite"));
        QWidget* w = window(c.input.window);
        apply(c.input);
        if (c.trigger)
            QTest::mouseClick(child(w, c.trigger), Qt::LeftButton);
        else
            QTest::keyClick(child(w, c.input.control), Qt::Key_Return);
        QTest::qWait(100);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(real.allTexts(), c.message.empty() ? QStringList{} : QStringList{qs(c.message)});
        if (c.focus) QTRY_COMPARE(QApplication::focusWidget(), child(w, c.focus));
        QCOMPARE(fileHash(dir.filePath("catalogue.sqlite")), stored);
        if (c.cleared) QCOMPARE(textOf(w, c.cleared), QString());
        if (c.message.empty()) {  // a value, not a refusal: the button asked for the refresh
            QCOMPARE(textOf(w, "Aiofx"), QStringLiteral("0"));
            QVERIFY(!child(w, c.trigger)->isVisible());
        }
    }
};

QTEST_MAIN(Refusals)
#include "refusals_test.moc"
