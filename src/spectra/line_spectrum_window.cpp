#include "spectra/line_spectrum_window.h"

namespace lumerad {

TfLineSpectrum::TfLineSpectrum(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfLineSpectrum", QStringLiteral("Undulator Line Spectrum"), parent) {
    resize(400, 300);
}

} // namespace lumerad
