#include "windows/spectra/synchrotron_spectrum_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"
#include "core/sources/bending_magnet.h"
#include "core/state/session.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "ui/data_widgets.h"
#include "ui/dialogs.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"
#include "windows/plot/graph_window.h"

namespace lumerad {

TfSynSpectrum::TfSynSpectrum(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfSynSpectrum", QStringLiteral("Lumerad Spectrum"), parent) {
    auto* top = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    auto* tbClose =
        form::toolButton(bar, "tbClose", QStringLiteral("&close panel"), QStringLiteral("close window"));
    auto* tbUpdate = form::toolButton(bar, "tbUpdate", QStringLiteral("&update calculation"),
                                      QStringLiteral("update parameters displayed on panel"));
    connectAction(tbClose, &QToolButton::clicked, [this] { this->close(); });
    connectAction(tbUpdate, &QToolButton::clicked, [this] { Calculate(false); });
    setDefaultButton(tbUpdate);
    top->addWidget(bar);

    auto [left, right] = form::columns(top);

    // Beam, source and the parameters of the calculation.
    auto* par = form::group(this, QStringLiteral("parameters"), "gbParameters");
    form::Rows rows(par);
    if (ctx.module) {
        Table& ring = *ctx.module->CircBeam;
        Table& src = *ctx.module->InsDevice;
        rows.add(QStringLiteral("parameter set"), new DBText(ring, QStringLiteral("SR"), par, "DBT_SR"));
        auto* en = new DBText(ring, QStringLiteral("Energy"), par, "DBTxtEn");
        en->setToolTip(QStringLiteral("electron beam energy"));
        rows.add(QStringLiteral("beam energy "), en, QStringLiteral("GeV"));
        auto* cur = new DBText(ring, QStringLiteral("Cur"), par, "DBTxtCur");
        cur->setToolTip(QStringLiteral("circulating beam current"));
        rows.add(QStringLiteral("beam current"), cur, QStringLiteral("mA"));
        rows.add(QStringLiteral("source"), new DBText(src, QStringLiteral("Name"), par, "DBText1"));
    }
    MaxFld_ = form::label(par, {}, "MaxFld");
    rows.add(QStringLiteral("max. field...."), MaxFld_, QStringLiteral("Tesla"));
    BW_ = form::edit(par, "BW", {}, QStringLiteral("select harmonic"));
    rows.add(QStringLiteral("band width.......... "), BW_, QStringLiteral("%"));
    Ephcrit_ = form::label(par, QStringLiteral("Ephcrit"), "Ephcrit");
    results_.add("Ephcrit", Ephcrit_,
                 rows.add(QStringLiteral("critical photon energy:"), Ephcrit_, QStringLiteral("eV"), "LeV3"));
    left->addWidget(par);

    pnWig_ = new QWidget(this);
    pnWig_->setObjectName(QStringLiteral("pnWig"));
    auto* wg = new QGridLayout(pnWig_);
    LKPar_ = form::label(pnWig_, QStringLiteral("K................."), "LKPar");
    KPar_ = form::label(pnWig_, {}, "KPar");
    wg->addWidget(LKPar_, 0, 0);
    wg->addWidget(KPar_, 0, 1);
    wg->addWidget(form::label(pnWig_, QStringLiteral("# of pole.............")), 1, 0);
    Poles_ = form::label(pnWig_, {}, "Poles");
    wg->addWidget(Poles_, 1, 1);
    wg->addWidget(form::label(pnWig_, QStringLiteral("horiz.obs. angle:")), 2, 0);
    const SpectrumInputs design;
    Hobs_ = form::edit(pnWig_, "Hobs", qs(design.Hobs),
                       QStringLiteral("direction of observation with respect to wiggler axis."));
    wg->addWidget(Hobs_, 2, 1);
    HobsMax_ = form::label(pnWig_, QStringLiteral("mr"), "HobsMax");
    wg->addWidget(HobsMax_, 2, 2);
    left->addWidget(pnWig_);

    // The quantity.
    rgSpectrum_ = form::group(this, QStringLiteral("spectral photon fluxes"), "rgSpectrum",
                              QStringLiteral("a_ angular flux, s_ spatial flux density at source point"));
    auto* rgl = new QVBoxLayout(rgSpectrum_);
    items_ = new QButtonGroup(this);
    for (int i = 0; i <= 5; ++i) {
        const std::string name = "rgSpectrumItem" + std::to_string(i);
        auto* rb = form::radio(rgSpectrum_, name.c_str(), qs(spectrumItemText(i)), false);
        items_->addButton(rb, i);
        rgl->addWidget(rb);
    }
    connectAction(items_, &QButtonGroup::idClicked, [this] { rgSpectrumClick(); });
    left->addWidget(rgSpectrum_);

    rbPlotSel_ = new QWidget(this);
    rbPlotSel_->setObjectName(QStringLiteral("rbPlotSel"));
    auto* psl = new QHBoxLayout(rbPlotSel_);
    rbVsAng_ = form::radio(rbPlotSel_, "rbVsAng", QStringLiteral("plot vs angle"), false,
                           QStringLiteral("plot flux vs. vert. observ. angle"));
    rbPhEn_ = form::radio(rbPlotSel_, "rbPhEn", QStringLiteral("plot vs photon energy"), true,
                          QStringLiteral("plot flux vs. photon energy"));
    psl->addWidget(rbVsAng_);
    psl->addWidget(rbPhEn_);
    connectAction(rbVsAng_, &QRadioButton::clicked, [this] { rbVsAngClick(); });
    connectAction(rbPhEn_, &QRadioButton::clicked, [this] { rbPhEnClick(); });
    left->addWidget(rbPlotSel_);
    left->addStretch(1);

    // The scans: both panels share one place.
    auto* scans = new QWidget(this);
    auto* place = new QGridLayout(scans);
    place->setContentsMargins(0, 0, 0, 0);
    pnPhEn_ = form::group(scans, QStringLiteral("photon flux spectrum"), "pnPhEn");
    auto* pg = new QGridLayout(pnPhEn_);
    e_phmin_ = form::edit(pnPhEn_, "e_phmin", {});
    e_phmax_ = form::edit(pnPhEn_, "e_phmax", {});
    De_ph_ = form::edit(pnPhEn_, "De_ph", {});
    edVAng_ =
        form::edit(pnPhEn_, "edVAng", {}, QStringLiteral("must be smaller than max wiggler defl.angle"));
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("spectrum............")), 0, 0);
    pg->addWidget(e_phmin_, 0, 1);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("< εi <")), 0, 2);
    pg->addWidget(e_phmax_, 0, 3);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("eV")), 0, 4);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("percent step size..............")), 1, 0);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("Δεph/εph")), 1, 2);
    pg->addWidget(De_ph_, 1, 3);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("%")), 1, 4);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("vertical obs. angle,")), 2, 0);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("ψ")), 2, 2);
    pg->addWidget(edVAng_, 2, 3);
    pg->addWidget(form::label(pnPhEn_, QStringLiteral("1/γ")), 2, 4);

    pnAng_ = form::group(scans, QStringLiteral("sigma/pi-mode flux vs.angle"), "pnAng");
    auto* ag = new QGridLayout(pnAng_);
    edAngMax_ = form::edit(pnAng_, "edAngMax", qs(design.edAngMax));
    edDAng_ = form::edit(pnAng_, "edDAng", qs(design.edDAng));
    edPhEn_ = form::edit(pnAng_, "edPhEn", qs(design.edPhEn));
    ag->addWidget(form::label(pnAng_, QStringLiteral("vary vert. obs.angle..")), 0, 0);
    ag->addWidget(form::label(pnAng_, QStringLiteral("0 < ψ <")), 0, 1);
    ag->addWidget(edAngMax_, 0, 2);
    ag->addWidget(form::label(pnAng_, QStringLiteral("1/γ")), 0, 3);
    ag->addWidget(form::label(pnAng_, QStringLiteral("step size..............")), 1, 0);
    ag->addWidget(form::label(pnAng_, QStringLiteral("Δψ")), 1, 1);
    ag->addWidget(edDAng_, 1, 2);
    ag->addWidget(form::label(pnAng_, QStringLiteral("1/γ")), 1, 3);
    ag->addWidget(form::label(pnAng_, QStringLiteral("photon energy...................")), 2, 0);
    ag->addWidget(form::label(pnAng_, QStringLiteral("εph")), 2, 1);
    ag->addWidget(edPhEn_, 2, 2);
    ag->addWidget(form::label(pnAng_, QStringLiteral("eV")), 2, 3);
    place->addWidget(pnPhEn_, 0, 0);
    place->addWidget(pnAng_, 0, 0);
    scans->setMinimumSize(380, 132);
    right->addWidget(scans);

    // Output.
    auto* out = form::group(this, QStringLiteral("output"), "gbOutput");
    auto* og = new QGridLayout(out);
    cbSave_ = form::check(out, "cbSave", QStringLiteral("save spectrum to file"), false);
    cbPlot_ = form::check(out, "cbPlot", QStringLiteral("plot spectrum"), true);
    auto* modes = new QWidget(out);
    auto* ml = new QHBoxLayout(modes);
    ml->setContentsMargins(0, 0, 0, 0);
    rbAdd_ = form::radio(modes, "rbAdd", QStringLiteral("add to graph"), true);
    rbReplace_ = form::radio(modes, "rbReplace", QStringLiteral("replace graph"), false);
    ml->addWidget(rbAdd_);
    ml->addWidget(rbReplace_);
    auto* bbShowGraph =
        form::button(out, "bbShowGraph", QStringLiteral("show graph"), QStringLiteral("show selected graph"));
    connectAction(bbShowGraph, &QPushButton::clicked, [this] { bbShowGraphClick(); });
    og->addWidget(cbSave_, 0, 0);
    og->addWidget(cbPlot_, 1, 0);
    og->addWidget(modes, 2, 0);
    og->addWidget(bbShowGraph, 3, 0);
    right->addWidget(out);
    right->addStretch(1);

    FormCreate();
    resize(760, 520);
}

void TfSynSpectrum::FormCreate() {
    const SpectrumInputs design;
    edVAng_->setText(qs(design.edVAng));
    BW_->setText(qs(design.BW));
    Hobs_->setText(qs(design.Hobs));
    De_ph_->setText(qs(design.De_ph));
    e_phmin_->setText(qs(design.e_phmin));
    e_phmax_->setText(qs(design.e_phmax));
    items_->button(0)->setChecked(true);
    rgSpectrumClick();
    rbPlotSel_->hide();
    pnPhEn_->show();
}

int TfSynSpectrum::spectrumItem() const { return items_->checkedId(); }

void TfSynSpectrum::setSpectrumItem(int item) {
    items_->button(item)->setChecked(true);
    rgSpectrumClick();
}

void TfSynSpectrum::say(const std::string& t) { ctx_.messages.info(t); }

void TfSynSpectrum::FormShow() {
    const Session& s = ctx_.session;
    LKPar_->setText(QStringLiteral("K"));
    if (s.flags.WigglerMode)
        KPar_->setText(qs(FormatFixed3(s.magnet.KValue)));
    else if (s.flags.BendMagMode)
        LKPar_->clear();
    Poles_->setText(qs(FormatInt5(s.magnet.NPoles)));
    MaxFld_->setText(qs(FormatFixed3(s.magnet.BField)));
    pnWig_->hide();
    Calculate(false);
}

void TfSynSpectrum::rgSpectrumClick() {
    const int item = spectrumItem();
    if (item == kSigmaPi || item == kSigmaPiNormalized) {
        edVAng_->setEnabled(true);
        rbPlotSel_->show();
        pnPhEn_->show();
        rbPhEn_->show();
        if (!rbPhEn_->isChecked()) {
            rbPhEn_->setChecked(true);
            rbPhEnClick();
        }
    } else {
        rbPlotSel_->hide();
        pnPhEn_->show();
        pnAng_->hide();
        edVAng_->setEnabled(false);  // its text is still used by the calculation
    }
}

void TfSynSpectrum::rbVsAngClick() {
    pnPhEn_->hide();
    rbVsAng_->setChecked(true);
    pnAng_->show();
}

void TfSynSpectrum::rbPhEnClick() {
    pnAng_->hide();
    rbPhEn_->setChecked(true);
    pnPhEn_->show();
}

void TfSynSpectrum::bbShowGraphClick() {
    const int item = spectrumItem();
    if (item != kSigmaPi && item != kSigmaPiNormalized) {
        if (!rbPhEn_->isChecked()) rbPhEnClick();  // the energy scan
    } else if (ctx_.session.flags.WigglerMode) {
        say(kNoPiFromWigglerText);
    }
    Calculate(true);
}

void TfSynSpectrum::CurveLegend() {
    TfGraphs* g = ctx_.windowAs<TfGraphs>(WindowId::Graphs);
    if (!g) return;
    const Session& s = ctx_.session;
    LegendInput in;
    in.BeamName = s.beam.BeamName;
    in.SrcName = s.magnet.SrcName;
    in.E = s.beam.BeamEnergy;
    in.I = s.beam.BeamCurrent;
    in.EmitX = s.beam.EmitX;
    in.ObsField = obs_.ObsField;
    in.HorObsAngle = obs_.HorObsAngle;
    in.PerLength = s.magnet.PerLength;
    in.RelBandWidth = s.RelBandWidth;
    in.NPoles = s.magnet.NPoles;
    in.wigglerMode = s.flags.WigglerMode;
    in.bendMagMode = s.flags.BendMagMode;
    in.vsAngle = rbVsAng_->isChecked();
    in.edPhEn = fieldText(edPhEn_);
    in.edVAng = fieldText(edVAng_);
    for (const auto& [line, t] : curveLegendLines(in)) g->addInfo(line, qs(t));
}

void TfSynSpectrum::Calculate(bool doPlot) {
    requireCirculatingBeam(ctx_);
    clearFloatFaults();  // each step below tests its own results
    Session& s = ctx_.session;
    const double E = s.beam.BeamEnergy;

    // A. Observation point and critical energy.
    obs_ = observationPoint(s.flags.WigglerMode, s.flags.BendMagMode, s.magnet, s.beam, obs_);
    if (obs_.wiggler || obs_.bendingMagnet) {
        Hobs_->setText(qs(obs_.Hobs));
        HobsMax_->setText(qs(obs_.HobsMax));
        HobsMax_->setToolTip(qs(obs_.HobsMaxHint));
    }
    s.CritEnergy = spectrumCritEnergy(E, obs_.ObsField);
    results_.show({spectrumCritEnergyField(s.CritEnergy)});
    s.RelBandWidth = spectrumRelBandWidth(fieldText(BW_));
    RecordingMessages stepMessage;
    const EnergyScan scan =
        energyScanSettings(fieldText(e_phmin_), fieldText(e_phmax_), fieldText(De_ph_), stepMessage);
    if (scan.stepReset) {
        say(kStepTooSmallText);
        De_ph_->setText(QStringLiteral("0.1"));
    }
    if (!doPlot) return;

    const int item = spectrumItem();
    const bool vsAngle = rbVsAng_->isChecked();
    // Refuse a scan that cannot be made before anything is written or plotted.
    double psiMax = 0, dPsi = 0, phEn = 0;
    if (vsAngle) {
        psiMax = parseReal(fieldText(edAngMax_));
        dPsi = parseReal(fieldText(edDAng_));
        phEn = parseReal(fieldText(edPhEn_));
        angleScanPointCount(psiMax, dPsi);
        // the Bessel functions take no argument of 0 or below: the curves would be zeros
        if (!(phEn > 0)) throw InputError(kPhotonEnergyPositiveText);
    } else {
        energyScanPointCount(scan);
    }

    // D. Factors; E and F. The points. They are computed before the file is asked for and
    // the curve is opened, so that a scan that fails (a zero critical energy or beam size
    // divides) leaves neither an empty file nor an empty curve behind.
    const double psiV = parseReal(fieldText(edVAng_));
    const SpectrumFactors k = spectrumFactors(s.beam, s.magnet.NPoles, s.RelBandWidth, psiV);
    const SpectrumPoints pts =
        vsAngle ? angleScanPoints(item, s.tab, psiMax, dPsi, phEn, s.CritEnergy, k)
                : energyScanPoints(item, s.flags.WigglerMode, s.tab, scan, s.CritEnergy, s.beam, k);

    // B. The file.
    DataFile file;
    if (cbSave_->isChecked()) {
        const QString name = ctx_.dialogs.saveFileName(
            this, QStringLiteral("save spectrum"), QStringLiteral("spectrum.txt"),
            QStringLiteral("text files (*.txt *.dat);;all files (*)"), QStringLiteral("txt"));
        if (!name.isEmpty()) {
            if (file.open(name.toStdString())) {
                file.write(spectrumFileHeader(item, vsAngle));
            } else {
                say("the file " + name.toStdString() + " cannot be created; the spectrum is not saved.");
            }
        }
    }

    // C. The graph.
    TfGraphs* g = ctx_.windowAs<TfGraphs>(WindowId::Graphs);
    if (cbPlot_->isChecked()) {
        if (rbAdd_->isChecked())
            g->addGraph();
        else
            g->replaceGraph();
        g->NewCurve();
        CurveLegend();
        g->XAxis(vsAngle ? QStringLiteral("vert. obs. angle/gamma") : QStringLiteral("photon energy, eV"));
        g->YAxis(qs(spectrumAxisCaption(item)));
        g->addInfo(0, qs(spectrumAxisCaption(item)));
    } else if (g->CurveCount() == 0) {
        // Nothing to add the points to yet: open a curve for them.
        g->NewCurve();
        CurveLegend();
        g->addInfo(0, qs(spectrumAxisCaption(item)));
    }

    // G. Output.
    if (item == kSigmaPi || item == kSigmaPiNormalized) {
        for (int i = 0; i < pts.size(); ++i) g->LoadData(kRedCurve, pts.x[i], pts.value[i]);
        g->addInfo(9, qs(sigmaCurveText(item)));
        g->addGraph();
        g->NewCurve();
        for (int i = 0; i < pts.size(); ++i) g->LoadData(kBlueCurve, pts.x[i], pts.pi[i]);
        CurveLegend();
        g->addInfo(9, qs(piCurveText(item)));
        for (int i = 0; i < pts.size(); ++i) file.write(spectrumFilePointLine(item, pts, i));
    } else {
        for (int i = 0; i < pts.size(); ++i) {
            g->LoadData(kRedCurve, pts.x[i], pts.value[i]);
            file.write(spectrumFilePointLine(item, pts, i));
        }
    }
    if (ctx_.windowAs<TfGraphs>(WindowId::Graphs)) ctx_.windowAs<TfGraphs>(WindowId::Graphs)->showCurves();
    if (file.isOpen() && !file.close()) say("writing the spectrum file failed; the file is incomplete.");
}

}  // namespace lumerad
