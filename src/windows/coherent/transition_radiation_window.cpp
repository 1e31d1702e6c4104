#include "windows/coherent/transition_radiation_window.h"

#include <QComboBox>
#include <QEvent>
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
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/data_widgets.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"

namespace lumerad {

namespace {

Table& singlePassBeam(AppContext& ctx) {
    if (!ctx.module || !ctx.module->SnglBeam->isOpen() || !ctx.module->SnglBeam->hasCurrent())
        throw InputError("there is no single-pass beam: choose one in the grid of this window!");
    requireUsableRecord(*ctx.module->SnglBeam);
    return *ctx.module->SnglBeam;
}
}  // namespace

TfTR::TfTR(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfTR", QStringLiteral("Transition Radiation"), parent) {
    form::maroonPanels(this);

    auto* top = new QVBoxLayout(this);
    auto* beamBox = form::group(this, QStringLiteral("select beam configuration"), "gbBeam");
    auto* beamLayout = new QVBoxLayout(beamBox);
    if (ctx.module) {
        Table& sp = *ctx.module->SnglBeam;
        grid_ = new DBGrid(sp, ctx.runner, beamBox, "DBGridBeam");
        grid_->clearColumns();
        for (const char* f : {"Name", "Energy", "Part/Bunch", "PulseDuration", "PulseRepRate",
                              "Bunches/Pulse", "BunchDuration", "BunchSepar", "PartDistribution",
                              "PulseCurrent", "PeakCurrent", "AvgCurrent", "BunchLength", "gamma"})
            grid_->addColumn(QString::fromLatin1(f));
        grid_->setMinimumHeight(120);
        beamLayout->addWidget(grid_);
        navigator_ = new DBNavigator(sp, ctx.runner, beamBox, "DBNavigatorBeam");
        for (auto b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last})
            navigator_->button(b)->hide();
        beamLayout->addWidget(navigator_);
        auto* fields = new QWidget(beamBox);
        auto* fg = new QGridLayout(fields);
        fg->setContentsMargins(0, 0, 0, 0);
        struct Bound {
            const char *name, *field, *label;
            const char* hint;
        } bound[] = {
            {"DBEdtEnergy", "Energy", "beam energy (MeV)", nullptr},
            {"DBEdtPartBunch", "Part/Bunch", "particle/bunch, 10^8", nullptr},
            // the field holds femtoseconds, as every formula reads it
            {"DBEdtBunchDuration", "BunchDuration", "bunch length, f-sec", nullptr},
            {"DBEdtDistribution", "PartDistribution", "distribution",
             "select particle distribution, g for gaussian and r for uniform"},
            {"DBEdtRepRate", "PulseRepRate", "pps, Hz", nullptr},
            {"DBEdtBunchesPulse", "Bunches/Pulse", "bunches/pulse", nullptr},
        };
        int i = 0;
        for (const Bound& b : bound) {
            auto* e = new DBEdit(sp, QString::fromLatin1(b.field), ctx.runner, fields, b.name);
            if (b.hint) e->setToolTip(QString::fromLatin1(b.hint));
            fg->addWidget(form::label(fields, QString::fromLatin1(b.label)), i / 3 * 2, i % 3);
            fg->addWidget(e, i / 3 * 2 + 1, i % 3);
            ++i;
            connectAction(e, &DBEdit::fieldTextChanged, [this] {
                if (isVisible()) EdtChange();
            });
        }
        beamLayout->addWidget(fields);
        connectAction(navigator_, &DBNavigator::clicked, [this] { EdtChange(); });
        connectAction(grid_, &DBGrid::cellClicked, [this] { EdtChange(); });
    }
    top->addWidget(beamBox);

    auto [left, right] = form::columns(top);

    // Photon energy and its units.
    auto* photonBox = form::group(this, QStringLiteral("photon"), "gbPhoton");
    auto* pg = new QGridLayout(photonBox);
    LphotEn_ = form::label(photonBox, QStringLiteral("photon energy"), "LphotEn");
    EdtPhEn_ = form::edit(photonBox, "EdtPhEn", {});
    Lunit_ = form::label(photonBox, QStringLiteral("eV"), "Lunit");
    EdtBnWdth_ = form::edit(photonBox, "EdtBnWdth", {}, QStringLiteral("relative band width, a fraction"));
    pg->addWidget(LphotEn_, 0, 0);
    pg->addWidget(EdtPhEn_, 0, 1);
    pg->addWidget(Lunit_, 0, 2);
    pg->addWidget(form::label(photonBox, QStringLiteral("bandwidth")), 1, 0);
    pg->addWidget(EdtBnWdth_, 1, 1);
    auto* unitBox = form::group(photonBox, QStringLiteral("select units for photon energy"), "gbUnits");
    auto* ul = new QHBoxLayout(unitBox);
    struct UnitButton {
        PhotonUnit unit;
        const char* name;
        QString caption;
    } units[] = {{PhotonUnit::eV, "RBeV", QStringLiteral("eV")},
                 {PhotonUnit::m, "RBm", QStringLiteral("m")},
                 {PhotonUnit::Angstrom, "RBAng", QStringLiteral("Å")},
                 {PhotonUnit::perCm, "RBcm", QStringLiteral("1/cm")},
                 {PhotonUnit::THz, "RBTHz", QStringLiteral("THz")}};
    for (const UnitButton& u : units) {
        auto* rb = form::radio(unitBox, u.name, u.caption, u.unit == PhotonUnit::eV);
        ul->addWidget(rb);
        unitButtons_[u.unit] = rb;
        const PhotonUnit unit = u.unit;
        connectAction(rb, &QRadioButton::clicked, [this, unit] { unitClick(unit); });
    }
    pg->addWidget(unitBox, 2, 0, 1, 3);
    cbConvert_ = form::combo(photonBox, "cbConvert", {}, QStringLiteral("the photon energy in other units"));
    cbConvert_->setPlaceholderText(QStringLiteral("other energy units"));
    cbConvert_->setMinimumContentsLength(28);
    pg->addWidget(cbConvert_, 3, 0, 1, 3);
    left->addWidget(photonBox);

    // Coherence.
    auto* cohBox = form::group(this, QStringLiteral("select"), "gbCoherence");
    auto* cg = new QGridLayout(cohBox);
    RBcoherent_ = form::radio(cohBox, "RBcoherent", QStringLiteral("coherent"), true);
    RBincoh_ = form::radio(cohBox, "RBincoh", QStringLiteral("incoherent"), false);
    LFormFctr_ = form::label(cohBox, QStringLiteral("form factor"), "LFormFctr");
    EdtFormF_ = form::output(cohBox, "EdtFormF");
    cg->addWidget(RBcoherent_, 0, 0);
    cg->addWidget(RBincoh_, 1, 0);
    // the form factor belongs to the coherent choice: its label and field share that row, and
    // keep their place when hidden
    cg->addWidget(LFormFctr_, 0, 1);
    cg->addWidget(EdtFormF_, 0, 2);
    form::keepPlaceWhenHidden(LFormFctr_);
    form::keepPlaceWhenHidden(EdtFormF_);
    results_.add("EdtFormF", EdtFormF_);
    connectAction(RBcoherent_, &QRadioButton::clicked, [this] { RBcoherentEnter(); });
    connectAction(RBincoh_, &QRadioButton::clicked, [this] { RBincohClick(); });
    RBcoherent_->installEventFilter(this);
    left->addWidget(cohBox);

    // Results.
    auto addPair = [this](QGridLayout* g, int row, const QString& label, const char* a, const char* ua,
                          const char* b, const char* ub) {
        g->addWidget(new QLabel(label), row, 0);
        int col = 1;
        for (auto [name, unit] : {std::pair{a, ua}, std::pair{b, ub}}) {
            if (!name) continue;
            QLineEdit* e = form::output(g->parentWidget(), name);
            fitWidth(e, QStringLiteral("-0.0000E-000"), 12);
            results_.add(name, e);
            g->addWidget(e, row, col++);
            g->addWidget(new QLabel(QString::fromLatin1(unit)), row, col++);
        }
    };
    // The energy and power into half space and into the acceptance angle, each per bunch and
    // per pulse.
    struct EnergyBox {
        const char *title, *name, *energyCaption, *perBunch, *perPulse, *power;
    };
    for (const EnergyBox& box : {EnergyBox{"spectral radiation energy into half space", "gbHalfSpace",
                                           "radiation energy", "EdtTradBun", "EdtTradPls", "EdtRadPow"},
                                 EnergyBox{"spectral radiation into acceptance angle", "gbAcceptance",
                                           "radiation energy ", "EdtAccEnBun", "EdtAccEnPls", "EdtAccPow"}}) {
        auto* group = form::group(this, QString::fromLatin1(box.title), box.name);
        auto* grid = new QGridLayout(group);
        addPair(grid, 0, QString::fromLatin1(box.energyCaption), box.perBunch, "J/bunch", box.perPulse,
                "J/pulse");
        addPair(grid, 1, QStringLiteral("radiation power"), box.power, "Watt", nullptr, nullptr);
        right->addWidget(group);
    }
    auto* allBox = form::group(this, QStringLiteral("all radiation into acceptance angle"), "gbAllRadiation");
    auto* tg = new QGridLayout(allBox);
    tg->addWidget(new QLabel(QStringLiteral("acceptance angle")), 0, 0);
    const TransitionRadiationInputs design;
    EdtAngAccGam_ = form::edit(allBox, "EdtAngAccGam", qs(design.angleGamma),
                               QStringLiteral("acceptance half-angle in units of 1/γ"));
    EdtAngAccmr_ = form::edit(allBox, "EdtAngAccmr", qs(design.angleMrad),
                              QStringLiteral("acceptance half-angle in mrad"));
    tg->addWidget(EdtAngAccGam_, 0, 1);
    tg->addWidget(new QLabel(QStringLiteral("1/γ")), 0, 2);
    tg->addWidget(EdtAngAccmr_, 0, 3);
    tg->addWidget(new QLabel(QStringLiteral("mrad")), 0, 4);
    addPair(tg, 1, QStringLiteral("radiation energy"), "EdtTEnthBun", "J/bunch", "EdtTEnthPlse", "J/pulse");
    addPair(tg, 2, QStringLiteral("radiation power"), "EdtTPowtheta", "Watt", nullptr, nullptr);
    right->addWidget(allBox);

    auto* buttons = new QHBoxLayout;
    Calculate_ = form::button(this, "Calculate", QStringLiteral("refresh calculation !"));
    setDefaultButton(Calculate_);
    auto* back = form::button(this, "BTnGoback", QStringLiteral("close window ?"));
    buttons->addStretch(1);
    buttons->addWidget(Calculate_);
    buttons->addWidget(back);
    right->addLayout(buttons);
    right->addStretch(1);
    connectAction(Calculate_, &QPushButton::clicked, [this] { CalculateClick(); });
    connectAction(back, &QPushButton::clicked, [this] { this->close(); });

    for (QLineEdit* e : {EdtPhEn_, EdtBnWdth_, EdtAngAccGam_, EdtAngAccmr_})
        connectAction(e, &QLineEdit::textChanged, [this] { EdtChange(); });
    // The angle the user gives counts, whether the field was clicked or typed into.
    connectAction(EdtAngAccGam_, &QLineEdit::textEdited, [this] { EdtAngAccGamChange(); });
    connectAction(EdtAngAccmr_, &QLineEdit::textEdited, [this] { EdtAngAccmrChange(); });
    EdtAngAccGam_->installEventFilter(this);
    EdtAngAccmr_->installEventFilter(this);
    resize(sizeHint().expandedTo(QSize(980, 640)));
}

bool TfTR::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
        if (watched == EdtAngAccGam_) EdtAngAccGamChange();
        if (watched == EdtAngAccmr_) EdtAngAccmrChange();
    }
    if (watched == RBcoherent_ && e->type() == QEvent::FocusIn) act([this] { RBcoherentEnter(); });
    return ToolWindow::eventFilter(watched, e);
}

PhotonUnit TfTR::unit() const {
    for (const auto& [u, rb] : unitButtons_)
        if (rb->isChecked()) return u;
    return PhotonUnit::eV;
}

void TfTR::formActivate() {
    const TransitionRadiationInputs design;
    if (EdtBnWdth_->text().isEmpty()) EdtBnWdth_->setText(qs(design.bandWidth));
    if (EdtPhEn_->text().isEmpty()) EdtPhEn_->setText(qs(design.photon));
    state_.AccAngFromGamma = false;
    state_.AccAngFromMrad = false;
}

// The calculate button is disabled, not hidden, while the results are fresh: nothing moves.
void TfTR::EdtChange() { Calculate_->setEnabled(true); }

void TfTR::unitClick(PhotonUnit u) {
    LphotEn_->setText(QString::fromLatin1(photonUnitCaption(u)));
    Lunit_->setText(QString::fromLatin1(photonUnitLabel(u)));
    EdtChange();
}

void TfTR::RBcoherentEnter() {
    LFormFctr_->show();
    EdtFormF_->show();
    EdtChange();
}

void TfTR::RBincohClick() {
    LFormFctr_->hide();
    EdtFormF_->hide();
    EdtChange();
}

void TfTR::EdtAngAccGamChange() {
    state_.AccAngFromGamma = true;
    state_.AccAngFromMrad = false;
}

void TfTR::EdtAngAccmrChange() {
    state_.AccAngFromMrad = true;
    state_.AccAngFromGamma = false;
}

void TfTR::CalculateClick() {
    CalculateTR();
    Calculate_->setEnabled(false);
}

void TfTR::CalculateTR() {
    // 1. What was typed into the record is stored, and its calculated fields refreshed.
    Table& t = singlePassBeam(ctx_);
    t.edit();
    t.post();
    const TransitionRadiationBeam beam = transitionRadiationBeam(t);

    TransitionRadiationInputs in;
    in.photon = fieldText(EdtPhEn_);
    in.unit = unit();
    in.bandWidth = fieldText(EdtBnWdth_);
    in.coherent = RBcoherent_->isChecked();
    in.angleGamma = fieldText(EdtAngAccGam_);
    in.angleMrad = fieldText(EdtAngAccmr_);
    TransitionRadiationResult r;
    calculated([&] { return lumerad::CalculateTR(in, beam, state_, ctx_.messages, r); });

    if (!r.convertLines.empty()) {
        cbConvert_->clear();
        for (const std::string& line : r.convertLines) cbConvert_->addItem(qs(line));
        cbConvert_->setCurrentIndex(-1);
    }
    if (r.bandWidthText) EdtBnWdth_->setText(qs(*r.bandWidthText));
    results_.show(r.fields);
    if (r.angleGammaText) EdtAngAccGam_->setText(qs(*r.angleGammaText));
    if (r.angleMradText) EdtAngAccmr_->setText(qs(*r.angleMradText));
}

}  // namespace lumerad
