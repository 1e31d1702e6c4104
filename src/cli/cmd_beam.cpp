// lumerad-cli beam NAME: the fields and derived quantities of a beam record, as the beam
// editor shows them (circulating beams first, then single-pass beams).
#include <cmath>

#include "cli/command.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

struct Row {
    const char* field;
    const char* label;      // the editor's caption
    const char* shownUnit;  // the editor's unit label
    const char* unit;       // unit of the value
    double toUnit;          // record value -> value (0: a text field)
};

// The rows of the circulating-beam editor, in its order.
const Row kCircRows[] = {
    {"SR", "configuration name", "", "", 0},
    {"Energy", "energy", "GeV", "eV", 1e9},
    {"Cur", "current", "mA", "A", 1e-3},
    {"Eps_x", "emittance_x", "n-m", "m rad", 1e-9},
    {"Eps_y", "emittance_y", "n-m", "m rad", 1e-9},
    {"Coupl", "coupling", "%", "%", 1},
    {"DE/E", "sigmaE/E", "%", "%", 1},
    {"Beta_x", "beta_x", "m", "m", 1},
    {"Beta_y", "beta_y", "m", "m", 1},
    {"Alpha_x", "alpha_x", "", "", 1},
    {"Alpha_y", "alpha_y", "", "", 1},
    {"Eta_x", "eta_x", "m", "m", 1},
    {"Eta_y", "eta_y", "m", "m", 1},
    {"Etap_x", "eta'_x", "", "", 1},
    {"Etap_y", "eta'_y", "", "", 1},
    {"Gamma", "gamma", "", "", 1},
    {"Sig_xb", "sigma_x", "\u00b5m", "m", 1e-6},
    {"Sig_yb", "sigma_y", "\u00b5m", "m", 1e-6},
    {"Sig_xp", "sigma_x'", "\u00b5rad", "rad", 1e-6},
    {"Sig_yp", "sigma_y'", "\u00b5rad", "rad", 1e-6},
};

// The rows of the single-pass editor, in its order.
const Row kSingleRows[] = {
    {"Name", "configuration name", "", "", 0},
    {"Energy", "energy", "MeV", "eV", 1e6},
    {"gamma", "gamma", "", "", 1},
    {"AvgCurrent", "avg.current", "nA", "A", 1e-9},
    {"PulseDuration", "pulse length", "n-sec", "s", 1e-9},
    {"PulseRepRate", "pulse rep rate", "Hz", "Hz", 1},
    {"Bunches/Pulse", "bunches/pulse", "", "", 1},
    {"BunchSepar", "bunch separ.", "p-sec", "s", 1e-12},
    {"PulseCurrent", "pulse current", "mA", "A", 1e-3},
    {"Part/Bunch", "part./bunch", "10^8", "", 1e8},
    {"BunchDuration", "bunch length :", "f-sec", "s", 1e-15},
    {"PeakCurrent", "peak current", "A", "A", 1},
    {"BunchLength", "bunch length", "mm", "m", 1e-3},
};

bool hasRecord(Table& t, const QString& nameField, const QString& name) {
    if (!t.isOpen()) t.open();
    const int f = t.fieldIndex(nameField);
    for (int r = 0; r < t.rowCount(); ++r)
        if (t.displayText(r, f).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

int runBeam(Context& ctx) {
    const QStringList pos = ctx.positional();
    if (pos.size() != 1) throw CliError(kBadInput, "name one beam: lumerad-cli beam NAME");
    const QString name = pos[0];
    TSRModule& m = ctx.catalogue();
    const bool circulating = hasRecord(*m.CircBeam, QStringLiteral("SR"), name) ||
                             !hasRecord(*m.SnglBeam, QStringLiteral("Name"), name);
    if (circulating) {
        if (!hasRecord(*m.CircBeam, QStringLiteral("SR"), name)) {
            std::string list;
            for (Table* t : {m.CircBeam, m.SnglBeam}) {
                const int f = t->fieldIndex(t == m.CircBeam ? QStringLiteral("SR") : QStringLiteral("Name"));
                for (int r = 0; r < t->rowCount(); ++r) list += "\n  " + t->displayText(r, f).toStdString();
            }
            throw CliError(kBadInput, "there is no beam named \"" + name.toStdString() +
                                          "\"; the beams of the catalogue are:" + list);
        }
        ctx.selectBeam(BeamKind::Circulating, name);
    } else {
        ctx.selectBeam(BeamKind::SinglePass, name);
    }
    ctx.checkSetFields();
    ctx.report.input("beam", name.toStdString());
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());
    Table& t = circulating ? *m.CircBeam : *m.SnglBeam;
    for (const Row& r : circulating ? std::vector<Row>(std::begin(kCircRows), std::end(kCircRows))
                                    : std::vector<Row>(std::begin(kSingleRows), std::end(kSingleRows))) {
        const QString f = QString::fromLatin1(r.field);
        ResultField out;
        out.name = r.field;
        out.label = r.label;
        out.unit = r.unit;
        out.shownUnit = r.shownUnit;
        out.text = t.displayText(f).toStdString();
        out.value = (r.toUnit == 0 || t.isNull(f)) ? std::nan("") : t.asNumber(f) * r.toUnit;
        ctx.report.results.push_back(out);
    }
    return kOk;
}

}  // namespace

Command beamCommand() {
    return {"beam",
            "NAME [--set FIELD=VALUE ...]",
            "the fields and derived quantities of a beam record, as the beam editor shows them",
            BeamKind::None,
            nullptr,
            true,
            "The name of the beam.",
            {},
            runBeam};
}

}  // namespace lumerad::cli
