// lumerad-cli lines --beam NAME --source NAME [--from-harmonic I --to-harmonic J --quantity Q
// --bandwidth PERCENT]: the line spectrum window's list of harmonics, after the undulator
// calculation.
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/sources/undulator.h"
#include "core/spectra/undulator_lines.h"

namespace lumerad::cli {

void addUndulatorSourceOptions(QCommandLineParser& p);
UndulatorResult runUndulatorCalculation(Context& ctx, const std::string& harm, const std::string& dist);

namespace {
const char* const kQuantityNames[] = {"angular-flux", "flux", "flux-density", "brightness"};
}  // namespace

// The quantity by its item number or short name.
int lineQuantityOption(const QString& q) {
    bool number = false;
    const int n = q.toInt(&number);
    if (number && n >= 0 && n < 4) return n;
    for (int i = 0; i < 4; ++i)
        if (q.compare(QString::fromLatin1(kQuantityNames[i]), Qt::CaseInsensitive) == 0) return i;
    std::string list;
    for (int i = 0; i < 4; ++i)
        list += "\n  " + std::to_string(i) + "  " + kQuantityNames[i] + "  (" + lineQuantityItem(i) + ")";
    throw CliError(kBadInput, "unknown quantity \"" + q.toStdString() + "\"; the quantities are:" + list);
}

void addLineListOptions(QCommandLineParser& p) {
    const LineListInputs design;
    addUndulatorSourceOptions(p);
    p.addOption(valueOption(QStringLiteral("from-harmonic"), QStringLiteral("First harmonic (odd, 1 to 29)."),
                            QStringLiteral("I"), QString::fromStdString(design.fharm)));
    p.addOption(valueOption(QStringLiteral("to-harmonic"), QStringLiteral("Last harmonic (odd, 1 to 29)."),
                            QStringLiteral("J"), QString::fromStdString(design.toharm)));
    p.addOption(
        valueOption(QStringLiteral("quantity"),
                    QStringLiteral("The quantity: 0 angular-flux, 1 flux, 2 flux-density, 3 brightness."),
                    QStringLiteral("Q"), QStringLiteral("0")));
    p.addOption(valueOption(QStringLiteral("bandwidth"), QStringLiteral("Band width in %."),
                            QStringLiteral("PERCENT"), QString::fromStdString(design.BW)));
}

// The undulator calculation for harmonic 1 and the list, as "line spectrum" runs them. A
// refused harmonic range ends the run with its message.
LineListState runLineList(Context& ctx, LineListResult& r) {
    const int quantity = lineQuantityOption(ctx.args.value(QStringLiteral("quantity")));
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());
    const UndulatorInputs undulator;
    runUndulatorCalculation(ctx, undulator.harm, undulator.edDist);
    LineListInputs in{ctx.text(QStringLiteral("bandwidth")), ctx.text(QStringLiteral("from-harmonic")),
                      ctx.text(QStringLiteral("to-harmonic")), quantity};
    ctx.report.input("from-harmonic", in.fharm);
    ctx.report.input("to-harmonic", in.toharm);
    ctx.report.input("quantity", std::to_string(quantity));
    ctx.report.input("bandwidth", in.BW);
    Session& s = ctx.session;
    LineListState list;
    RecordingMessages refusal;
    if (!LineListCalculate(in, s.beam, s.magnet, s.undulator, s.RelBandWidth, list, refusal, r))
        throw CliError(kBadInput, refusal.texts().empty() ? "refused" : refusal.texts().front());
    return list;
}

namespace {

int runLines(Context& ctx) {
    LineListResult r;
    const LineListState list = runLineList(ctx, r);
    Report& rep = ctx.report;
    rep.results = r.header;
    const int quantity = lineQuantityOption(ctx.args.value(QStringLiteral("quantity")));
    Column cols[5] = {{"i", "", true, {}, {}},
                      {"photon energy", "eV", true, {}, {}},
                      {"wavelength", "Å", true, {}, {}},
                      {"BW_eff", "%", true, {}, {}},
                      {lineQuantityItem(quantity), "", true, {}, {}}};
    const std::vector<int> h = list.harmonics();
    for (size_t k = 0; k < h.size(); ++k) {
        const int i = h[k];
        const double v[5] = {double(i), list.eps[i], list.lambda[i] * 1e10, list.w[i] * 100.0, list.F[i]};
        for (int c = 0; c < 5; ++c) {
            cols[c].values.push_back(v[c]);
            std::string t = r.rows[k][c];
            t.erase(0, t.find_first_not_of(' '));  // the list's cells, without their padding
            cols[c].texts.push_back(t);
        }
    }
    for (Column& c : cols) rep.columns.push_back(std::move(c));
    return kOk;
}

}  // namespace

Command linesCommand() {
    Command c;
    c.name = QStringLiteral("lines");
    c.synopsis = QStringLiteral(
        "--beam NAME --source NAME [--from-harmonic I --to-harmonic J --quantity Q --bandwidth PERCENT]");
    c.summary = QStringLiteral("the undulator line spectrum: the odd harmonics with energy, width and flux");
    c.usesSet = true;
    c.addOptions = addLineListOptions;
    c.run = runLines;
    return c;
}

}  // namespace lumerad::cli
