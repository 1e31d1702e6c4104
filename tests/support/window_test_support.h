#pragma once
// A whole program for window tests: a temporary catalogue, recorded messages, scripted
// dialogs, and helpers to find and press controls by objectName.
#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/program.h"
#include "core/numerics/messages.h"
#include "ui/dialogs.h"
#include "user_input.h"

namespace lumerad::testing {

struct TestApp {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    QString catalogue() const { return dir.filePath(QStringLiteral("catalogue.sqlite")); }
    static QString dataFile() { return QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"); }

    Program& start(std::optional<QString> data = dataFile(), QString cat = {}) {
        ProgramOptions o;
        o.catalogueFile = cat.isEmpty() ? catalogue() : cat;
        o.dataFile = data;
        program = std::make_unique<Program>(messages, dialogs, o);
        return *program;
    }
    void stop() { program.reset(); }
    AppContext& ctx() { return program->ctx(); }

    int errorCount() const {
        int n = 0;
        for (const auto& e : messages.log) n += e.kind == RecordingMessages::Entry::Error;
        return n;
    }
    std::string lastText() const { return messages.log.empty() ? std::string() : messages.log.back().text; }
};

template <class T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qWarning("no control %s in %s", name, qPrintable(w->objectName()));
    return c;
}

// Presses a button as the user would: only a visible, enabled button reacts.
inline bool press(QWidget* w, const char* name) {
    auto* b = child<QAbstractButton>(w, name);
    if (!b || !b->isVisibleTo(w->window()) || !b->isEnabled()) return false;
    b->click();
    return true;
}

}  // namespace lumerad::testing
