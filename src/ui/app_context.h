#pragma once
// What every window is handed: the session state, the message and dialog interfaces,
// the action runner, the catalogue module and the one instance of each window.
#include <functional>

namespace lumerad {

struct Session;
class Messages;
class Dialogs;
class ActionRunner;
class TSRModule;

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

struct AppContext {
    Session& session;
    Messages& messages;
    Dialogs& dialogs;
    ActionRunner& runner;
    TSRModule* module = nullptr;  // created before any window
    Windows windows;
    // Set by the main window: a beam editor accepted a beam (single-pass or circulating).
    std::function<void(bool singlePass)> beamAccepted;
};

} // namespace lumerad
