#include "windows/sources/bending_magnet_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/state/session.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "ui/data_widgets.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"

namespace lumerad {

TfSynRad::TfSynRad(AppContext& ctx, QWidget* parent)
    : SourceWindow(ctx, "TfSynRad", QStringLiteral("Bending Magnet Radiation"), parent) {
    auto* top = new QVBoxLayout(this);

    QToolBar* bar = makeToolBar();
    auto* tbSpectrum = form::toolButton(bar, "tbSpectrum", QStringLiteral("spectrum"),
                                        QStringLiteral("calc. and display radiation spectrum"));
    connectAction(tbSpectrum, &QToolButton::clicked, [this] { tbSpectrumClick(); });
    addExitButton(bar);
    top->addWidget(bar);

    auto [left, right] = form::columns(top);

    // Source and beam.
    auto* srcBox = form::group(this, QStringLiteral("source"), "gbSource");
    auto* srcGrid = new QGridLayout(srcBox);
    auto* beamBox = makeBeamPanel(this);
    auto* beamGrid = new QGridLayout(beamBox);
    if (ctx.module) {
        Table& src = *ctx.module->InsDevice;
        Table& ring = *ctx.module->CircBeam;
        DBEdtSource_ = new DBEdit(src, QStringLiteral("Name"), ctx.runner, srcBox, "DBEdtSource");
        DBEdtField_ = new DBEdit(src, QStringLiteral("Field"), ctx.runner, srcBox, "DBEdtField");
        DBEdtBemPar_ = new DBEdit(ring, QStringLiteral("SR"), ctx.runner, beamBox, "DBEdtBemPar");
        srcGrid->addWidget(form::label(srcBox, QStringLiteral("source")), 0, 0);
        srcGrid->addWidget(DBEdtSource_, 0, 1, 1, 2);
        srcGrid->addWidget(form::label(srcBox, QStringLiteral("field")), 1, 0);
        srcGrid->addWidget(DBEdtField_, 1, 1);
        srcGrid->addWidget(form::label(srcBox, QStringLiteral("T")), 1, 2);

        beamGrid->addWidget(form::label(beamBox, QStringLiteral("beam parameter")), 0, 0, 1, 3);
        beamGrid->addWidget(DBEdtBemPar_, 1, 0, 1, 3);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("energy")), 2, 0);
        beamGrid->addWidget(new DBText(ring, QStringLiteral("Energy"), beamBox, "DBTxtEnergy"), 2, 1);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("GeV")), 2, 2);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("current")), 3, 0);
        beamGrid->addWidget(new DBText(ring, QStringLiteral("Cur"), beamBox, "DBTxtCur"), 3, 1);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("mA")), 3, 2);

        grid_ = new DBGrid(src, ctx.runner, this, "DBGrid1");
        navigator_ = new DBNavigator(src, ctx.runner, this, "DBNavigator1");
        setSourceColumns(false);

        // Typing in the field takes effect when the entry is finished; moving to another
        // source takes effect at once. A hidden window leaves the magnet state alone. A text
        // that is not a number is refused by the field itself, with its message; reading the
        // source then would only show the same message a second time.
        connectAction(DBEdtField_, &DBEdit::fieldTextChanged, [this] {
            if (!isVisible()) return;
            Change();
            if (!DBEdtField_->hasFocus() && fieldHoldsNumber()) DBEdtFieldChange();
        });
        connectAction(DBEdtField_, &QLineEdit::editingFinished, [this] {
            if (isVisible() && fieldHoldsNumber()) DBEdtFieldChange();
        });
        connectAction(DBEdtSource_, &DBEdit::fieldTextChanged, [this] {
            if (isVisible()) Change();
        });
        connectAction(DBEdtBemPar_, &DBEdit::fieldTextChanged, [this] {
            if (isVisible()) Change();
        });
        connectAction(grid_, &DBGrid::cellClicked, [this] { Change(); });
        connectAction(navigator_, &DBNavigator::clicked, [this] { Change(); });
    }
    left->addWidget(srcBox);
    left->addWidget(beamBox);
    if (grid_) {
        // wide enough for the six columns of a bending magnet without scrolling
        int width = grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth() + 4;
        for (int c = 0; c < 6; ++c) width += grid_->columnWidth(c);
        grid_->setMinimumWidth(width);
        left->addWidget(grid_, 1);
        left->addWidget(navigator_);
    }
    left->addWidget(makeFilterSelector(this, QStringLiteral("select magnet filter")));

    // Inputs.
    auto* inBox = form::group(this, QStringLiteral("input"), "gbInput");
    form::Rows in(inBox);
    WaveLength_ = form::edit(inBox, "WaveLength", {}, QStringLiteral("photon wavelength"));
    in.add(QStringLiteral("photon wavelength"), WaveLength_, QStringLiteral("Å"));
    edBandW_ = form::edit(inBox, "edBandW", {}, QStringLiteral("relative band width"));
    in.add(QStringLiteral("band width"), edBandW_, QStringLiteral("%"));
    VerObsAng_ = form::edit(inBox, "VerObsAng", {}, QStringLiteral("vertical observation angle"));
    in.add(QStringLiteral("vert. obs. angle"), VerObsAng_, QStringLiteral("1/γ"));
    edDist_ = form::edit(inBox, "edDist", {}, QStringLiteral("distance from the source point"));
    in.add(QStringLiteral("distance"), edDist_, QStringLiteral("m"));
    edIncAng_ =
        form::edit(inBox, "edIncAng", {}, QStringLiteral("angle of incidence, 90 is normal incidence"));
    in.add(QStringLiteral("angle of incidence"), edIncAng_, QStringLiteral("deg"));
    right->addWidget(inBox);

    // Outputs, grouped as the quantities belong together; captions and units come with the
    // calculation's list of result fields, which the command line prints too.
    auto addOut = [this](form::Rows& rows, QWidget* host, const char* name) {
        const BendingMagnetField* def = nullptr;
        for (const BendingMagnetField& f : BendingMagnetFields())
            if (std::string(f.name) == name) def = &f;
        results_.addField(rows, host, name, QString::fromUtf8(def->label), QString::fromUtf8(def->designUnit),
                          *def->unitLabel ? def->unitLabel : nullptr);
    };
    auto* magBox = form::group(this, QStringLiteral("magnet and critical energy"), "gbCritical");
    form::Rows mag(magBox);
    for (const char* n : {"EdtRho", "edRigidity", "Ephcrit", "Lamcrit"}) addOut(mag, magBox, n);
    right->addWidget(magBox);

    auto* powBox = form::group(this, QStringLiteral("radiated power"), "gbPower");
    form::Rows pow(powBox);
    for (const char* n : {"PowTot", "Pow_mr", "edPowmm", "edPwmmz", "edPowInc"}) addOut(pow, powBox, n);
    right->addWidget(powBox);

    auto* fluxBox = form::group(this, QStringLiteral("photon flux at the wavelength"), "gbFlux");
    form::Rows flux(fluxBox);
    for (const char* n :
         {"EdtPhEnergy", "Edtxi", "edSigPsi", "PhFlux", "AngPhDenSig", "AngPhDenPi", "AngPhDen"})
        addOut(flux, fluxBox, n);
    right->addWidget(fluxBox);
    right->addStretch(1);

    FormCreate();
    for (QLineEdit* e : {WaveLength_, edBandW_, VerObsAng_, edDist_, edIncAng_})
        connectAction(e, &QLineEdit::textChanged, [this] { Change(); });
    markStale();
    resize(sizeHint().expandedTo(QSize(900, 640)));
}

void TfSynRad::FormCreate() {
    const BendingMagnetInputs design;
    WaveLength_->setText(qs(design.WaveLength));
    edBandW_->setText(qs(design.edBandW));
    VerObsAng_->setText(qs(design.VerObsAng));
    edDist_->setText(qs(design.edDist));
    edIncAng_->setText(qs(design.edIncAng));
}

void TfSynRad::setSourceColumns(bool withDeviceColumns) {
    if (!grid_) return;
    grid_->clearColumns();
    grid_->addColumn(QStringLiteral("Name"), QStringLiteral("Source"));
    grid_->addColumn(QStringLiteral("MagType"), QStringLiteral("MagType"));
    grid_->addColumn(QStringLiteral("SrceType"), QStringLiteral("SrceType"));
    grid_->addColumn(QStringLiteral("Field"), QStringLiteral("Field"));
    grid_->addColumn(QStringLiteral("PermMag"), QStringLiteral("PermMag"));
    grid_->addColumn(QStringLiteral("RemnFld"), QStringLiteral("B_remn"));
    if (withDeviceColumns) {
        grid_->addColumn(QStringLiteral("#Poles"), QStringLiteral("#Poles"));
        grid_->addColumn(QStringLiteral("PerLen"), QStringLiteral("PerLen"));
        grid_->addColumn(QStringLiteral("Gap"), QStringLiteral("Gap"));
    }
}

void TfSynRad::showResults() { results_.show(BendingMagnetResults(result_)); }

void TfSynRad::RecalcSRPar() {
    Session& s = ctx_.session;
    requireCirculatingBeam(ctx_);
    ReadSourcePar(ctx_);
    BendingMagnetInputs in;
    in.WaveLength = fieldText(WaveLength_);
    in.edBandW = fieldText(edBandW_);
    in.VerObsAng = fieldText(VerObsAng_);
    in.edDist = fieldText(edDist_);
    in.edIncAng = fieldText(edIncAng_);
    try {
        lumerad::RecalcSRPar(in, s.beam, s.magnet, s.tab, s.CritEnergy, s.RelBandWidth, result_);
    } catch (...) {
        showResults();  // what was computed before the failing step stays on screen
        throw;
    }
    showResults();
    markFresh();
}

void TfSynRad::tbSpectrumClick() {
    RecalcSRPar();
    ctx_.session.flags.BendMagMode = true;
    ctx_.session.flags.WigglerMode = false;
    ctx_.show(WindowId::SynchrotronSpectrum);
}

void TfSynRad::DBEdtFieldChange() {
    requireCirculatingBeam(ctx_);
    ReadSourcePar(ctx_);
    const double rho = BendingRadiusFromField(ctx_.session.beam.BeamEnergy, ctx_.session.magnet.BField);
    setShownText(results_.control("EdtRho"), qs(FormatFixed3(rho)));
}

bool TfSynRad::fieldHoldsNumber() const {
    const QString typed = DBEdtField_->text().trimmed();
    if (typed.isEmpty()) return true;  // an empty field is a field without a value
    try {
        parseReal(typed.toStdString());
        return true;
    } catch (const InputError&) {
        return false;
    }
}

void TfSynRad::bbApplyClick() {
    SourceWindow::bbApplyClick();
    Change();
}

void TfSynRad::formActivate() { RecalcSRPar(); }

}  // namespace lumerad
