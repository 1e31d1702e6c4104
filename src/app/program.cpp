#include "app/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "app/start_window.h"
#include "store/table.h"
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

namespace {
QList<QCommandLineOption> programOptions() {
    return {{QStringLiteral("catalogue"),
             QStringLiteral("Work on the SQLite catalogue FILE (created and seeded if it does not exist)."),
             QStringLiteral("FILE")},
            {QStringLiteral("startup-time"),
             QStringLiteral("Print the time to the first shown window and quit.")},
            {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Print these options and quit.")}};
}
}  // namespace

ProgramOptions ProgramOptions::fromArguments(const QStringList& args) {
    QCommandLineParser parser;
    // "-style fusion" is one of Qt's options, not the letters s, t, y, l, e
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(programOptions());
    // Arguments it does not know are Qt's own (or nobody's): the parse goes on past them.
    parser.parse(args);
    ProgramOptions o;
    o.catalogueFile = parser.value(QStringLiteral("catalogue"));
    o.startupTime = parser.isSet(QStringLiteral("startup-time"));
    o.help = parser.isSet(QStringLiteral("help"));
    return o;
}

// Written here rather than by the parser, whose help needs the application object (and so a
// display) before it can print a line.
QString ProgramOptions::helpText() {
    QString t = QStringLiteral(
        "Usage: lumerad [options]\n"
        "Lumerad, a calculator for the radiation of relativistic electron beams; lumerad-cli gives "
        "its results without a window.\n\nOptions:\n");
    for (const QCommandLineOption& o : programOptions()) {
        QStringList names;
        for (const QString& n : o.names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString left = names.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty()) left += QLatin1Char(' ') + o.valueName();
        t += QStringLiteral("  ") + left.leftJustified(20) + QLatin1Char(' ') + o.description() +
             QLatin1Char('\n');
    }
    return t + QStringLiteral("Qt's own options (for example -platform, -style) are passed on to Qt.\n");
}

Program::Program(Messages& messages, Dialogs& dialogs, const ProgramOptions& options)
    : runner_(messages), ctx_{session_, messages, dialogs, runner_, nullptr, {}, {}}, options_(options) {
    QApplication::setApplicationDisplayName(QStringLiteral("Lumerad"));
    module_ = std::make_unique<TSRModule>(session_, messages, options.catalogueFile);
    ctx_.module = module_.get();
    const Table& src = *module_->InsDevice;
    if (src.hasCurrent())
        startGapRange_ = {src.asText(QStringLiteral("Gap_mn")), src.asText(QStringLiteral("Gap_mx"))};
    // The main window now; the others when they are first needed. None of them writes
    // program-wide state at its creation, so the order they are made in does not matter.
    ctx_.create = [this](WindowId id) { return createWindow(id); };
    windows_.start.get();
}

QWidget* Program::createWindow(WindowId id) {
    switch (id) {
        case WindowId::Start:
            return new TfStart(ctx_, options_.dataFile);
        case WindowId::CircBeam:
            return new TfCBeam(ctx_);
        case WindowId::SinglePassBeam:
            return new TfSPBeam(ctx_);
        case WindowId::BesselFunctions:
            return new TfBesFun(ctx_);
        case WindowId::Wiggler:
            return new TfWiggler(ctx_);
        case WindowId::Undulator:
            return new TfUndulator(ctx_);
        case WindowId::FormFactor:
            return new TfFormFctr(ctx_);
        case WindowId::TransitionRadiation:
            return new TfTR(ctx_);
        case WindowId::LineSpectrum:
            return new TfLineSpectrum(ctx_, startGapRange_);
        case WindowId::UndulatorFlux:
            return new TfUndFlux(ctx_);
        case WindowId::SynchrotronSpectrum:
            return new TfSynSpectrum(ctx_);
        case WindowId::BendingMagnet:
            return new TfSynRad(ctx_);
        case WindowId::Graphs:
            return new TfGraphs(ctx_);
        case WindowId::EnterText:
            return new TfEnterText(ctx_);
        case WindowId::SinglePassUndulator:
            return new TfSPUnd(ctx_);
        case WindowId::LineGraph:
            return new TfLineGraph(ctx_);
    }
    return nullptr;
}

Program::~Program() {
    // No window is made any more; those that were made go in reverse order of the start-up
    // list, the catalogue module last.
    ctx_.create = nullptr;
    for (std::size_t i = kWindowCount; i-- > 0;) delete ctx_.windows[i];
    ctx_.windows = {};
    ctx_.module = nullptr;
    module_.reset();
}

}  // namespace lumerad
