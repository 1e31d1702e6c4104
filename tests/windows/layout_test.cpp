// Layouts that stay put: no button or field moves when a window calculates or switches its
// inputs, no window can be made smaller than its content needs, labels stand on their fields'
// rows and captions name what is checked.
#include <functional>
#include <map>

#include "../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {

void userClick(QWidget* w, const char* name) {
    auto* b = child<QAbstractButton>(w, name);
    QVERIFY2(b->isVisible() && b->isEnabled(), name);
    // near the left end: a radio button reacts on its mark and caption, not on the space beside
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->height() / 2, b->height() / 2));
    QCoreApplication::processEvents();
}

void type(QWidget* w, const char* name, const char* text) {
    auto* e = child<QLineEdit>(w, name);
    e->selectAll();
    QTest::keyClicks(e, QString::fromLatin1(text));
}

// Where every visible button and field of a window stands, and the window's size.
std::map<QString, QRect> places(QWidget* w) {
    QCoreApplication::processEvents();
    w->layout()->activate();
    std::map<QString, QRect> m{{QStringLiteral("(window)"), QRect(QPoint(), w->size())}};
    std::map<QString, int> seen;  // controls of one name by their order
    for (QWidget* c : w->findChildren<QWidget*>()) {
        const bool button = qobject_cast<QAbstractButton*>(c);
        if (!button && !qobject_cast<QLineEdit*>(c)) continue;
        const QString key = (button ? "button " : "field ") + c->objectName() + "#" +
                            QString::number(seen[c->objectName()]++);
        if (c->isVisibleTo(w)) m[key] = QRect(c->mapTo(w, QPoint()), c->size());
    }
    return m;
}

QWidget* showFrom(QWidget* from, const char* button, QWidget* shown) {
    userClick(from, button);
    shown->activateWindow();
    QCoreApplication::processEvents();
    return shown;
}

struct Case {
    const char* what;
    std::function<QWidget*(ProgramWorld&)> open;  // the window, ready for the action
    std::function<void(ProgramWorld&, QWidget*)> act;
    std::function<void(QWidget*)> after = nullptr;  // what else holds afterwards
};

QWidget* linacWindow(ProgramWorld& x, const char* button, QWidget* w) {
    x.acceptLinac(QStringLiteral("FLASH"));
    return showFrom(x.w().start, button, w);
}

QWidget* undulator(ProgramWorld& x) {
    x.acceptRing(QStringLiteral("Diamond"));
    return showFrom(x.w().start, "Und", x.w().undulator);
}

const Case kCases[] = {
    {"form factor: recalculate spectrum",
     [](ProgramWorld& x) { return linacWindow(x, "FF", x.w().formFctr); },
     [](ProgramWorld&, QWidget* w) { userClick(w, "CalcSpectrum"); },
     [](QWidget* w) {
         QVERIFY(!child<QPushButton>(w, "CalcSpectrum")->isEnabled());
         QVERIFY(!child<QPushButton>(w, "CalcSpFF")->isEnabled());
         type(w, "Emaxwvn", "90");  // an edit enables both again
         QVERIFY(child<QPushButton>(w, "CalcSpectrum")->isEnabled());
     }},
    {"form factor: calculate formfactor",
     [](ProgramWorld& x) { return linacWindow(x, "FF", x.w().formFctr); },
     [](ProgramWorld&, QWidget* w) { userClick(w, "CalcSpFF"); }},
    {"transition radiation: refresh, then incoherent",
     [](ProgramWorld& x) { return linacWindow(x, "TR", x.w().tr); },
     [](ProgramWorld&, QWidget* w) {
         type(w, "EdtPhEn", "2.0");
         userClick(w, "Calculate");
         userClick(w, "RBincoh");
     }},
    {"flux: refresh calculations",
     [](ProgramWorld& x) {
         QWidget* flux = showFrom(undulator(x), "tbUndFlux", x.w().undFlux);
         type(flux, "EdtBW", "0.2");
         return flux;
     },
     [](ProgramWorld&, QWidget* w) { userClick(w, "BResult"); }},
    // the list window fills its labels at the first calculation, on showing
    // shown before any undulator calculation, the list window has nothing to show yet
    {"line spectrum: first calculation",
     [](ProgramWorld& x) {
         x.acceptRing(QStringLiteral("Diamond"));
         x.w().lineSpectrum->show();
         return x.w().lineSpectrum;
     },
     [](ProgramWorld& x, QWidget* w) {
         QVERIFY(textOf(w, "lam0").isEmpty());
         userClick(showFrom(x.w().start, "Und", x.w().undulator), "tbLineSpectrum");
         QTRY_VERIFY_WITH_TIMEOUT(!textOf(w, "lam0").isEmpty(), 3000);  // on its activation
     }},
    {"single-pass undulator: No, then Yes",
     [](ProgramWorld& x) { return linacWindow(x, "Und", x.w().spUnd); },
     [](ProgramWorld&, QWidget* w) { userClick(w, "bbNo"); },
     [](QWidget* w) {
         // the field box is the input now: focused, and drawn as an editable field
         auto* field = child<QLineEdit>(w, "Wfield");
         QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
         QCOMPARE(field->palette().color(QPalette::Base), QLineEdit().palette().color(QPalette::Base));
         userClick(w, "bbYes");
         QVERIFY(!field->isEnabled());
         QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("DBEdtgap"));
     }},
};

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void nothingMoves_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kCases)); ++i) QTest::newRow(kCases[i].what) << i;
    }
    void nothingMoves() {
        QFETCH(int, row);
        const Case& c = kCases[row];
        ProgramWorld x;
        QWidget* w = c.open(x);
        const std::map<QString, QRect> before = places(w);
        c.act(x, w);
        const std::map<QString, QRect> after = places(w);
        for (const auto& [name, place] : before) {
            // buttons stay (disabled rather than hidden); a field may hide with its choice
            QVERIFY2(after.count(name) || name.startsWith("field"), qPrintable(name + " is gone"));
            if (!after.count(name)) continue;
            QVERIFY2(after.at(name).topLeft() == place.topLeft(),
                     qPrintable(QStringLiteral("%1 moved by %2, %3")
                                    .arg(name)
                                    .arg(after.at(name).x() - place.x())
                                    .arg(after.at(name).y() - place.y())));
        }
        QCOMPARE(after.at(QStringLiteral("(window)")), before.at(QStringLiteral("(window)")));
        if (c.after) c.after(w);
    }

    // A window made smaller by the window system than its layout needs grows back.
    void noWindowShrinksBelowItsContent() {
        ProgramWorld x;
        x.acceptRing(QStringLiteral("Diamond"));
        const Windows& w = x.w();
        for (QWidget* win : std::initializer_list<QWidget*>{
                 w.cbeam, w.spbeam, w.besFun, w.wiggler, w.undulator, w.formFctr, w.tr, w.lineSpectrum,
                 w.undFlux, w.synSpectrum, w.synRad, w.graphs, w.spUnd, w.lineGraph}) {
            win->show();
            QCoreApplication::processEvents();
            win->windowHandle()->resize(100, 50);
            for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
            const QSize least = win->layout()->totalMinimumSize();
            QVERIFY2(win->width() >= least.width() && win->height() >= least.height() && least.width() > 100,
                     qPrintable(win->objectName() + QStringLiteral(" is %1 x %2, needs %3 x %4")
                                                        .arg(win->width())
                                                        .arg(win->height())
                                                        .arg(least.width())
                                                        .arg(least.height())));
            win->hide();
        }
    }

    void labelsStandOnTheirRowsAndNameTheChoice() {
        ProgramWorld x;
        QWidget* tr = linacWindow(x, "TR", x.w().tr);
        const int label = child(tr, "LFormFctr")->geometry().center().y();
        QVERIFY(std::abs(child(tr, "EdtFormF")->geometry().center().y() - label) <= 4);
        QVERIFY(std::abs(child(tr, "RBcoherent")->geometry().center().y() - label) <= 4);
        // FLASH is a Gaussian bunch: the form factor window says so from the start
        QWidget* ff = showFrom(x.w().start, "FF", x.w().formFctr);
        QVERIFY(child<QRadioButton>(ff, "isgaussian")->isChecked());
        QCOMPARE(textOf(ff, "Lff"), QStringLiteral("the form factor for a gaussian beam is"));
        userClick(ff, "isuniform");
        QCOMPARE(textOf(ff, "Lff"), QStringLiteral("the form factor for a uniform beam is"));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
