#pragma once
// The program's objects in start-up order: the session state, the action runner, the
// catalogue module and every window once (TfStart first, so its creation loads DATA.TXT).
// main() builds one with the Qt message boxes and dialogs; window tests build one with
// recording messages, scripted dialogs and a temporary catalogue.
#include <QString>
#include <memory>
#include <optional>

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

// The one instance of each window, typed; the windows themselves know each other only by
// WindowId through the AppContext.
struct Windows {
    TfStart* start = nullptr;
    TfCBeam* cbeam = nullptr;
    TfSPBeam* spbeam = nullptr;
    TfBesFun* besFun = nullptr;
    TfWiggler* wiggler = nullptr;
    TfUndulator* undulator = nullptr;
    TfFormFctr* formFctr = nullptr;
    TfTR* tr = nullptr;
    TfLineSpectrum* lineSpectrum = nullptr;
    TfUndFlux* undFlux = nullptr;
    TfSynSpectrum* synSpectrum = nullptr;
    TfSynRad* synRad = nullptr;
    TfGraphs* graphs = nullptr;
    TfEnterText* enterText = nullptr;
    TfSPUnd* spUnd = nullptr;
    TfLineGraph* lineGraph = nullptr;
};

struct ProgramOptions {
    QString catalogueFile;            // empty: Lumerad.sqlite in the application-data folder
    std::optional<QString> dataFile;  // DATA.TXT; unset: looked up (findDataFile)
    bool startupTime = false;         // print the time to the first shown main window and quit

    // Reads "--catalogue FILE" (or --catalogue=FILE) and "--startup-time"; other arguments
    // are left to Qt.
    static ProgramOptions fromArguments(const QStringList& args);
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
    Windows windows_;
};

}  // namespace lumerad
