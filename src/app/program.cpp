#include "app/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "app/start_window.h"
#include "store/tsr_module.h"
#include "windows/catalogue/circ_beam_window.h"
#include "windows/catalogue/single_pass_beam_window.h"
#include "windows/coherent/form_factor_window.h"
#include "windows/coherent/transition_radiation_window.h"
#include "windows/numerics/bessel_window.h"
#include "windows/plot/enter_text_window.h"
#include "windows/plot/graph_window.h"
#include "windows/plot/line_graph_window.h"
#include "windows/sources/bending_magnet_window.h"
#include "windows/sources/single_pass_undulator_window.h"
#include "windows/sources/undulator_window.h"
#include "windows/sources/wiggler_window.h"
#include "windows/spectra/line_spectrum_window.h"
#include "windows/spectra/synchrotron_spectrum_window.h"
#include "windows/spectra/undulator_flux_window.h"

namespace lumerad {

ProgramOptions ProgramOptions::fromArguments(const QStringList& args) {
    QCommandLineParser parser;
    const QCommandLineOption catalogue(QStringLiteral("catalogue"), QStringLiteral("The catalogue FILE."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption startupTime(
        QStringLiteral("startup-time"), QStringLiteral("Print the time to the first shown window and quit."));
    parser.addOptions({catalogue, startupTime});
    // Arguments it does not know are Qt's own (or nobody's): the parse goes on past them.
    parser.parse(args);
    ProgramOptions o;
    o.catalogueFile = parser.value(catalogue);
    o.startupTime = parser.isSet(startupTime);
    return o;
}

Program::Program(Messages& messages, Dialogs& dialogs, const ProgramOptions& options)
    : runner_(messages), ctx_{session_, messages, dialogs, runner_, nullptr, {}, {}} {
    QApplication::setApplicationDisplayName(QStringLiteral("Lumerad"));
    module_ = std::make_unique<TSRModule>(session_, messages, options.catalogueFile);
    ctx_.module = module_.get();

    Windows& w = windows_;
    w.start = new TfStart(ctx_, options.dataFile);
    w.cbeam = new TfCBeam(ctx_);
    w.spbeam = new TfSPBeam(ctx_);
    w.besFun = new TfBesFun(ctx_);
    w.wiggler = new TfWiggler(ctx_);
    w.undulator = new TfUndulator(ctx_);
    w.formFctr = new TfFormFctr(ctx_);
    w.tr = new TfTR(ctx_);
    w.lineSpectrum = new TfLineSpectrum(ctx_);
    w.undFlux = new TfUndFlux(ctx_);
    w.synSpectrum = new TfSynSpectrum(ctx_);
    w.synRad = new TfSynRad(ctx_);
    w.graphs = new TfGraphs(ctx_);
    w.enterText = new TfEnterText(ctx_);
    w.spUnd = new TfSPUnd(ctx_);
    w.lineGraph = new TfLineGraph(ctx_);
    const std::pair<WindowId, QWidget*> ids[] = {
        {WindowId::Start, w.start},
        {WindowId::CircBeam, w.cbeam},
        {WindowId::SinglePassBeam, w.spbeam},
        {WindowId::BesselFunctions, w.besFun},
        {WindowId::Wiggler, w.wiggler},
        {WindowId::Undulator, w.undulator},
        {WindowId::FormFactor, w.formFctr},
        {WindowId::TransitionRadiation, w.tr},
        {WindowId::LineSpectrum, w.lineSpectrum},
        {WindowId::UndulatorFlux, w.undFlux},
        {WindowId::SynchrotronSpectrum, w.synSpectrum},
        {WindowId::BendingMagnet, w.synRad},
        {WindowId::Graphs, w.graphs},
        {WindowId::EnterText, w.enterText},
        {WindowId::SinglePassUndulator, w.spUnd},
        {WindowId::LineGraph, w.lineGraph},
    };
    for (const auto& [id, window] : ids) ctx_.setWindow(id, window);
}

Program::~Program() {
    Windows& w = windows_;
    // In reverse order of creation; the catalogue module goes last.
    QWidget* all[] = {w.lineGraph, w.spUnd,        w.enterText, w.graphs,   w.synRad,    w.synSpectrum,
                      w.undFlux,   w.lineSpectrum, w.tr,        w.formFctr, w.undulator, w.wiggler,
                      w.besFun,    w.spbeam,       w.cbeam,     w.start};
    for (QWidget* win : all) delete win;
    w = Windows{};
    ctx_.windows = {};
    ctx_.module = nullptr;
    module_.reset();
}

}  // namespace lumerad
