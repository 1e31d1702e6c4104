// Refused inputs in every window, with the program's real message boxes: the value is typed
// into its field as the user types it and the calculation started by its button (or Return);
// one box shows the refusal, the field has the focus, the catalogue file is unchanged, and no
// result of an earlier input stands beside the refused one.
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
// (select all, keys), or a button clicked (no text).
struct Step {
    const char* window;
    const char* control;
    const char* text = nullptr;
};

void pickRow(QTableView* g, const QString& text) {
    for (int r = 0; r < g->model()->rowCount(); ++r) {
        const QModelIndex i = g->model()->index(r, 0);
        if (i.data().toString().trimmed() != text) continue;
        g->scrollTo(i);
        return QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
    }
    QFAIL(qPrintable("no row " + text));
}

void apply(const Step& s) {
    QWidget* w = topWindow(s.window);
    QTRY_VERIFY(w->isVisible());
    QWidget* c = child(w, s.control);
    if (auto* g = qobject_cast<QTableView*>(c)) {
        pickRow(g, QString::fromUtf8(s.text));
    } else if (auto* e = qobject_cast<QLineEdit*>(c)) {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));  // its activation handler has run
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, QString::fromLatin1(s.text));
    } else {
        QTest::mouseClick(c, Qt::LeftButton);
    }
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

// The steps before the refused input, by name: a ring (Diamond) or a linac (FLASH) accepted
// and the window opened at the source.
std::vector<Step> setup(const std::string& name) {
    const std::vector<Step> ring = {
        {"TfStart", "BtCB"}, {"TfCBeam", "SRings", "Diamond"}, {"TfCBeam", "bbAccept"}};
    const std::vector<Step> linac = {
        {"TfStart", "BtSPB"}, {"TfSPBeam", "SPGrid", "FLASH"}, {"TfSPBeam", "bbAccept"}};
    const std::map<std::string, std::pair<bool, std::vector<Step>>> steps = {
        {"und",
         {true,
          {{"TfStart", "Und"},
           {"TfUndulator", "DBGridSrce", "hybrid undulator U35"},
           {"TfUndulator", "tbRecalc"}}}},
        {"bend", {true, {{"TfStart", "BendM"}, {"TfSynRad", "DBGrid1", "Diamond dipole 1.4 T"}}}},
        {"wig", {true, {{"TfStart", "Wiggler"}, {"TfWiggler", "DBGridSrce", "EM wiggler W200"}}}},
        {"spPM", {false, {{"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "hybrid undulator U35"}}}},
        {"spEM",
         {false,
          {{"TfStart", "Und"}, {"TfSPUnd", "DBGridSrce", "EM undulator U100"}, {"TfSPUnd", "tbRecalc"}}}},
        {"spBeam", {false, {{"TfStart", "BtSPB"}}}},
        {"tr", {false, {{"TfStart", "TR"}, {"TfTR", "Calculate"}}}},
        {"ff", {false, {{"TfStart", "FF"}, {"TfFormFctr", "CalcSpFF"}, {"TfFormFctr", "Eminwvn", "100"}}}},
        {"fun", {false, {{"TfStart", "Bessel"}, {"TfBesFun", "AiryArg", "1"}, {"TfBesFun", "BtnCalc"}}}}};
    const auto& [onRing, then] = steps.at(name.substr(0, name.find('+')));
    std::vector<Step> s = onRing ? ring : (name == "fun" ? std::vector<Step>{} : linac);
    s.insert(s.end(), then.begin(), then.end());
    if (name == "und+flux") s.push_back({"TfUndulator", "tbUndFlux"});
    if (name == "und+lines") s.push_back({"TfUndulator", "tbLineSpectrum"});
    return s;
}

// The refused text typed into `field` of `window` after the setup; the calculation started by
// `trigger` (nullptr: Return in the field); the one box (empty: none), and a result control
// that must be empty afterwards.
struct Case {
    const char *setup, *window, *field, *text, *trigger;
    std::string message;
    const char* cleared = nullptr;
};

const std::vector<Case>& cases() {
    const std::string bw = kBandWidthTooLargeText, abc = "'abc' is not a valid floating point value";
    static const std::vector<Case> c = {
        {"und", "TfUndulator", "edDist", "-1", "tbRecalc", kNegativeDistanceText},
        {"und", "TfUndulator", "harm", "1000000000", "tbRecalc", kHarmonicTooLargeText},
        {"und+flux", "TfUndFlux", "EdtBW", "1e308", "BResult", bw},
        {"und+lines", "TfLineSpectrum", "BW", "1e308", "bbRecalc", bw, "lami"},
        {"und+lines", "TfLineSpectrum", "edKmax", "1e308", "BitBtn1", kKTooLargeText},
        {"bend", "TfSynRad", "DBEdtField", "0", nullptr,
         "Field: the magnetic field must be above 0 T and at most 100 T"},
        // the field finishes its edit inside the box's event loop: still one box
        {"bend", "TfSynRad", "DBEdtField", "0", "tbRecalc",
         "Field: the magnetic field must be above 0 T and at most 100 T"},
        {"wig", "TfWiggler", "edDist", "-2", "tbRecalc", "the distance must not be negative!"},
        {"spPM", "TfSPUnd", "DBEdtgap", "1e308", "tbRecalc", "Gap: the gap must be at most 1000 mm"},
        {"spPM", "TfSPUnd", "DBEdtgap", "abc", nullptr, abc},
        {"spEM", "TfSPUnd", "Wfield", "-1", "tbRecalc", kSPFieldRangeText},
        {"spBeam", "TfSPBeam", "DBEdtEnergy", "1e308", nullptr,
         "Energy: the beam energy must be at most 10000000 MeV"},
        {"tr", "TfTR", "EdtBnWdth", "0", "Calculate", "the band width must be positive!"},
        {"tr", "TfTR", "EdtAngAccmr", "-1", "Calculate", kNegativeAngleText},
        {"tr", "TfTR", "EdtPhEn", "1e-321", "Calculate", std::string("the photon energy") + kPhotonRangeText},
        {"ff", "TfFormFctr", "wavelen", "-5", "CalcSpFF", kNegativeWavelengthText},
        {"ff", "TfFormFctr", "Emaxwvn", "0", "CalcSpectrum", kEmptyWavenumberRangeText},
        {"fun", "TfBesFun", "AiryArg", "abc", "BtnCalc", abc, "Aiofx"},
        {"fun", "TfBesFun", "AiryArg", "1e308", "BtnCalc", ""}};  // Ai underflows to 0: no refusal
    return c;
}

}  // namespace

class Refusals : public QObject {
    Q_OBJECT
private slots:
    void refusedOnceFocusedNothingStoredNothingStale_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(cases().size()); ++i)
            QTest::newRow(qPrintable(
                QStringLiteral("%1 %2 %3").arg(cases()[i].window, cases()[i].field, cases()[i].text)))
                << i;
    }
    void refusedOnceFocusedNothingStoredNothingStale() {
        QFETCH(int, row);
        const Case& c = cases()[row];
        QTemporaryDir dir;
        RealDialogs real;
        auto program = startProgram(dir, real.messages, real.dialogs);
        QVERIFY(QTest::qWaitForWindowExposed(topWindow("TfStart")));
        for (const Step& s : setup(c.setup)) apply(s);
        real.boxes.clear();
        const QByteArray stored = fileHash(dir.filePath("catalogue.sqlite"));
        QWidget* w = topWindow(c.window);
        apply({c.window, c.field, c.text});
        if (c.trigger)
            QTest::mouseClick(child(w, c.trigger), Qt::LeftButton);
        else
            QTest::keyClick(child(w, c.field), Qt::Key_Return);
        if (!c.message.empty()) QTRY_VERIFY(!real.boxes.empty());
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(real.allTexts(), c.message.empty() ? QStringList{} : QStringList{qs(c.message)});
        QCOMPARE(fileHash(dir.filePath("catalogue.sqlite")), stored);
        if (c.cleared) QCOMPARE(textOf(w, c.cleared), QString());
        if (!c.message.empty()) {
            QTRY_COMPARE(w->focusWidget(), child(w, c.field));
        } else {  // a value: shown, and the button that asked for the refresh is gone
            QCOMPARE(textOf(w, "Aiofx"), QStringLiteral("0"));
            QVERIFY(!child(w, c.trigger)->isVisible());
        }
    }
};

QTEST_MAIN(Refusals)
#include "refusals_test.moc"
