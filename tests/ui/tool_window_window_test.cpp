// Activation of tool windows: the activation handler runs when the user comes back to a
// window, but not when a dialog or message box it showed closes (an error box raised by
// the handler would otherwise come back for ever).
#include <QDialog>
#include <QtTest>

#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "catalogue/session.h"
#include "ui/tool_window.h"
#include "numerics/messages.h"

using namespace lumerad;

namespace {
class CountingWindow : public ToolWindow {
public:
    using ToolWindow::ToolWindow;
    int activations = 0;
    void formActivate() override { ++activations; }
};
}  // namespace

class ToolWindowTest : public QObject {
    Q_OBJECT
private slots:
    void activationSkipsReturnFromDialog() {
        Session session;
        RecordingMessages messages;
        ScriptedDialogs dialogs;
        ActionRunner runner(messages);
        AppContext ctx{session, messages, dialogs, runner, nullptr, {}, {}};

        CountingWindow tool(ctx, "TfTest", "test");
        QWidget other;
        tool.showTool();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QTest::qWait(50);
        QCOMPARE(tool.activations, 1);

        // The user goes to another window and comes back: the handler runs.
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::qWait(50);
        tool.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QTest::qWait(50);
        QCOMPARE(tool.activations, 2);

        // A modal dialog over the window closes: activation returns, the handler does not run.
        QDialog dialog(&tool);
        dialog.setModal(true);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::qWait(50);
        dialog.close();
        tool.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QTest::qWait(50);
        QCOMPARE(tool.activations, 2);

        // And the next real return runs it again.
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::qWait(50);
        tool.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QTest::qWait(50);
        QCOMPARE(tool.activations, 3);
    }
};

QTEST_MAIN(ToolWindowTest)
#include "tool_window_window_test.moc"
