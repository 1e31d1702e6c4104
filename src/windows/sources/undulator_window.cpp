#include "windows/sources/undulator_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
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

TfUndulator::TfUndulator(AppContext& ctx, QWidget* parent)
    : SourceWindow(ctx, "TfUndulator", QStringLiteral("Undulator Radiation"), parent) {
    auto* top = new QVBoxLayout(this);

    QToolBar* bar = makeToolBar();
    auto* tbUndFlux = form::toolButton(bar, "tbUndFlux", QStringLiteral("undulator flux"),
                                       QStringLiteral("flux, flux density and brightness of the harmonic"));
    connectAction(tbUndFlux, &QToolButton::clicked, [this] { tbUndFluxClick(); });
    auto* tbLine = form::toolButton(bar, "tbLineSpectrum", QStringLiteral("line spectrum"),
                                    QStringLiteral("list of the harmonics, line spectrum and tuning curves"));
    connectAction(tbLine, &QToolButton::clicked, [this] { tbLineSpectrumClick(); });
    addExitButton(bar);
    auto* Button1 = form::button(this, "Button1", QStringLiteral("rec_default"));
    Button1->hide();
    connectAction(Button1, &QPushButton::clicked, [this] { Recalculate(); });
    top->addWidget(bar);

    auto [left, right] = form::columns(top);

    // Source panel: grid, navigator, filter; beam panel.
    auto* srcBox = form::group(this, QStringLiteral("select radiation source "), "gbSource");
    auto* srcLay = new QVBoxLayout(srcBox);
    auto* beamBox = makeBeamPanel(this);
    pnlBemPar_->setToolTip(QStringLiteral("click for new circular beam parameter set"));
    auto* beamGrid = new QGridLayout(beamBox);

    auto* magBox = form::group(this, QStringLiteral("magnet"), "gbMagnet");
    auto* magLay = new QVBoxLayout(magBox);
    auto* pmBox = form::group(magBox, QStringLiteral("permanent magnet ?"), "gbPerMag");
    auto* pmLay = new QVBoxLayout(pmBox);
    magnet_ = std::make_unique<PermanentMagnetPanel>(*this, pmBox, pmLay, true, [this] { Dirty(); });
    results_.add("MagTyp", magnet_->magnetType());
    auto* fieldRow = new QWidget(pmBox);
    form::Rows fr(fieldRow);
    fr.add(QStringLiteral("field ............"), magnet_->makeField(fieldRow, QStringLiteral("magnet field")),
           QStringLiteral("T"));
    pmLay->addWidget(fieldRow);

    auto* magRowsHost = new QWidget(magBox);
    form::Rows rows(magRowsHost);

    if (ctx.module) {
        Table& src = *ctx.module->InsDevice;
        Table& ring = *ctx.module->CircBeam;
        grid_ = new DBGrid(src, ctx.runner, srcBox, "DBGridSrce");
        navigator_ = new DBNavigator(src, ctx.runner, srcBox, "DBNavigator1");
        srcLay->addWidget(grid_, 1);
        srcLay->addWidget(navigator_);
        auto* filterRow = new QHBoxLayout;
        filterRow->addWidget(form::label(srcBox, QStringLiteral("filter data with:")));
        filterRow->addWidget(makeFilterSelector(srcBox, QStringLiteral("select source filter"),
                                                {"All", "Und", "Wig", "Bend", "TR"}));
        filterRow->addStretch(1);
        srcLay->addLayout(filterRow);
        coFilter_->setCurrentText(QStringLiteral("Und"));

        int r = 0;
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("beam parameter")), r++, 0, 1, 3);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("storage ring ")), r, 0);
        beamGrid->addWidget(new DBText(ring, QStringLiteral("SR"), beamBox, "DBTextSR"), r++, 1, 1, 2);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("energy ")), r, 0);
        beamGrid->addWidget(new DBText(ring, QStringLiteral("Energy"), beamBox, "DBTextEnergy"), r, 1);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("GeV;")), r++, 2);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("current")), r, 0);
        beamGrid->addWidget(new DBText(ring, QStringLiteral("Cur"), beamBox, "DBTextCur"), r, 1);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("mA;")), r++, 2);
        beamGrid->addWidget(form::label(beamBox, QStringLiteral("beam at source parameter")), r++, 0, 1, 3);
        const std::pair<const char*, const char*> sig[] = {
            {"σx", "Sig_xb"}, {"σy", "Sig_yb"}, {"σ′x", "Sig_xp"}, {"σ′y", "Sig_yp"}};
        for (auto [label, fieldName] : sig) {
            beamGrid->addWidget(form::label(beamBox, QString::fromUtf8(label)), r, 0);
            const QString f = QString::fromLatin1(fieldName);
            beamGrid->addWidget(new DBText(ring, f, beamBox, ("DBText" + f).toLatin1().constData()), r, 1);
            beamGrid->addWidget(
                form::label(beamBox, f.endsWith('b') ? QStringLiteral("µm") : QStringLiteral("µrad")), r++,
                2);
        }

        DBEdit* gap = magnet_->addGap(src, *this, QStringLiteral("gap .................."),
                                      QStringLiteral("choose the full gap heigth"),
                                      QStringLiteral("   valid if :   0.07 < g/l_p < 0.7"));
        auto* poles = new DBEdit(src, QStringLiteral("#Poles"), ctx.runner, magRowsHost, "DBEdtNumPoles");
        auto* per = new DBEdit(src, QStringLiteral("PerLen"), ctx.runner, magRowsHost, "DBEdtPerL");
        rows.add(QStringLiteral("number of poles..........."), poles);
        rows.add(QStringLiteral("period length................"), per, QStringLiteral("mm"));
        for (DBEdit* e : {gap, poles, per})
            connectAction(e, &DBEdit::fieldTextChanged, [this] {
                if (isVisible()) Dirty();
            });
        connectAction(grid_, &DBGrid::cellClicked, [this] {
            magnet_->showPeakField();
            Dirty();
        });
        connectAction(navigator_, &DBNavigator::clicked, [this] { Dirty(); });
    }
    results_.addField(rows, magRowsHost, "stKPar", QStringLiteral("K-parameter................"), {});
    results_.addField(rows, magRowsHost, "stUndLen", QStringLiteral("undulator length ........."),
                      QStringLiteral("m"));
    results_.addField(rows, magRowsHost, "Edtxmax", QStringLiteral("osc.amplitude ............."),
                      QStringLiteral("µm"));
    results_.addField(rows, magRowsHost, "Edtmxdefl", QStringLiteral("deflection ...................."),
                      QStringLiteral("µrad"));
    magLay->addWidget(pmBox);
    magLay->addWidget(magRowsHost);

    auto* fwBox = form::group(this, QStringLiteral("forward radiation parameters "), "gbForward");
    form::Rows fw(fwBox);
    harm_ = form::edit(fwBox, "harm", qs(UndulatorInputs{}.harm), QStringLiteral("select harmonic"));
    fw.add(QStringLiteral("harmonic \" i \" : "), harm_);
    results_.addField(fw, fwBox, "ephi", QStringLiteral("photon energy εi"), QStringLiteral("eV"), "leV2");
    results_.addField(fw, fwBox, "lami", QStringLiteral("wavelength λi"), QStringLiteral("Å"));
    results_.addField(fw, fwBox, "PowTot", QStringLiteral("total radiation power:"), QStringLiteral("W"),
                      "lW");
    fw.addWide(form::label(fwBox, QStringLiteral("power density:         ")));
    results_.addField(fw, fwBox, "edPowmm", QStringLiteral("at the source point"), QStringLiteral("W/mm^2"),
                      "lwmm");
    auto* zRow = new QWidget(fwBox);
    auto* zLay = new QHBoxLayout(zRow);
    zLay->setContentsMargins(0, 0, 0, 0);
    edDist_ = form::edit(zRow, "edDist", {}, QStringLiteral("distance from the source point"));
    zLay->addWidget(form::label(zRow, QStringLiteral("z =")));
    zLay->addWidget(edDist_);
    zLay->addWidget(form::label(zRow, QStringLiteral("m  downstream:")));
    auto* pz = form::output(fwBox, "edPwmmz");
    results_.add("edPwmmz", pz, fw.add(QString(), pz, QStringLiteral("W/mm^2"), "lwmmz"));
    fw.grid()->addWidget(zRow, fw.grid()->rowCount() - 1, 0);

    left->addWidget(srcBox, 1);
    left->addWidget(beamBox);
    right->addWidget(magBox);
    right->addWidget(fwBox);
    right->addStretch(1);

    FormCreate();
    for (QLineEdit* e : {harm_, edDist_, magnet_->field()})
        connectAction(e, &QLineEdit::textChanged, [this] { Dirty(); });
    markStale();
    resize(sizeHint().expandedTo(QSize(1000, 640)));
}

void TfUndulator::FormCreate() {
    magnet_->showPeakField();
    edDist_->setText(qs(UndulatorInputs{}.edDist));
}

void TfUndulator::Dirty() {
    ctx_.session.flags.ParDirty = true;
    markStale();
}

void TfUndulator::showResults() {
    const ResultFields fields = UndulatorTexts(result_);
    results_.show(fields);
    for (const ResultField& f : fields) {
        if (f.name != "Wfield" && f.name != "fldmax") continue;
        // the field box always holds the field; a permanent magnet shows it in fldmax
        const QSignalBlocker quiet(magnet_->field());  // the window writes it; no input changed
        magnet_->field()->setText(qs(f.text));
        if (f.name == "fldmax") magnet_->peakField()->setText(qs(f.text));
    }
    // Step 3: the panel of the magnet's kind; a permanent magnet whose field box the user
    // opened with "No" keeps it.
    if (result_.completed >= 3) magnet_->followMagnet(result_.permanentMagnet);
}

void TfUndulator::Recalculate() {
    Session& s = ctx_.session;
    requireCirculatingBeam(ctx_);
    ReadSourcePar(ctx_);
    UndulatorInputs in;
    in.harm = fieldText(harm_);
    in.edDist = fieldText(edDist_);
    try {
        calculated(
            [&] { return UndulatorRecalculate(in, s.beam, s.magnet, s.undulator, ctx_.messages, result_); });
    } catch (...) {
        showResults();  // what was computed before the failing step stays on screen
        throw;
    }
    if (result_.notUndulator) return;  // the button keeps its mark
    showResults();
    markFresh();
}

void TfUndulator::formActivate() {
    coFilter_->setCurrentText(QStringLiteral("Und"));
    harm_->setText(qs(UndulatorInputs{}.harm));
    Recalculate();
    magnet_->showKind(ctx_.session.magnet.MagType == "PM");
}

void TfUndulator::tbUndFluxClick() { ctx_.show(WindowId::UndulatorFlux); }

void TfUndulator::tbLineSpectrumClick() {
    Recalculate();
    ctx_.show(WindowId::LineSpectrum);
}

}  // namespace lumerad
