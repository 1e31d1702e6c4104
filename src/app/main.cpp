// Program entry: title, catalogue module, every window once in a fixed order, event loop.
#include <QApplication>

#include "app/action_runner.h"
#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/qt_messages.h"
#include "app/session.h"
#include "app/start_window.h"
#include "catalogue/circ_beam_window.h"
#include "catalogue/single_pass_beam_window.h"
#include "coherent/form_factor_window.h"
#include "coherent/transition_radiation_window.h"
#include "numerics/bessel_window.h"
#include "plot/enter_text_window.h"
#include "plot/graph_window.h"
#include "plot/line_graph_window.h"
#include "sources/bending_magnet_window.h"
#include "sources/single_pass_undulator_window.h"
#include "sources/undulator_window.h"
#include "sources/wiggler_window.h"
#include "spectra/line_spectrum_window.h"
#include "spectra/synchrotron_spectrum_window.h"
#include "spectra/undulator_flux_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Lumerad"));
    QApplication::setApplicationName(QStringLiteral("Lumerad"));

    using namespace lumerad;
    Session session;
    QtMessages messages;
    QtDialogs dialogs;
    ActionRunner runner(messages);
    AppContext ctx{session, messages, dialogs, runner, nullptr, {}};

    Windows& w = ctx.windows;
    w.start = new TfStart(ctx);
    w.cbeam = new TfCBeam(ctx);
    w.spbeam = new TfSPBeam(ctx);
    w.besFun = new TfBesFun(ctx);
    w.wiggler = new TfWiggler(ctx);
    w.undulator = new TfUndulator(ctx);
    w.formFctr = new TfFormFctr(ctx);
    w.tr = new TfTR(ctx);
    w.lineSpectrum = new TfLineSpectrum(ctx);
    w.undFlux = new TfUndFlux(ctx);
    w.synSpectrum = new TfSynSpectrum(ctx);
    w.synRad = new TfSynRad(ctx);
    w.graphs = new TfGraphs(ctx);
    w.enterText = new TfEnterText(ctx);
    w.spUnd = new TfSPUnd(ctx);
    w.lineGraph = new TfLineGraph(ctx);
    w.start->show();
    return app.exec();
}
