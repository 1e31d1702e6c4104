#include "windows/sources/single_pass_undulator_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/state/session.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "ui/data_widgets.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"

namespace lumerad {

namespace {
const QString kUndulatorFilter = QStringLiteral("SrceType = 'Und'");

// The single-pass beam whose record the window reads; its calculation fills the beam state.
Table& singlePassBeam(AppContext& ctx) {
    if (!ctx.module || !ctx.module->SnglBeam->isOpen() || !ctx.module->SnglBeam->hasCurrent())
        throw InputError(
            "there is no single-pass beam: choose and accept one in the single-pass beam editor!");
    requireUsableRecord(*ctx.module->SnglBeam);
    return *ctx.module->SnglBeam;
}
}  // namespace

TfSPUnd::TfSPUnd(AppContext& ctx, QWidget* parent)
    : SourceWindow(ctx, "TfSPUnd", QStringLiteral("single pass undulator radiation"), parent) {
    auto* top = new QVBoxLayout(this);
    QToolBar* bar = makeToolBar();
    tbRecalc_->setText(QStringLiteral("&recalculate"));
    tbRecalc_->setToolTip(QStringLiteral("recalculate all parameters"));
    QToolButton* exit = addExitButton(bar);
    exit->setText(QStringLiteral("&close panel"));
    exit->setToolTip(QStringLiteral("exit panel"));
    top->addWidget(bar);

    auto [left, right] = form::columns(top);

    // Magnet: the field box, or the permanent-magnet panel with the gap.
    auto* magBox = form::group(this, QStringLiteral("undulator magnet"), "gbMagnet");
    form::Rows mag(magBox);
    Wfield_ = form::edit(magBox, "Wfield", {}, QStringLiteral("magnet field"));
    mag.add(QStringLiteral("magnet field"), Wfield_, QStringLiteral("T"));
    auto* yesNo = new QWidget(magBox);
    auto* yn = new QHBoxLayout(yesNo);
    yn->setContentsMargins(0, 0, 0, 0);
    yn->addWidget(form::label(yesNo, QStringLiteral("permanent magnet?")));
    bbYes_ = form::button(yesNo, "bbYes", QStringLiteral("Yes"),
                          QStringLiteral("specify new permanent magnet parameter"));
    bbNo_ = form::button(yesNo, "bbNo", QStringLiteral("No"));
    yn->addWidget(bbYes_);
    yn->addWidget(bbNo_);
    yn->addStretch(1);
    mag.addWide(yesNo);
    pnPerMag_ = new QFrame(magBox);
    pnPerMag_->setObjectName(QStringLiteral("pnPerMag"));
    form::keepPlaceWhenHidden(pnPerMag_);
    static_cast<QFrame*>(pnPerMag_)->setFrameShape(QFrame::StyledPanel);
    form::Rows pm(pnPerMag_);
    auto* magTyp = form::output(pnPerMag_, "MagTyp");
    results_.add("MagTyp", magTyp);
    pm.add(QStringLiteral("magnet type"), magTyp);
    if (ctx.module) {
        auto* gap =
            new DBEdit(*ctx.module->InsDevice, QStringLiteral("Gap"), ctx.runner, pnPerMag_, "DBEdtgap");
        gap->setToolTip(QStringLiteral("choose the full gap heigth"));
        pm.add(QStringLiteral("gap"), gap, QStringLiteral("mm"));
        connectAction(gap, &DBEdit::fieldTextChanged, [this] {
            if (isVisible()) Dirty();
        });
    }
    pm.addWide(form::label(pnPerMag_, QStringLiteral(" valid if :   0.07 < g/l_p < 0.7")));
    mag.addWide(pnPerMag_);
    left->addWidget(magBox);

    // Beam: the single-pass record's energy, charge and duration.
    auto* beamBox = makeBeamPanel(this);
    auto* beamGrid = new QGridLayout(beamBox);
    beamGrid->addWidget(form::label(beamBox, QStringLiteral("edit/change beam configuration")), 0, 0, 1, 3);
    if (ctx.module) {
        Table& sp = *ctx.module->SnglBeam;
        struct Row {
            const char* name;
            const char* field;
            const char* label;
            const char* unit;
        } rows[] = {{"DBEditSPEnergy", "Energy", "beam energy", "MeV"},
                    {"DBEdit1", "Part/Bunch", "particles/bunch", "10^8"},
                    {"DBEdit2", "BunchDuration", "bunch duration", "f-sec"}};
        int r = 1;
        for (const Row& row : rows) {
            auto* e = new DBEdit(sp, QString::fromLatin1(row.field), ctx.runner, beamBox, row.name);
            e->setToolTip(QStringLiteral("beam energy"));
            beamGrid->addWidget(form::label(beamBox, QString::fromLatin1(row.label)), r, 0);
            beamGrid->addWidget(e, r, 1);
            beamGrid->addWidget(form::label(beamBox, QString::fromLatin1(row.unit)), r, 2);
            ++r;
            connectAction(e, &DBEdit::fieldTextChanged, [this] {
                if (isVisible()) Dirty();
            });
        }
    }
    left->addWidget(beamBox);

    // Sources.
    if (ctx.module) {
        grid_ = new DBGrid(*ctx.module->InsDevice, ctx.runner, this, "DBGridSrce");
        navigator_ = new DBNavigator(*ctx.module->InsDevice, ctx.runner, this, "DBNavigator1");
        left->addWidget(grid_, 1);
        left->addWidget(navigator_);
        connectAction(grid_, &DBGrid::cellClicked, [this] { Dirty(); });
        connectAction(navigator_, &DBNavigator::clicked, [this] { Dirty(); });
    }
    left->addWidget(
        makeFilterSelector(this, QStringLiteral("select source filter"),
                           {QStringLiteral("All"), QStringLiteral("'Und'"), QStringLiteral("'Wig'"),
                            QStringLiteral("'Syn'"), QStringLiteral("'TR'"), QString(), QString()}));
    bbApply_->setText(QStringLiteral("apply filter"));

    // Results.
    auto* outBox = form::group(this, QStringLiteral("undulator radiation"), "gbResults");
    form::Rows out(outBox);
    auto addOut = [&](const char* name, const QString& label, const QString& unit, const QString& hint = {}) {
        auto* e = form::output(outBox, name, hint);
        results_.add(name, e);
        out.add(label, e, unit);
    };
    addOut("Kpar", QStringLiteral("K-value"), {}, QStringLiteral("assumes sinusoidal field"));
    addOut("Edtxmax", QStringLiteral("path displacement"), QStringLiteral("µm"));
    addOut("Edtmxdefl", QStringLiteral("deflection"), QStringLiteral("µrad"));
    for (auto [name, text] : {std::pair{"lWveLen", "fundamental wavelength: "},
                              {"lWveNum", "wavenumber............: "},
                              {"lDistr", "particle distribution is"},
                              {"lFF", "formfactor = "}}) {
        QLabel* l = form::label(outBox, QString::fromLatin1(text), name);
        results_.add(name, l);
        out.addWide(l);
    }
    out.addWide(form::label(outBox, QStringLiteral("radiated energy......................uJ")));
    right->addWidget(outBox);
    right->addStretch(1);

    connectAction(Wfield_, &QLineEdit::textChanged, [this] {
        if (isVisible()) Dirty();
    });
    connectAction(bbYes_, &QPushButton::clicked, [this] { bbYesClick(); });
    connectAction(bbNo_, &QPushButton::clicked, [this] { bbNoClick(); });
    if (coFilter_) coFilter_->setCurrentIndex(0);
    markStale();
    resize(sizeHint().expandedTo(QSize(860, 560)));
}

// Yes and No stay where they are (the one that does not apply is disabled), and the gap panel
// keeps its space when hidden, so that nothing in the window moves.
void TfSPUnd::showPermanentMagnetPanel(bool show) {
    pnPerMag_->setVisible(show);
    bbNo_->setEnabled(show);
    bbYes_->setEnabled(!show);
    Wfield_->setEnabled(!show);
}

void TfSPUnd::formActivate() {
    if (!ctx_.module) return;
    Table& src = *ctx_.module->InsDevice;
    src.setFilter(kUndulatorFilter);
    src.setFiltered(true);
    // The record is read before its magnet type decides which inputs the window offers, so a
    // permanent magnet gets the gap panel even when the last source was an electromagnet.
    const bool permanent = readSourceRecord(src).MagType == "PM";
    showPermanentMagnetPanel(permanent);
    Recalculate();
}

void TfSPUnd::bbYesClick() {
    showPermanentMagnetPanel(true);
    // the gap is the input now
    if (auto* gap = pnPerMag_->findChild<QWidget*>(QStringLiteral("DBEdtgap")))
        gap->setFocus();
    else
        bbNo_->setFocus();
    QPalette p = Wfield_->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    Wfield_->setPalette(p);
    Dirty();
}

void TfSPUnd::bbNoClick() {
    showPermanentMagnetPanel(false);
    Wfield_->setText(qs(SinglePassUndulatorInputs{}.Wfield));
    // the field box is the input now: it looks editable and takes the focus
    Wfield_->setPalette(QPalette());
    Wfield_->setFocus();
    Wfield_->selectAll();
    Dirty();
}

void TfSPUnd::bbApplyClick() {
    if (!ctx_.module || !coFilter_) return;
    const QString kind = coFilter_->currentText();
    if (kind.isEmpty()) return;
    Table& src = *ctx_.module->InsDevice;
    if (kind == QStringLiteral("All")) {
        src.setFiltered(false);
        return;
    }
    src.setFilter(QStringLiteral("SrceType = ") + kind);
    src.setFiltered(true);
}

void TfSPUnd::PnlBemParClick() { ctx_.show(WindowId::SinglePassBeam); }

void TfSPUnd::Recalculate() {
    Table& beam = singlePassBeam(ctx_);
    beam.edit();  // the record's calculation leaves gamma and the bunch length in the beam state
    ReadSourcePar(ctx_);
    Session& s = ctx_.session;
    SinglePassUndulatorInputs in;
    in.wfieldEnabled = Wfield_->isEnabled();
    in.Wfield = fieldText(Wfield_);
    in.gamma = s.beam.BeamGamma;
    in.bunchLength = s.beam.BunchLength;
    in.distribution = beam.asText(QStringLiteral("PartDistribution")).toStdString();
    SinglePassUndulatorResult r;
    calculated([&] { return SinglePassUndulator(in, s.magnet, ctx_.messages, r); });
    if (r.WfieldText) Wfield_->setText(qs(*r.WfieldText));
    results_.show(r.fields);
    // Without a valid magnet type nothing after K was computed: the results stay marked stale.
    if (r.magnetValid)
        markFresh();
    else
        markStale();
}

}  // namespace lumerad
