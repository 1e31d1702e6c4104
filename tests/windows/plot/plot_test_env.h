#pragma once
// What every plot window test needs: a session with recorded messages, scripted dialogs,
// the action runner, the text entry dialog and the window under test.
#include <QLineEdit>

#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
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

    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& e : messages.log)
            if (e.kind == RecordingMessages::Entry::Error) out.push_back(e.text);
        return out;
    }
};

}  // namespace lumerad::testing
