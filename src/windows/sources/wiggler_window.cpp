#include "windows/sources/wiggler_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/state/session.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "ui/data_widgets.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"
#include "windows/sources/permanent_magnet_panel.h"

namespace lumerad {

TfWiggler::TfWiggler(AppContext& ctx, QWidget* parent)
    : SourceWindow(ctx, "TfWiggler", QStringLiteral("Wiggler Magnet Radiation"), parent) {
    auto* top = new QVBoxLayout(this);

    QToolBar* bar = makeToolBar();
    tbRecalc_->setText(QStringLiteral("&recalculate"));
    tbRecalc_->setToolTip(QStringLiteral("recalculate all parameters"));
    auto* tbSpectrum = form::toolButton(bar, "tbSpectrum", QStringLiteral("&show spectrum"),
                                        QStringLiteral("display wiggler spectrum"));
    connectAction(tbSpectrum, &QToolButton::clicked, [this] { Spectrum1Click(); });
    QToolButton* tbExit = addExitButton(bar);
    tbExit->setText(QStringLiteral("&close panel"));
    tbExit->setToolTip(QStringLiteral("exit panel"));
    top->addWidget(bar);

    auto [left, right] = form::columns(top);

    // Source selection and beam.
    auto* srcBox = form::group(this, QStringLiteral("select radiation source "), "gbSource");
    auto* srcLay = new QVBoxLayout(srcBox);
    auto* beamBox = makeBeamPanel(this);
    auto* beamGrid = new QGridLayout(beamBox);
    auto* magBox = form::group(this, QStringLiteral("permanent magnet ?"), "gbMagnet");
    auto* magLay = new QVBoxLayout(magBox);
    magnet_ = std::make_unique<PermanentMagnetPanel>(*this, magBox, magLay, false, [this] { Dirty(); });
    auto* devBox = new QWidget(magBox);
    form::Rows dev(devBox);
    QWidget* fieldHost = magnet_->makeField(devBox, QStringLiteral("peak field of the wiggler"));
    magLay->addWidget(devBox);

    if (ctx.module) {
        Table& src = *ctx.module->InsDevice;
        Table& ring = *ctx.module->CircBeam;
        grid_ = new DBGrid(src, ctx.runner, srcBox, "DBGridSrce");
        const std::pair<const char*, const char*> columns[] = {
            {"Name", "Name"},         {"MagType", " type"},  {"PermMag", " constr"}, {"SrceType", " magn"},
            {"Field", " field"},      {"RemnFld", " B_o"},   {"#Poles", " N_p"},     {"PerLen", " L_p"},
            {"Gap", " gap"},          {"Gap_mn", "gap_min"}, {"Gap_mx", "gap_mx"},   {"ObsAngle_x", " psi_x"},
            {"ObsAngle_y", " psi_y"},
        };
        for (const auto& [field, title] : columns)
            grid_->addColumn(QString::fromLatin1(field), QString::fromLatin1(title));
        navigator_ = new DBNavigator(src, ctx.runner, srcBox, "DBNavigator1");
        for (auto b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last})
            navigator_->button(b)->hide();
        srcLay->addWidget(navigator_);
        srcLay->addWidget(grid_, 1);
        auto* filterRow = new QHBoxLayout;
        filterRow->addWidget(form::label(srcBox, QStringLiteral("filter data with:")));
        filterRow->addWidget(makeFilterSelector(srcBox, QStringLiteral("select source filter"),
                                                {"All", "Und", "Wig", "Bend", "TR", "", "", ""}));
        srcLay->addLayout(filterRow);

        beamGrid->addWidget(form::label(beamBox, QStringLiteral("beam parameter")), 0, 0, 1, 3);
        int row = 1;
        auto bound = [&](const QString& caption, const char* field, const char* name, const QString& unit) {
            beamGrid->addWidget(form::label(beamBox, caption), row, 0);
            beamGrid->addWidget(new DBText(ring, QString::fromLatin1(field), beamBox, name), row, 1);
            beamGrid->addWidget(form::label(beamBox, unit), row, 2);
            ++row;
        };
        bound(QStringLiteral("storage ring"), "SR", "SR", {});
        bound(QStringLiteral("energy "), "Energy", "Energy", QStringLiteral("GeV"));
        bound(QStringLiteral("current"), "Cur", "Cur", QStringLiteral("mA"));
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("beam at source point:")), row++, 0, 1, 3);
        bound(QStringLiteral("σ_x"), "Sig_xb", "sig_xb", QStringLiteral("µm"));
        bound(QStringLiteral("σ_y"), "Sig_yb", "sig_yb", QStringLiteral("µm"));
        bound(QStringLiteral("σ'_x"), "Sig_xp", "Sig_xp", QStringLiteral("µrad"));
        bound(QStringLiteral("σ'_y"), "Sig_yp", "Sig_yp", QStringLiteral("µrad"));

        DBEdit* gap = magnet_->addGap(src, *this, QStringLiteral("gap "), {},
                                      QStringLiteral(" valid if :   0.07 < g/l_p < 0.7"));
        auto* poles = new DBEdit(src, QStringLiteral("#Poles"), ctx.runner, devBox, "DBEdtNumPoles");
        auto* per = new DBEdit(src, QStringLiteral("PerLen"), ctx.runner, devBox, "DBEdtPerL");
        HorAngle_ = new DBEdit(src, QStringLiteral("ObsAngle_x"), ctx.runner, this, "HorAngle");
        VerAngle_ = new DBEdit(src, QStringLiteral("ObsAngle_y"), ctx.runner, this, "VerAngle");
        VerAngle_->hide();
        VerAngle_->setEnabled(false);
        dev.add(QStringLiteral("field "), fieldHost, QStringLiteral("T"));
        dev.add(QStringLiteral("number of poles"), poles);
        dev.add(QStringLiteral("period length"), per, QStringLiteral("mm"));
        for (DBEdit* e : {gap, poles, per, HorAngle_, VerAngle_})
            connectAction(e, &DBEdit::fieldTextChanged, [this] {
                if (isVisible() && !writing_) Dirty();
            });
        connectAction(grid_, &DBGrid::cellClicked, [this] {
            magnet_->showPeakField();
            Dirty();
        });
        connectAction(navigator_, &DBNavigator::clicked, [this] { Dirty(); });
    } else {
        dev.add(QStringLiteral("field "), fieldHost, QStringLiteral("T"));
    }
    results_.addField(dev, devBox, "edWLen", QStringLiteral("wiggler length"), QStringLiteral("m"));
    results_.addField(dev, devBox, "Kpar", QStringLiteral("K-value"), {});
    results_.control("Kpar")->setToolTip(QStringLiteral("assumes sinusoidal field"));
    results_.addField(dev, devBox, "Edtxmax", QStringLiteral("path displacement"), QStringLiteral("µm"));
    results_.addField(dev, devBox, "Edtmxdefl", QStringLiteral("deflection"), QStringLiteral("µrad"));
    left->addWidget(srcBox, 1);
    left->addWidget(beamBox);

    // General radiation parameters.
    auto* genBox = form::group(this, QStringLiteral("general radiation parameters"), "gbGeneral");
    form::Rows gen(genBox);
    if (HorAngle_) gen.add(QStringLiteral("obs. angle_x"), HorAngle_, QStringLiteral("mr"));
    results_.addField(gen, genBox, "Ephcrit", QStringLiteral("critical energy"), QStringLiteral("eV"), "LeV");
    results_.addField(gen, genBox, "Lamcrit", QStringLiteral("critical wavelength"), QStringLiteral("Å"));
    results_.addField(gen, genBox, "PowTot", QStringLiteral("total radiation power"), QStringLiteral("W"),
                      "lW");
    results_.addField(gen, genBox, "edPowmm", QStringLiteral("power density: "), QStringLiteral("W/mm^2"),
                      "LWmm");
    auto* zHost = new QWidget(genBox);
    auto* zLay = new QHBoxLayout(zHost);
    zLay->setContentsMargins(0, 0, 0, 0);
    edDist_ = form::edit(zHost, "edDist", {}, QStringLiteral("distance downstream of the source point"));
    zLay->addWidget(form::label(zHost, QStringLiteral("z =")));
    zLay->addWidget(edDist_);
    zLay->addWidget(form::label(zHost, QStringLiteral("m  downstream")));
    gen.addWide(zHost);
    results_.addField(gen, genBox, "edPwmmz", QStringLiteral("at z"), QStringLiteral("W/mm^2"), "lPwmmz");

    // Photon parameters.
    auto* phBox = form::group(this, QStringLiteral("select photon parameters"), "gbPhoton");
    form::Rows ph(phBox);
    WaveLength_ = form::edit(phBox, "WaveLength", {}, QStringLiteral("photon wavelength of interest"));
    ph.add(QStringLiteral("wavelength"), WaveLength_, QStringLiteral("Å"));
    results_.addField(ph, phBox, "EdtPhEnergy", QStringLiteral("photon energy"), QStringLiteral("eV"),
                      "LeV2");
    results_.addField(ph, phBox, "Edtxi", QStringLiteral("e_ph/e_crit"), {});
    results_.addField(ph, phBox, "sigpsi", QStringLiteral("vert.cone, σθ"), QStringLiteral("µrad"));
    edBandW_ = form::edit(phBox, "edBandW", {}, QStringLiteral("relative band width"));
    ph.add(QStringLiteral("band width"), edBandW_, QStringLiteral("%"));
    results_.addField(ph, phBox, "AngPhDen", QStringLiteral("flux density"), QStringLiteral("ph/s/mr^2"));
    results_.addField(ph, phBox, "AngFlux", QStringLiteral("angular flux"), QStringLiteral("ph/s/mr"));
    results_.addField(ph, phBox, "EdtBright", QStringLiteral("brightness"), QStringLiteral("ph/s/mr^2/mm^2"));

    right->addWidget(magBox);
    right->addWidget(genBox);
    right->addWidget(phBox);
    right->addStretch(1);

    FormCreate();
    for (QLineEdit* e : {magnet_->field(), WaveLength_, edBandW_, edDist_})
        connectAction(e, &QLineEdit::textChanged, [this] {
            if (!writing_) Dirty();
        });
    markStale();
    resize(sizeHint().expandedTo(QSize(1000, 700)));
}

void TfWiggler::FormCreate() {
    magnet_->showPeakField();
    const WigglerInputs design;
    edDist_->setText(qs(design.edDist));
    WaveLength_->setText(qs(design.WaveLength));
    edBandW_->setText(qs(design.edBandW));
    psiX_ = 0;
}

void TfWiggler::Dirty() {
    ctx_.session.flags.ParDirty = true;
    markStale();
}

void TfWiggler::formActivate() {
    // The observation angle shown is the source record's own (the field is bound to it):
    // writing the last angle into it here would change whichever record is current.
    if (coFilter_) coFilter_->setCurrentText(QStringLiteral("Wig"));
    const MagnetState& m = ctx_.session.magnet;
    magnet_->showKind(m.MagType == "PM");
    writing_ = true;
    magnet_->field()->setText(qs(FormatFixed3(m.BField)));
    writing_ = false;
}

void TfWiggler::showResults() {
    writing_ = true;
    // Where a refused calculation did not reach, the fields stay empty and the unit labels
    // show their units without a prefix.
    const ResultFields fields = WigglerResults(result_);
    results_.clear();
    results_.show(fields);
    for (const ResultField& f : fields) {
        if (f.name == "Wfield")
            magnet_->field()->setText(qs(f.text));
        else if (f.name == "fldmax")
            magnet_->peakField()->setText(qs(f.text));
        else if (f.name == "MagTyp")
            setShownText(magnet_->magnetType(), qs(f.text));
    }
    writing_ = false;
}

void TfWiggler::Recalculate() {
    Session& s = ctx_.session;
    requireCirculatingBeam(ctx_);
    ReadSourcePar(ctx_);
    // Field selection: a permanent magnet with its field box hidden shows the gap field; an
    // electromagnet shows and reads its field box.
    magnet_->followMagnet(s.magnet.MagType == "PM");
    WigglerInputs in;
    in.HorAngle = HorAngle_ ? fieldText(HorAngle_) : "0";
    in.WaveLength = fieldText(WaveLength_);
    in.edBandW = fieldText(edBandW_);
    in.edDist = fieldText(edDist_);
    try {
        calculated([&] {
            return RecalculateWiggler(in, s.beam, s.magnet, s.tab, ctx_.messages, s.CritEnergy,
                                      s.RelBandWidth, result_);
        });
    } catch (...) {
        showResults();  // the steps before the refusal, nothing after it
        markStale();
        throw;
    }
    psiX_ = result_.psiX;
    showResults();
    s.flags.ParDirty = false;
    markFresh();
}

bool TfWiggler::handedOver() const {
    const MagnetState& m = ctx_.session.magnet;
    return result_.completed == kWigFlux && m.KValue == result_.localK && m.BField == result_.field &&
           ctx_.session.CritEnergy == result_.critEnergy && ctx_.session.RelBandWidth == result_.relBandWidth;
}

void TfWiggler::Spectrum1Click() {
    // Another window may have left its own magnet in the shared state since; then this
    // wiggler is read again as well.
    if (ctx_.session.flags.ParDirty || stale() || !handedOver()) Recalculate();
    ctx_.session.flags.WigglerMode = true;
    ctx_.session.flags.BendMagMode = false;
    ctx_.show(WindowId::SynchrotronSpectrum);
}

}  // namespace lumerad
