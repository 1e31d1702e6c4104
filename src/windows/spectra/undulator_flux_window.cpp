#include "windows/spectra/undulator_flux_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/state/session.h"
#include "ui/current_records.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"

namespace lumerad {

TfUndFlux::TfUndFlux(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfUndFlux", QStringLiteral("Undulator Photon Flux"), parent) {
    auto* top = new QVBoxLayout(this);

    auto* head = form::group(this, QStringLiteral("harmonic"), "gbHarmonic");
    form::Rows h(head);
    auto label = [&](form::Rows& rows, QWidget* host, const char* name, const QString& caption,
                     const QString& unit) {
        auto* l = form::label(host, QString(), name);
        fitWidth(l, QStringLiteral("-0.000E+000"), 8);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        results_.add(name, l);
        rows.add(caption, l, unit);
    };
    label(h, head, "TLPhEn", QStringLiteral("photon energy :"), QStringLiteral(" eV"));
    label(h, head, "TLWvlenAng", QStringLiteral("photon  wavelength:"), QStringLiteral("Å"));
    label(h, head, "TLharmonic", QStringLiteral("harmonic"), {});
    top->addWidget(head);

    auto* bwRow = new QHBoxLayout;
    bwRow->addWidget(form::label(this, QStringLiteral("band width")));
    EdtBW_ = form::edit(this, "EdtBW", qs(UndFluxInputs{}.EdtBW),
                        QStringLiteral("relative band width in percent"));
    bwRow->addWidget(EdtBW_);
    bwRow->addWidget(form::label(this, QStringLiteral("%")));
    bwRow->addStretch(1);
    top->addLayout(bwRow);

    auto* res = form::group(this, QStringLiteral("photon flux"), "gbFlux");
    form::Rows r(res);
    label(r, res, "LDifPhFlx",
          QStringLiteral("differential photon flux,                    dN_ph/dt/dOmega = "),
          QStringLiteral("photons/sec/sr"));
    label(r, res, "LsigTheta", QStringLiteral("diffraction limited opening angle, σ′ ="),
          QStringLiteral("µrad"));
    label(r, res, "LfLUX",
          QStringLiteral("angle integrated photon flux,                          dN_ph/dt = "),
          QStringLiteral("photons/sec"));
    label(r, res, "flden",
          QStringLiteral("flux density at source                                dN_ph/dt/dA ="),
          QStringLiteral("ph/sec/mm^2"));
    label(r, res, "lBright", QStringLiteral("brightness, B ="), QStringLiteral("ph/sec/mm^2/mr^2"));
    label(r, res, "LDiffBright", QStringLiteral("diffraction limited brightness, B-diff ="),
          QStringLiteral("ph/sec/mm^2/mr^2"));
    label(r, res, "LCohFraction", QStringLiteral("spatially coherent fraction of radiation, η ="),
          QStringLiteral("%"));
    top->addWidget(res);

    auto* buttons = new QHBoxLayout;
    BResult_ = form::button(this, "BResult", QStringLiteral("refresh calculations !"),
                            QStringLiteral("accept selections and calculate"));
    auto* close = form::button(this, "BitBtClose", QStringLiteral("&close window"));
    buttons->addWidget(BResult_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    top->addLayout(buttons);

    setDefaultButton(BResult_);
    connectAction(BResult_, &QPushButton::clicked, [this] { Recalculate(); });
    connectAction(close, &QPushButton::clicked, [this] { this->close(); });
    // disabled rather than hidden while the results are fresh, so that no button moves
    connectAction(EdtBW_, &QLineEdit::textChanged, [this] { BResult_->setEnabled(true); });
}

void TfUndFlux::showResults() { results_.show(UndFluxTexts(result_)); }

void TfUndFlux::Recalculate() {
    Session& s = ctx_.session;
    requireCirculatingBeam(ctx_);
    try {
        calculated(
            [&] { return UndFluxCalculate(fieldText(EdtBW_), s.beam, s.magnet, s.undulator, result_); });
    } catch (...) {
        showResults();
        throw;
    }
    showResults();
    BResult_->setEnabled(false);
}

void TfUndFlux::FormShow() {
    EdtBW_->setText(qs(UndFluxInputs{}.EdtBW));
    Recalculate();
}

void TfUndFlux::formShow() {
    justShown_ = true;
    FormShow();
}

void TfUndFlux::formActivate() {
    if (justShown_) {
        justShown_ = false;
        return;
    }
    FormShow();
}

}  // namespace lumerad
