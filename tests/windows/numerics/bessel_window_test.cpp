// The special-function calculator through its controls: refresh button, the messages in the
// input fields, a refused text, and the entry handlers.

#include <QApplication>
#include <QFocusEvent>

#include "../../support/program_world.h"

using namespace lumerad;

namespace {

struct World : worldtest::ProgramWorld {
    TfBesFun* w;
    World() {
        worldtest::child<QAbstractButton>(ProgramWorld::w().start, "Bessel")->click();
        w = ProgramWorld::w().besFun;
    }
    QLineEdit* field(const char* name) const { return w->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString operator[](const char* name) const { return field(name)->text(); }
    void set(const char* name, const char* text) { field(name)->setText(QString::fromUtf8(text)); }
    QPushButton* refresh() const { return w->findChild<QPushButton*>(QStringLiteral("BtnCalc")); }
    void press() { QTest::mouseClick(refresh(), Qt::LeftButton); }
};

}  // namespace

class BesselWindow : public QObject {
    Q_OBJECT
private slots:
    // The values themselves are checked against the standard library with the calculator's core
    // and against the command line's texts; here the button and the messages in the fields.
    void refreshButtonAndMessagesInTheFields() {
        World world;
        QVERIFY(world.w->isVisible());
        QVERIFY(world.refresh()->isVisible());
        world.press();
        QVERIFY(!world.refresh()->isVisible());
        QCOMPARE(world["BsRes"], QStringLiteral("1"));
        QCOMPARE(world["MBsArg"], QStringLiteral("x must be > 0"));
        world.set("BsArg", "1");  // typing shows the button again
        QVERIFY(world.refresh()->isVisible());
        world.press();
        QCOMPARE(world["MBsArg"], QString());
        QCOMPARE(world["K13_x"], QString());
        world.set("BsOrd", "2147483647");
        world.set("JJh", "2000000000");
        world.press();
        QCOMPARE(world["BsOrd"], QStringLiteral("n < = 10000 !"));
        QCOMPARE(world["JJh"], QStringLiteral("h must be < = 10000"));
        QVERIFY(world.messages.log.empty());
    }

    void notANumberKeepsTheButtonAndTheText() {
        World world;
        world.set("UFArg", "1,5");
        world.press();
        QCOMPARE(world.messages.texts(),
                 std::vector<std::string>{"'1,5' is not a valid floating point value"});
        QVERIFY(world.refresh()->isVisible());
        QCOMPARE(world["UFArg"], QStringLiteral("1,5"));
        QCOMPARE(world["BsRes"], QStringLiteral("1"));  // the panels before it were evaluated
        QCOMPARE(world["JJ"], QString());               // the one after it not
    }

    void entryHandlersClearOnlyWhenTheUserEnters() {
        World world;
        world.set("JJK", "1.5");
        // Focus coming back when a message box closes, or given by the program: text kept.
        for (Qt::FocusReason r : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::OtherFocusReason}) {
            QFocusEvent e(QEvent::FocusIn, r);
            QApplication::sendEvent(world.field("JJK"), &e);
            QCOMPARE(world["JJK"], QStringLiteral("1.5"));
        }
        // The user clicking or tabbing into it: typing starts in an empty field.
        for (Qt::FocusReason r : {Qt::MouseFocusReason, Qt::TabFocusReason}) {
            world.set("JJK", "1.5");
            QFocusEvent e(QEvent::FocusIn, r);
            QApplication::sendEvent(world.field("JJK"), &e);
            QCOMPARE(world["JJK"], QString());
        }
    }

    void activationResetsTheFields() {
        World world;
        world.set("BsArg", "3");
        world.press();
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(world.w, &e);
        QCOMPARE(world["BsArg"], QStringLiteral("0"));
        QCOMPARE(world["BsRes"], QString());
        QVERIFY(world.refresh()->isVisible());
    }
};

QTEST_MAIN(BesselWindow)
#include "bessel_window_test.moc"
