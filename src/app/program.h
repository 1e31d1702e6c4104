#pragma once
// The program's objects in start-up order: the session state, the action runner, the
// catalogue module and the main window (its creation loads DATA.TXT); every other window
// once, made the first time it is shown or used.
// main() builds one with the Qt message boxes and dialogs; window tests build one with
// recording messages, scripted dialogs and a temporary catalogue.
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"

namespace lumerad {

class TfStart;
class TfCBeam;
class TfSPBeam;
class TfBesFun;
class TfWiggler;
class TfUndulator;
class TfFormFctr;
class TfTR;
class TfLineSpectrum;
class TfUndFlux;
class TfSynSpectrum;
class TfSynRad;
class TfGraphs;
class TfEnterText;
class TfSPUnd;
class TfLineGraph;

// A window of the program, typed; made the first time it is used.
template <class W>
class WindowRef {
public:
    WindowRef(const AppContext& ctx, WindowId id) : ctx_(&ctx), id_(id) {}
    W* get() const { return ctx_->windowAs<W>(id_); }
    operator W*() const { return get(); }
    W* operator->() const { return get(); }

private:
    const AppContext* ctx_;
    WindowId id_;
};

// The one instance of each window, typed; the windows themselves know each other only by
// WindowId through the AppContext.
struct Windows {
    explicit Windows(const AppContext& ctx)
        : start(ctx, WindowId::Start),
          cbeam(ctx, WindowId::CircBeam),
          spbeam(ctx, WindowId::SinglePassBeam),
          besFun(ctx, WindowId::BesselFunctions),
          wiggler(ctx, WindowId::Wiggler),
          undulator(ctx, WindowId::Undulator),
          formFctr(ctx, WindowId::FormFactor),
          tr(ctx, WindowId::TransitionRadiation),
          lineSpectrum(ctx, WindowId::LineSpectrum),
          undFlux(ctx, WindowId::UndulatorFlux),
          synSpectrum(ctx, WindowId::SynchrotronSpectrum),
          synRad(ctx, WindowId::BendingMagnet),
          graphs(ctx, WindowId::Graphs),
          enterText(ctx, WindowId::EnterText),
          spUnd(ctx, WindowId::SinglePassUndulator),
          lineGraph(ctx, WindowId::LineGraph) {}
    WindowRef<TfStart> start;
    WindowRef<TfCBeam> cbeam;
    WindowRef<TfSPBeam> spbeam;
    WindowRef<TfBesFun> besFun;
    WindowRef<TfWiggler> wiggler;
    WindowRef<TfUndulator> undulator;
    WindowRef<TfFormFctr> formFctr;
    WindowRef<TfTR> tr;
    WindowRef<TfLineSpectrum> lineSpectrum;
    WindowRef<TfUndFlux> undFlux;
    WindowRef<TfSynSpectrum> synSpectrum;
    WindowRef<TfSynRad> synRad;
    WindowRef<TfGraphs> graphs;
    WindowRef<TfEnterText> enterText;
    WindowRef<TfSPUnd> spUnd;
    WindowRef<TfLineGraph> lineGraph;
};

struct ProgramOptions {
    QString catalogueFile;            // empty: Lumerad.sqlite in the application-data folder
    std::optional<QString> dataFile;  // DATA.TXT; unset: looked up (findDataFile)
    bool startupTime = false;         // print the time to the first shown main window and quit
    bool help = false;                // print helpText() and quit, before any window

    // Reads "--catalogue FILE" (or --catalogue=FILE), "--startup-time" and "--help" ("-h");
    // other arguments are left to Qt.
    static ProgramOptions fromArguments(const QStringList& args);
    static QString helpText();
};

class Program {
public:
    Program(Messages& messages, Dialogs& dialogs, const ProgramOptions& options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    AppContext& ctx() { return ctx_; }
    Session& session() { return session_; }
    Windows& windows() { return windows_; }
    TSRModule& module() { return *module_; }

private:
    Session session_;
    ActionRunner runner_;
    std::unique_ptr<TSRModule> module_;
    AppContext ctx_;
    Windows windows_{ctx_};
    ProgramOptions options_;
    // The gap range of the source that was current at start-up: the line spectrum window
    // starts its scans from it, whenever it is made.
    std::pair<QString, QString> startGapRange_;
    QWidget* createWindow(WindowId id);
};

}  // namespace lumerad
