#include "windows/catalogue/single_pass_beam_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/data_widgets.h"
#include "store/tsr_module.h"
#include "core/numerics/errors.h"
#include "ui/form_builder.h"

namespace lumerad {

namespace {

const char* const kHelp[] = {
    "Single Pass Beam Parameters:  (double click this form to close!)",
    "__________________________________________________",
    "Here you select or specify  single pass beam parameters as you ",
    "may find in linear accelerators or FEL's. They may be from existing ",
    "facilities or design values. You may edit values either in the selection ",
    "grid or in the editing box. To define a new beam parameter set, click ",
    "\"new configuration\" and  as described before. The parameters you ",
    "have defined or edited will be stored automatically in a data base ",
    "and are available next time in the data grid under the name you ",
    "have specified.",
    "  The grid navigator (on top of the grid) lets you add,insert,delete ",
    "configuration sets. See \"hints\" for more details.",
};

QByteArray editName(const QString& field) {
    QString n = field;
    n.replace(QLatin1Char('/'), QLatin1Char('_'));
    return ("DBEdt" + n).toLatin1();
}

}  // namespace

TfSPBeam::TfSPBeam(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfSPBeam", QStringLiteral("Single Pass Beam Parameters"), parent) {
    Table& t = *ctx.module->SnglBeam;
    ActionRunner& run = ctx.runner;

    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    top->addLayout(left);

    auto bound = [&](QWidget* host, form::Rows& rows, const char* label, const char* field,
                     const QString& unit, const QString& hint) {
        QString f = QString::fromLatin1(field);
        auto* e = new DBEdit(t, f, run, host, editName(f).constData());
        e->setMinimumWidth(90);
        if (!hint.isEmpty()) e->setToolTip(hint);
        rows.add(QString::fromLatin1(label), e, unit);
    };

    auto* namePanel = new QWidget(this);
    form::Rows nameRows(namePanel);
    bound(namePanel, nameRows, "configuration name", "Name", {}, {});
    left->addWidget(namePanel);

    QGroupBox* general = form::group(this, QStringLiteral("general parameters"), "gbGeneral");
    form::Rows g(general);
    bound(general, g, "energy", "Energy", QStringLiteral("MeV"), QStringLiteral("beam energy"));
    bound(general, g, "gamma", "gamma", {}, {});
    bound(general, g, "avg.current", "AvgCurrent", QStringLiteral("nA"),
          QStringLiteral("average beam current over many pulses"));
    left->addWidget(general);

    QGroupBox* pulse = form::group(this, QStringLiteral("pulse properties :"), "gbPulse",
                                   QStringLiteral("macro pulse properties"));
    form::Rows p(pulse);
    bound(pulse, p, "pulse length", "PulseDuration", QStringLiteral("n-sec"),
          QStringLiteral("macro pulse length in n-sec"));
    bound(pulse, p, "pulse rep rate", "PulseRepRate", QStringLiteral("Hz"),
          QStringLiteral("pulse repetition rate"));
    bound(pulse, p, "bunches/pulse", "Bunches/Pulse", {}, QStringLiteral("micro bunches per macro pulse"));
    bound(pulse, p, "bunch separ. ", "BunchSepar", QStringLiteral("p-sec"),
          QStringLiteral("separation of micro bunches in p-sec"));
    bound(pulse, p, "pulse current", "PulseCurrent", QStringLiteral("mA"),
          QStringLiteral("macro pulse current"));
    left->addWidget(pulse);

    QGroupBox* bunch = form::group(this, QStringLiteral("bunch properties"), "gbBunch");
    form::Rows b(bunch);
    bound(bunch, b, "part./bunch", "Part/Bunch", QStringLiteral("10^8"),
          QStringLiteral("number of particles per micro bunch"));
    bound(bunch, b, "bunch length :", "BunchDuration", QStringLiteral("f-sec"),
          QStringLiteral("effective micro bunch length"));
    bound(bunch, b, "peak current", "PeakCurrent", QStringLiteral("A"),
          QStringLiteral("micro bunch current"));
    bound(bunch, b, "bunch length", "BunchLength", QStringLiteral("mm"),
          QStringLiteral("micro bunch length"));
    left->addWidget(bunch);
    left->addStretch(1);

    // Selection panel.
    auto* sel = new QWidget(this);
    sel->setObjectName(QStringLiteral("PnlSelect"));
    auto* sl = new QVBoxLayout(sel);
    auto* head = new QHBoxLayout;
    head->addWidget(form::label(sel, QStringLiteral("select source configuration")));
    head->addStretch(1);
    QPushButton* newConf = form::button(sel, "bbNew", QStringLiteral("new configuration"),
                                        QStringLiteral("add a new configuration"));
    head->addWidget(newConf);
    sl->addLayout(head);
    DBNavigator1 = new DBNavigator(t, run, sel, "DBNavigator1");
    DBNavigator1->setToolTip(QStringLiteral("navigate configurations"));
    sl->addWidget(DBNavigator1);
    SPGrid = new DBGrid(t, run, sel, "SPGrid");
    SPGrid->clearColumns();
    const std::pair<const char*, const char*> cols[] = {
        {"Name", "Name"},           {"Energy", "E"},         {"Part/Bunch", "N_bn"},
        {"PulseDuration", "T_pls"}, {"PulseRepRate", "pps"}, {"Bunches/Pulse", "N_bn/pls"},
        {"BunchDuration", "T_bn"},  {"BunchSepar", "T_sep"}, {"PartDistribution", "distr"},
        {"PulseCurrent", "I_pls"},  {"PeakCurrent", "I_pk"}, {"AvgCurrent", "I_avg"},
        {"BunchLength", "l_bn"},    {"gamma", "\u03b3"},
    };
    for (const auto& [f, title] : cols) SPGrid->addColumn(QString::fromLatin1(f), QString::fromUtf8(title));
    SPGrid->setMinimumSize(560, 200);
    sl->addWidget(SPGrid, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* accept = form::button(sel, "bbAccept", QStringLiteral("accept"),
                                       QStringLiteral("accept new/old configuration and calculate"));
    QPushButton* closeB = form::button(sel, "bbClose", QStringLiteral("accept and &close"));
    QPushButton* help = form::button(sel, "bbHelp", QStringLiteral("help"), QStringLiteral("show help"));
    buttons->addWidget(accept);
    buttons->addWidget(closeB);
    buttons->addStretch(1);
    buttons->addWidget(help);
    sl->addLayout(buttons);

    SBHelp = new QPlainTextEdit(sel);
    SBHelp->setObjectName(QStringLiteral("SBHelp"));
    SBHelp->setReadOnly(true);
    QStringList lines;
    for (const char* l : kHelp) lines << QString::fromLatin1(l);
    SBHelp->setPlainText(lines.join(QLatin1Char('\n')));
    SBHelp->setMinimumHeight(180);
    SBHelp->hide();
    SBHelp->viewport()->installEventFilter(this);
    sl->addWidget(SBHelp);
    top->addWidget(sel, 1);

    connectAction(accept, &QPushButton::clicked, [this] { bbAcceptClick(); });
    connectAction(closeB, &QPushButton::clicked, [this] { bbCloseClick(); });
    connectAction(newConf, &QPushButton::clicked, [this] { bbNewClick(); });
    connectAction(help, &QPushButton::clicked, [this] { bbHelpClick(); });
}

bool TfSPBeam::eventFilter(QObject* o, QEvent* e) {
    if (o == SBHelp->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        act([this] { SBHelpDblClick(); });
        return true;
    }
    return ToolWindow::eventFilter(o, e);
}

void TfSPBeam::formActivate() {
    ctx_.module->CircBeam->postPending();
    ctx_.module->CircBeam->close();
    ctx_.module->SnglBeam->open();
}

void TfSPBeam::Accept() {
    Table& t = *ctx_.module->SnglBeam;
    if (!t.isOpen()) formActivate();
    if (!t.hasCurrent()) throw InputError("There is no beam configuration to accept: add one first.");
    // What the user typed counts: a pending edit is posted before the beam is calculated.
    if (t.editing()) t.post();
    t.edit();
    t.post();
    requireUsableRecord(t);
    if (ctx_.beamAccepted) ctx_.beamAccepted(true);
}

void TfSPBeam::bbAcceptClick() { Accept(); }

void TfSPBeam::bbCloseClick() {
    Accept();
    close();
}

void TfSPBeam::bbNewClick() {
    Table& t = *ctx_.module->SnglBeam;
    if (!t.isOpen()) formActivate();
    t.insert();
}

void TfSPBeam::bbHelpClick() { SBHelp->show(); }
void TfSPBeam::SBHelpDblClick() { SBHelp->hide(); }

}  // namespace lumerad
