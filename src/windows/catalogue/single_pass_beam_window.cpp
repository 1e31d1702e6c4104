#include "windows/catalogue/single_pass_beam_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

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

}  // namespace

TfSPBeam::TfSPBeam(AppContext& ctx, QWidget* parent)
    : BeamEditor(ctx, "TfSPBeam", QStringLiteral("Single Pass Beam Parameters"), true, parent) {
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    top->addLayout(left);

    auto* namePanel = new QWidget(this);
    form::Rows nameRows(namePanel);
    addField(namePanel, nameRows, QStringLiteral("configuration name"), "Name", {});
    left->addWidget(namePanel);

    QGroupBox* general = form::group(this, QStringLiteral("general parameters"), "gbGeneral");
    form::Rows g(general);
    addField(general, g, QStringLiteral("energy"), "Energy", QStringLiteral("MeV"),
             QStringLiteral("beam energy"));
    addField(general, g, QStringLiteral("gamma"), "gamma", {});
    addField(general, g, QStringLiteral("avg.current"), "AvgCurrent", QStringLiteral("nA"),
             QStringLiteral("average beam current over many pulses"));
    left->addWidget(general);

    QGroupBox* pulse = form::group(this, QStringLiteral("pulse properties :"), "gbPulse",
                                   QStringLiteral("macro pulse properties"));
    form::Rows p(pulse);
    addField(pulse, p, QStringLiteral("pulse length"), "PulseDuration", QStringLiteral("n-sec"),
             QStringLiteral("macro pulse length in n-sec"));
    addField(pulse, p, QStringLiteral("pulse rep rate"), "PulseRepRate", QStringLiteral("Hz"),
             QStringLiteral("pulse repetition rate"));
    addField(pulse, p, QStringLiteral("bunches/pulse"), "Bunches/Pulse", {},
             QStringLiteral("micro bunches per macro pulse"));
    addField(pulse, p, QStringLiteral("bunch separ. "), "BunchSepar", QStringLiteral("p-sec"),
             QStringLiteral("separation of micro bunches in p-sec"));
    addField(pulse, p, QStringLiteral("pulse current"), "PulseCurrent", QStringLiteral("mA"),
             QStringLiteral("macro pulse current"));
    left->addWidget(pulse);

    QGroupBox* bunch = form::group(this, QStringLiteral("bunch properties"), "gbBunch");
    form::Rows b(bunch);
    addField(bunch, b, QStringLiteral("part./bunch"), "Part/Bunch", QStringLiteral("10^8"),
             QStringLiteral("number of particles per micro bunch"));
    addField(bunch, b, QStringLiteral("bunch length :"), "BunchDuration", QStringLiteral("f-sec"),
             QStringLiteral("effective micro bunch length"));
    addField(bunch, b, QStringLiteral("peak current"), "PeakCurrent", QStringLiteral("A"),
             QStringLiteral("micro bunch current"));
    addField(bunch, b, QStringLiteral("bunch length"), "BunchLength", QStringLiteral("mm"),
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
    head->addWidget(makeNewButton(sel, "bbNew", QStringLiteral("new configuration")));
    sl->addLayout(head);
    sl->addWidget(makeNavigator(sel));
    const std::vector<std::pair<const char*, QString>> columns = {
        {"Name", QStringLiteral("Name")},
        {"Energy", QStringLiteral("E")},
        {"Part/Bunch", QStringLiteral("N_bn")},
        {"PulseDuration", QStringLiteral("T_pls")},
        {"PulseRepRate", QStringLiteral("pps")},
        {"Bunches/Pulse", QStringLiteral("N_bn/pls")},
        {"BunchDuration", QStringLiteral("T_bn")},
        {"BunchSepar", QStringLiteral("T_sep")},
        {"PartDistribution", QStringLiteral("distr")},
        {"PulseCurrent", QStringLiteral("I_pls")},
        {"PeakCurrent", QStringLiteral("I_pk")},
        {"AvgCurrent", QStringLiteral("I_avg")},
        {"BunchLength", QStringLiteral("l_bn")},
        {"gamma", QStringLiteral("\u03b3")},
    };
    sl->addWidget(makeGrid(sel, "SPGrid", columns, 200), 1);
    sl->addLayout(makeButtons(sel, QStringLiteral("accept"),
                              QStringLiteral("accept new/old configuration and calculate"), "bbClose",
                              "bbHelp"));
    QStringList lines;
    for (const char* l : kHelp) lines << QString::fromLatin1(l);
    sl->addWidget(makeHelp(sel, "SBHelp", lines, 180));
    top->addWidget(sel, 1);
}

}  // namespace lumerad
