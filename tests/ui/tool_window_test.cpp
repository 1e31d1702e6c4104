// The window toolkit: activation (the handler runs when the user comes back to a window,
// not when a dialog or message box it showed closes), the action runner's containment of
// every failure, floating-point faults scoped to the calculation, the focus on a refused
// field, and the keyboard every tool window shares.
#include "ui/tool_window.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <stdexcept>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"

using namespace lumerad;

namespace {
class CountingWindow : public ToolWindow {
public:
    using ToolWindow::ToolWindow;
    int activations = 0;
    void formActivate() override { ++activations; }
};

struct Env {
    Session session;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    ActionRunner runner{messages};
    AppContext ctx{session, messages, dialogs, runner, nullptr, {}, {}};
};

// Faulting operations the compiler cannot fold away.
volatile double vZero = 0.0, vOne = 1.0, vSink = 0;
double divideByZero() {
    vSink = vOne / vZero;
    return vSink;
}
double invalid() {
    vSink = std::sqrt(-vOne);
    return vSink;
}
}  // namespace

class ToolWindowTest : public QObject {
    Q_OBJECT
private slots:
    void activationSkipsReturnFromDialog() {
        Env env;
        CountingWindow tool(env.ctx, "TfTest", "test");
        QWidget other;
        // Makes the window the active one, as the user's click does, and lets the events settle.
        auto activate = [](QWidget& w) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTRY_COMPARE(QApplication::activeWindow(), &w);
        };
        tool.showTool();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QTRY_COMPARE(tool.activations, 1);

        // The user goes to another window and comes back: the handler runs.
        other.show();
        activate(other);
        activate(tool);
        QCOMPARE(tool.activations, 2);

        // A modal dialog over the window closes: activation returns, the handler does not run.
        QDialog dialog(&tool);
        dialog.setModal(true);
        dialog.show();
        activate(dialog);
        dialog.close();
        activate(tool);
        QCOMPARE(tool.activations, 2);

        // And the next real return runs it again.
        activate(other);
        activate(tool);
        QCOMPARE(tool.activations, 3);
    }

    // Whatever an action throws stays in the runner: the two expected kinds with their
    // text, anything else as an internal error; a nested action reports and ends alone.
    void runnerContainsEveryFailure() {
        Env env;
        struct Case {
            std::function<void()> action;
            const char* text;
        };
        const Case cases[] = {
            {[] { throw InputError("'x' is not a valid floating point value"); },
             "'x' is not a valid floating point value"},
            {[] { throw FloatError(kDivByZeroText); }, "Floating point division by zero"},
            {[] { throw std::runtime_error("boom"); }, "internal error: boom"},
            {[] { throw 42; }, "internal error: unknown exception"},
        };
        for (const Case& c : cases) {
            env.messages.clear();
            QVERIFY(!env.runner.run(c.action));
            QCOMPARE(env.messages.texts(), std::vector<std::string>{c.text});
        }
        // Nested: the inner action fails and reports; the outer one goes on to its end.
        env.messages.clear();
        bool innerOk = true, outerReachedEnd = false;
        QVERIFY(env.runner.run([&] {
            innerOk = env.runner.run([] { throw FloatError(kInvalidOpText); });
            outerReachedEnd = true;
        }));
        QVERIFY(!innerOk);
        QVERIFY(outerReachedEnd);
        QCOMPARE(env.messages.texts(), std::vector<std::string>{kInvalidOpText});
    }

    // Flags raised outside a calculation (by toolkit code) never become a message; a
    // calculation reports its own fault (the texts of each kind are core tests); a nested
    // action leaves the outer action's flags as they were.
    void floatFaultsScopedToTheCalculation() {
        Env env;
        QVERIFY(env.runner.run([] { (void)divideByZero(), (void)invalid(); }));
        QVERIFY(env.messages.log.empty());
        QVERIFY(!env.runner.run([] { calculated([] { return invalid(); }); }));
        QCOMPARE(env.messages.texts(), std::vector<std::string>{"Invalid floating point operation"});
        // Toolkit flags before the calculation do not count against it.
        env.messages.clear();
        double r = 0;
        QVERIFY(env.runner.run([&] {
            (void)divideByZero();
            r = calculated([] { return vOne * 2.0; });
        }));
        QCOMPARE(r, 2.0);
        QVERIFY(env.messages.log.empty());
        // A nested action neither clears nor adds to the outer one's flags.
        QVERIFY(env.runner.run([&] {
            (void)divideByZero();
            env.runner.run([] { (void)invalid(); });
            QVERIFY(std::fetestexcept(FE_DIVBYZERO));
            QVERIFY(!std::fetestexcept(FE_INVALID));
        }));
    }

    // After a refused text the field it came from has the focus, its text selected: the
    // field the error names, or else the one field that holds the refused text.
    void refusedFieldIsFocusedAndSelected() {
        Env env;
        ToolWindow tool(env.ctx, "TfTest", "test");
        auto* a = new QLineEdit(QStringLiteral("1.0"), &tool);
        a->setObjectName(QStringLiteral("edA"));
        auto* b = new QLineEdit(QStringLiteral("1,5"), &tool);
        b->setObjectName(QStringLiteral("edB"));
        auto* c = new QLineEdit(QStringLiteral("abc"), &tool);
        c->setObjectName(QStringLiteral("edC"));
        tool.showTool();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        a->setFocus();
        QVERIFY(!tool.act([] { throw InputError("'1,5' is not a valid floating point value"); }));
        QTRY_COMPARE(QApplication::focusWidget(), b);
        QCOMPARE(b->selectedText(), QStringLiteral("1,5"));
        QVERIFY(!tool.act([] { throw InputError("'' is not a valid floating point value", "edC"); }));
        QTRY_COMPARE(QApplication::focusWidget(), c);
        QCOMPARE(c->selectedText(), QStringLiteral("abc"));
        QCOMPARE(env.messages.log.size(), size_t(2));  // the texts themselves are unchanged
        QCOMPARE(env.messages.log[1].text, std::string("'' is not a valid floating point value"));
    }

    // Enter in an input field presses the default button, Ctrl+W closes a tool window but
    // not the main window, a window shortcut runs through the runner.
    void keyboard() {
        Env env;
        ToolWindow tool(env.ctx, "TfTest", "test");
        auto* edit = new QLineEdit(&tool);
        auto* result = new QLineEdit(&tool);
        result->setReadOnly(true);
        auto* calc = new QPushButton(QStringLiteral("calculate"), &tool);
        int pressed = 0;
        QObject::connect(calc, &QPushButton::clicked, [&] { ++pressed; });
        tool.setDefaultButton(calc);
        int saved = 0;
        tool.addShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [&] {
            ++saved;
            throw InputError("refused");
        });
        tool.showTool();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        QCOMPARE(pressed, 2);
        result->setFocus();
        QTest::keyClick(result, Qt::Key_Return);  // a result field is no input
        QCOMPARE(pressed, 2);
        calc->hide();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);  // a hidden button is not pressed
        QCOMPARE(pressed, 2);
        QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saved, 1);
        QCOMPARE(env.messages.texts(), std::vector<std::string>{"refused"});
        QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!tool.isVisible());

        ToolWindow mainWindow(env.ctx, "TfMain", "main");
        mainWindow.setCloseShortcut(false);
        mainWindow.showTool();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        QTest::keyClick(&mainWindow, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(mainWindow.isVisible());
    }
};

QTEST_MAIN(ToolWindowTest)
#include "tool_window_test.moc"
