#include "spectra/undulator_flux_window.h"

namespace lumerad {

TfUndFlux::TfUndFlux(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfUndFlux", QStringLiteral("Undulator Photon Flux"), parent) {
    resize(400, 300);
}

} // namespace lumerad
