#include "windows/coherent/form_factor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/numerics/text_to_number.h"
#include "core/plot/graph_model.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/data_widgets.h"
#include "ui/dialogs.h"
#include "ui/form_builder.h"
#include "ui/texts.h"
#include "windows/plot/graph_window.h"

namespace lumerad {

namespace {
const QString kOwner = QStringLiteral("TfFormFctr");
}  // namespace

TfFormFctr::TfFormFctr(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfFormFctr", QStringLiteral("Formfactor"), parent) {
    form::maroonPanels(this);
    auto* top = new QVBoxLayout(this);

    auto* beamBox = form::group(this, QStringLiteral("select beam"), "gbSelectBeam");
    auto* bl = new QVBoxLayout(beamBox);
    if (ctx.module) {
        Table& sp = *ctx.module->SnglBeam;
        grid_ = new DBGrid(sp, ctx.runner, beamBox, "DBGridBeam");
        grid_->setMinimumHeight(120);
        navigator_ = new DBNavigator(sp, ctx.runner, beamBox, "DBNavigatorBeam");
        for (auto b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last})
            navigator_->button(b)->hide();
        bl->addWidget(grid_);
        bl->addWidget(navigator_);
    }
    top->addWidget(beamBox);
    auto [left, right] = form::columns(top);

    auto* bunchBox = form::group(this, QStringLiteral("particle bunch parameters"), "gbBunch");
    form::Rows bunch(bunchBox);
    if (ctx.module) {
        Table& sp = *ctx.module->SnglBeam;
        auto* prt = new DBEdit(sp, QStringLiteral("Part/Bunch"), ctx.runner, bunchBox, "DBEditSPprtbun");
        prt->setToolTip(QStringLiteral("number of particles per micro bunch"));
        bunch.add(QStringLiteral("part./bunch"), prt, QStringLiteral("10^8"));
        auto* len = new DBEdit(sp, QStringLiteral("BunchDuration"), ctx.runner, bunchBox, "DBEditBunLen");
        len->setToolTip(QStringLiteral("effective micro bunch length"));
        // the field holds femtoseconds, as every formula reads it
        bunch.add(QStringLiteral("bunch length"), len, QStringLiteral("f-sec"));
        auto* txtLen = new DBText(sp, QStringLiteral("BunchLength"), bunchBox, "DBTxtBunLen");
        txtLen->setToolTip(QStringLiteral("micro bunch length"));
        bunch.add(QStringLiteral("or"), txtLen, QStringLiteral("mm"));
        auto* txtCur = new DBText(sp, QStringLiteral("PeakCurrent"), bunchBox, "DBTxtPkCur");
        txtCur->setToolTip(QStringLiteral("micro bunch current"));
        bunch.add(QStringLiteral("peak current"), txtCur, QStringLiteral("A"));
        for (DBEdit* e : {prt, len})
            connectAction(e, &DBEdit::fieldTextChanged, [this] {
                if (isVisible()) ShowButton();
            });
    }
    isuniform_ = form::radio(bunchBox, "isuniform", QStringLiteral("uniform"), true);
    isgaussian_ = form::radio(bunchBox, "isgaussian", QStringLiteral("gaussian"), false);
    auto* shapes = new QWidget(bunchBox);
    auto* sh = new QHBoxLayout(shapes);
    sh->setContentsMargins(0, 0, 0, 0);
    sh->addWidget(isuniform_);
    sh->addWidget(isgaussian_);
    bunch.addWide(shapes);
    for (QRadioButton* rb : {isuniform_, isgaussian_})
        connectAction(rb, &QRadioButton::clicked, [this] { ShowButton(); });
    left->addWidget(bunchBox);

    auto* valueBox = form::group(this, QStringLiteral("specific formfactor value"), "gbValue");
    form::Rows value(valueBox);
    wavelen_ = form::edit(valueBox, "wavelen", {}, QStringLiteral("wavelength of the form factor"));
    value.add(QStringLiteral("at a wavelength of "), wavelen_, QStringLiteral("µm"));
    Lff_ = form::label(valueBox, qs(formFactorCaption(BunchShape::Uniform)), "Lff");
    value.addWide(Lff_);
    CalcSpFF_ = form::button(valueBox, "CalcSpFF", QStringLiteral("calculate formfactor"));
    setDefaultButton(CalcSpFF_);
    value.addWide(CalcSpFF_);
    left->addWidget(valueBox);
    left->addStretch(1);

    auto* scanBox = form::group(this, QStringLiteral("calculate/graph formfactor vs wavenumber"), "gbScan");
    form::Rows scan(scanBox);
    Eminwvn_ = form::edit(scanBox, "Eminwvn", {}, QStringLiteral("first wavenumber of the scan"));
    scan.add(QStringLiteral("min.wavenumber"), Eminwvn_, QStringLiteral("1/cm"));
    Emaxwvn_ = form::edit(scanBox, "Emaxwvn", {}, QStringLiteral("last wavenumber of the scan"));
    scan.add(QStringLiteral("max.wavenumber"), Emaxwvn_, QStringLiteral("1/cm"));
    Edelwvn_ = form::edit(scanBox, "Edelwvn", {}, QStringLiteral("step of the scan"));
    scan.add(QStringLiteral("increment"), Edelwvn_, QStringLiteral("1/cm"));
    cbPlot_ = form::check(scanBox, "cbPlot", QStringLiteral("plot form factor"), true);
    cbSave_ = form::check(scanBox, "cbSave", QStringLiteral("save form factor to file"), false);
    rbAdd_ = form::radio(scanBox, "rbAdd", QStringLiteral("add to graph"), true);
    rbReplace_ = form::radio(scanBox, "rbReplace", QStringLiteral("replace graph"), false);
    scan.addWide(cbPlot_);
    scan.addWide(cbSave_);
    scan.addWide(rbAdd_);
    scan.addWide(rbReplace_);
    CalcSpectrum_ = form::button(scanBox, "CalcSpectrum", QStringLiteral("recalculate spectrum"),
                                 QStringLiteral("accept selections and calculate"));
    scan.addWide(CalcSpectrum_);
    setDefaultButton(CalcSpectrum_, scanBox);
    right->addWidget(scanBox);
    auto* close = form::button(this, "BtClose", QStringLiteral("close"));
    right->addWidget(close);
    right->addStretch(1);

    connectAction(CalcSpFF_, &QPushButton::clicked, [this] { Calculate(); });
    connectAction(CalcSpectrum_, &QPushButton::clicked, [this] { CalcSpectrumClick(); });
    connectAction(close, &QPushButton::clicked, [this] { this->close(); });
    for (QLineEdit* e : {wavelen_, Eminwvn_, Emaxwvn_, Edelwvn_})
        connectAction(e, &QLineEdit::textChanged, [this] { ShowButton(); });
    resize(sizeHint().expandedTo(QSize(820, 600)));
}

void TfFormFctr::formShow() {
    const FormFactorInputs design;
    Eminwvn_->setText(qs(design.Eminwvn));
    Emaxwvn_->setText(qs(design.Emaxwvn));
    Edelwvn_->setText(qs(design.Edelwvn));
    wavelen_->setText(qs(design.wavelen));
    lambda_ = 1e-4;
    const bool gaussian =
        ctx_.module && ctx_.module->SnglBeam->isOpen() &&
        ctx_.module->SnglBeam->asText(QStringLiteral("PartDistribution")) == QStringLiteral("g");
    (gaussian ? isgaussian_ : isuniform_)->setChecked(true);
    distribution_ = gaussian ? "g" : "r";
    showDistribution();
}

// The caption names the checked distribution; a value of the other one would no longer be
// the value of what is checked.
void TfFormFctr::showDistribution() {
    Lff_->setText(qs(formFactorCaption(distribution_ == "g" ? BunchShape::Gaussian : BunchShape::Uniform)));
}

// The calculate buttons are disabled, not hidden, while nothing has changed, so that no button
// moves under the mouse.
void TfFormFctr::ShowButton() {
    CalcSpFF_->setEnabled(true);
    CalcSpectrum_->setEnabled(true);
    const std::string before = distribution_;
    distribution_ = isuniform_->isChecked() ? "r" : "g";
    if (distribution_ != before) showDistribution();
}

double TfFormFctr::bunchDuration() const {
    if (!ctx_.module || !ctx_.module->SnglBeam->isOpen() || !ctx_.module->SnglBeam->hasCurrent())
        throw InputError("there is no single-pass beam: choose one in the grid of this window!");
    requireUsableRecord(*ctx_.module->SnglBeam);
    return ctx_.module->SnglBeam->asNumber(QStringLiteral("BunchDuration"));
}

void TfFormFctr::Calculate() {
    const FormFactorValue v =
        formFactorAt(fieldText(wavelen_), distribution_, bunchDuration(), ctx_.messages);
    if (v.wavelenText) {
        wavelen_->setText(qs(*v.wavelenText));
        Lff_->clear();
    } else {
        lambda_ = v.lambda;
        length_ = v.length;
        if (v.computed) Lff_->setText(qs(v.Lff.text));
    }
    CalcSpFF_->setEnabled(false);
}

void TfFormFctr::CalcSpectrumClick() {
    // 1. The single value (refreshes the bunch length).
    Calculate();
    length_ = bunchLengthOfDuration(bunchDuration());
    const std::optional<BunchShape> shape = bunchShapeOf(distribution_);
    if (!shape) throw InputError(kSelectDistributionText);

    // The scan is read, checked and computed before a file is created or a curve opened, so a
    // refused scan leaves both as they were.
    const double kMin = parseReal(fieldText(Eminwvn_), "Eminwvn");
    const double kMax = parseReal(fieldText(Emaxwvn_), "Emaxwvn");
    const double dk = parseReal(fieldText(Edelwvn_), "Edelwvn");
    FormFactorPoints pts = formFactorScan(*shape, length_, kMin, kMax, dk);
    TfGraphs* g = ctx_.windowAs<TfGraphs>(WindowId::Graphs);
    const bool plot = cbPlot_->isChecked() && g;
    if (plot && rbAdd_->isChecked() && g->model().curveCount() >= kMaxCurvNum)
        throw InputError(
            "The graph already holds " + std::to_string(kMaxCurvNum) +
            " curves, the most it can show. Delete a curve (click it) or replace the graph before "
            "adding another one.");

    // 2. The file.
    DataFile file;
    std::string fileName;
    if (cbSave_->isChecked()) {
        const QString name = ctx_.dialogs.saveFileName(
            this, QStringLiteral("Save Formfactor to File:"), QStringLiteral("formfactor.txt"),
            QStringLiteral("text files (*.txt *.dat);;all files (*)"), QStringLiteral("txt"));
        if (!name.isEmpty()) {
            fileName = name.toStdString();
            if (!file.open(fileName))
                ctx_.messages.error("the file " + fileName +
                                    " cannot be created; the form factor is not saved.");
        }
    }

    // 3. The curve.
    const int colour = *shape == BunchShape::Gaussian ? kBlueCurve : kRedCurve;
    if (plot) {
        if (rbAdd_->isChecked())
            g->addGraph();
        else
            g->replaceGraph();
        g->NewCurve();
        g->setCurveOwner(kOwner);
        for (const auto& [line, t] : formFactorCurveLines(*shape, length_)) g->addInfo(line, qs(t));
        g->setTitle(QStringLiteral("Formfactor"));
        g->XAxis(QStringLiteral("wavenumber, 1/cm"));
        g->YAxis(QStringLiteral("form factor"));
    }

    // 4-7. The points.
    for (int i = 0; i < pts.size(); ++i) {
        file.write(formFactorFileLine(pts.k[i], pts.ff[i]));
        if (plot) g->LoadData(colour, pts.k[i], pts.ff[i]);
    }
    points_ = std::move(pts);
    // Shown after the points are in, so the axes fit the whole scan.
    if (plot) g->showCurves();

    // 8.
    if (file.isOpen() && !file.close())
        ctx_.messages.error("writing the file " + fileName + " failed; the form factor file is incomplete.");
    CalcSpectrum_->setEnabled(false);
}

void TfFormFctr::closeEvent(QCloseEvent* e) {
    // Closing takes this window's curves away; the curves of the other windows stay.
    if (ctx_.windowAs<TfGraphs>(WindowId::Graphs))
        ctx_.windowAs<TfGraphs>(WindowId::Graphs)->deleteCurvesOf(kOwner);
    ToolWindow::closeEvent(e);
}

}  // namespace lumerad
