// lumerad-cli beams: the circulating and the single-pass beams of the catalogue.
#include "cli/command.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

int runBeams(Context& ctx) {
    TSRModule& m = ctx.catalogue();
    Column name{"name", "", false, {}, {}}, kind{"kind", "", false, {}, {}};
    Column energy{"energy", "eV", true, {}, {}, true}, current{"current", "A", true, {}, {}, true};
    // energy and current as the editors show them, with their units; the numbers in eV and A
    auto add = [&](Table& t, const char* nameField, const char* k, double eV, const char* eUnit,
                   const char* curField, double amps, const char* cUnit) {
        if (!t.isOpen()) t.open();
        const int n = t.fieldIndex(QString::fromLatin1(nameField)),
                  e = t.fieldIndex(QStringLiteral("Energy")), c = t.fieldIndex(QString::fromLatin1(curField));
        for (int r = 0; r < t.rowCount(); ++r) {
            name.texts.push_back(t.displayText(r, n).toStdString());
            kind.texts.push_back(k);
            const Record& rec = t.row(r);
            energy.values.push_back(rec.number(QStringLiteral("Energy")) * eV);
            energy.texts.push_back(t.displayText(r, e).toStdString() + " " + eUnit);
            current.values.push_back(rec.number(QString::fromLatin1(curField)) * amps);
            current.texts.push_back(t.displayText(r, c).toStdString() + " " + cUnit);
        }
    };
    add(*m.CircBeam, "SR", "circulating", 1e9, "GeV", "Cur", 1e-3, "mA");
    add(*m.SnglBeam, "Name", "single-pass", 1e6, "MeV", "AvgCurrent", 1e-9, "nA");
    ctx.report.columns = {name, kind, energy, current};
    return kOk;
}

}  // namespace

Command beamsCommand() {
    Command c;
    c.name = QStringLiteral("beams");
    c.summary =
        QStringLiteral("list the circulating and the single-pass beams (name, kind, energy, current)");
    c.run = runBeams;
    return c;
}

}  // namespace lumerad::cli
