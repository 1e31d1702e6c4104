#include "windows/catalogue/circ_beam_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/form_builder.h"

namespace lumerad {

namespace {

const char* const kHelp[] = {
    "Circulating Beam Parameters:",
    "(double click this form to close!)",
    "Here you select or specify circulating beam parameters",
    "as you may find in synchrotrons and storage rings. They",
    "may be from existing facilities or design values. You may",
    "edit values either in the selection grid or in the editing",
    "box. The grid NAVIGATOR (on bottom of grid) lets you add,",
    "insert, delete beam configurations. See also \"hints\" for more",
    "details as you press a button.",
    "",
    "To define a new data set press \"+\" on the navigator panel;",
    "to delete a set select it and press \"-\";",
    "to edit an existing data set select it and press \"^\";",
    "to save an edit or new definition press 4th button from left",
    "on navigator;",
    "to cancel an edit press \"x\";",
    "and to refresh data from the data base press last button on",
    "navigator.",
    "",
    " ",
};

}  // namespace

TfCBeam::TfCBeam(AppContext& ctx, QWidget* parent)
    : BeamEditor(ctx, "TfCBeam", QStringLiteral("Circulating Beam Parameters"), false, parent) {
    auto* top = new QHBoxLayout(this);

    // Editing panel.
    QGroupBox* edit = form::group(this, QStringLiteral("define new e-beam configuration:"), "gbEdit");
    form::Rows rows(edit);
    const std::pair<const char*, const char*> fields[] = {
        {"configuration name", "SR"}, {"energy ", "Energy"},    {"current", "Cur"},
        {"emittance_x", "Eps_x"},     {"emittance_y", "Eps_y"}, {"coupling", "Coupl"},
        {"sigmaE/E", "DE/E"},         {"beta_x", "Beta_x"},     {"beta_y", "Beta_y"},
        {"alpha_x", "Alpha_x"},       {"alpha_y", "Alpha_y"},   {"eta_x", "Eta_x"},
        {"eta_y", "Eta_y"},           {"eta'_x", "Etap_x"},     {"eta'_y", "Etap_y"},
        {"gamma ", "Gamma"},          {"sigma_x", "Sig_xb"},    {"sigma_y", "Sig_yb"},
        {"sigma_x'", "Sig_xp"},       {"sigma_y'", "Sig_yp"},
    };
    const char* const units[] = {"",  "GeV", "mA",      "n-m",     "n-m",       "%",        "%",
                                 "m", "m",   "",        "",        "m",         "m",        "",
                                 "",  "",    "\u00b5m", "\u00b5m", "\u00b5rad", "\u00b5rad"};
    int i = 0;
    for (const auto& [label, field] : fields)
        addField(edit, rows, QString::fromUtf8(label), field, QString::fromUtf8(units[i++]));
    top->addWidget(edit);

    // Selection panel.
    auto* sel = new QWidget(this);
    sel->setObjectName(QStringLiteral("PnlSelect"));
    auto* sl = new QVBoxLayout(sel);
    sl->addWidget(form::label(sel, QStringLiteral("select source configuration")));
    auto* yesRow = new QHBoxLayout;
    yesRow->addWidget(form::label(sel, QStringLiteral("or add new one:")));
    yesRow->addWidget(makeNewButton(sel, "bbYes", QStringLiteral("&Yes")));
    yesRow->addStretch(1);
    sl->addLayout(yesRow);
    std::vector<std::pair<const char*, QString>> columns;
    for (const char* f :
         {"SR", "Energy", "Cur", "Eps_x", "Eps_y", "DE/E", "Beta_x", "Alpha_x", "Beta_y", "Alpha_y", "Eta_x",
          "Eta_y", "Sig_xb", "Sig_yb", "Sig_xp", "Sig_yp", "Sig_eta", "Gamma", "Coupl"})
        columns.emplace_back(f, QString::fromLatin1(f));
    sl->addWidget(makeGrid(sel, "SRings", columns, 260), 1);
    sl->addWidget(makeNavigator(sel));
    sl->addLayout(makeButtons(sel, QStringLiteral("accept "),
                              QStringLiteral("accept configuration and calculate"), "bbAccClose",
                              "bbCBHelp"));
    QStringList lines;
    for (const char* l : kHelp) lines << QString::fromLatin1(l);
    sl->addWidget(makeHelp(sel, "mCBHelp", lines, 200));
    top->addWidget(sel, 1);
}

}  // namespace lumerad
