#include "spectra/synchrotron_spectrum_window.h"

namespace lumerad {

TfSynSpectrum::TfSynSpectrum(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfSynSpectrum", QStringLiteral("Lumerad Spectrum"), parent) {
    resize(400, 300);
}

} // namespace lumerad
