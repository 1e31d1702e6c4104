#pragma once
// What every window is handed: the session state, the message and dialog interfaces, the
// action runner, the catalogue module, and the windows by id. A window opens another through
// show(WindowId) and never includes the other's header; the chart windows, which others
// draw into, are reached with windowAs<TfGraphs>(WindowId::Graphs) by code that includes them.
#include <QWidget>
#include <array>
#include <cstddef>
#include <functional>

namespace lumerad {

struct Session;
class Messages;
class Dialogs;
class ActionRunner;
class TSRModule;

enum class WindowId {
    Start,
    CircBeam,
    SinglePassBeam,
    BesselFunctions,
    Wiggler,
    Undulator,
    FormFactor,
    TransitionRadiation,
    LineSpectrum,
    UndulatorFlux,
    SynchrotronSpectrum,
    BendingMagnet,
    Graphs,
    EnterText,
    SinglePassUndulator,
    LineGraph,
};
inline constexpr std::size_t kWindowCount = 16;

struct AppContext {
    Session& session;
    Messages& messages;
    Dialogs& dialogs;
    ActionRunner& runner;
    TSRModule* module = nullptr;  // created before any window
    // The windows by id: made by `create` the first time one is asked for, or registered
    // (a test registers those it builds and leaves `create` empty).
    mutable std::array<QWidget*, kWindowCount> windows{};
    // Set by the main window: a beam editor accepted a beam (single-pass or circulating).
    std::function<void(bool singlePass)> beamAccepted;
    std::function<QWidget*(WindowId)> create{};

    void setWindow(WindowId id, QWidget* w) { windows[static_cast<std::size_t>(id)] = w; }
    // The window of an id, made now if it does not exist yet and can be made.
    QWidget* window(WindowId id) const {
        QWidget*& w = windows[static_cast<std::size_t>(id)];
        if (!w && create) w = create(id);
        return w;
    }
    // The window of an id if it exists; never makes one.
    QWidget* existingWindow(WindowId id) const { return windows[static_cast<std::size_t>(id)]; }
    template <class W>
    W* windowAs(WindowId id) const {
        return static_cast<W*>(window(id));
    }
    // Shows a tool window (made first if need be), brings it to the front and activates it;
    // nothing when the window is not there.
    void show(WindowId id) const;
};

}  // namespace lumerad
