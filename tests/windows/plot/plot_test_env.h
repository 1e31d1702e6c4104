#pragma once
// What every plot window test needs: a session with recorded messages, scripted dialogs,
// the action runner, the text entry dialog and the window under test.
#include <qcustomplot.h>

#include <QAction>
#include <QLineEdit>
#include <QtTest>
#include <functional>

#include "../../support/user_input.h"
#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "windows/plot/chart_support.h"
#include "windows/plot/enter_text_window.h"

namespace lumerad::testing {

struct PlotEnv {
    Session session;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    ActionRunner runner{messages};
    AppContext ctx{session, messages, dialogs, runner, nullptr, {}, {}};
    TfEnterText enterText{ctx};

    PlotEnv() { ctx.setWindow(WindowId::EnterText, &enterText); }

    // The next text entry: the user types `text` and presses OK (or closes the dialog).
    void typeTitle(const QString& text, bool accept = true) {
        dialogs.onModal = [text](QDialog& d) {
            auto* e = d.findChild<QLineEdit*>(QStringLiteral("edText"));
            if (e) e->setText(text);
        };
        dialogs.modalAnswers.push_back(accept);
    }

    // The three title actions of a chart window, through the text entry: each sets its title,
    // a dialog closed without OK changes nothing, an accepted empty text clears the title.
    void checkTitles(QWidget& w, QCustomPlot* chart, const char* bottomAction) {
        const std::pair<const char*, std::function<QString()>> titles[] = {
            {"MainTitle1", [chart] { return chartTitle(chart)->text(); }},
            {"leftaxistitle1", [chart] { return chart->yAxis->label(); }},
            {bottomAction, [chart] { return chart->xAxis->label(); }},
        };
        for (const auto& [name, shown] : titles) {
            auto* action = w.findChild<QAction*>(QLatin1String(name));
            QVERIFY2(action, name);
            for (const auto& [text, accept] : {std::pair{QStringLiteral("U46, 6 GeV"), true},
                                               {QStringLiteral("not this"), false},
                                               {QString(), true}}) {
                const QString before = shown();
                typeTitle(text, accept);
                action->trigger();
                QCOMPARE(shown(), accept ? text : before);
            }
        }
        QVERIFY(errors().empty());
    }

    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& e : messages.log)
            if (e.kind == RecordingMessages::Entry::Error) out.push_back(e.text);
        return out;
    }
};

}  // namespace lumerad::testing
