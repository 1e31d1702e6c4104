// lumerad-cli lines --beam NAME --source NAME [--from-harmonic I --to-harmonic J --quantity Q
// --bandwidth PERCENT]: the line spectrum window's list of harmonics, after the undulator
// calculation.
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/numerics/units.h"
#include "core/sources/undulator.h"
#include "core/spectra/undulator_lines.h"

namespace lumerad::cli {

UndulatorResult runUndulatorCalculation(Context& ctx, const UndulatorInputs& in);

namespace {

const InputOption<LineListInputs> kInputs[] = {
    {"from-harmonic", &LineListInputs::fharm, "I", "First harmonic (odd, 1 to 29)."},
    {"to-harmonic", &LineListInputs::toharm, "J", "Last harmonic (odd, 1 to 29)."},
    {"bandwidth", &LineListInputs::BW, "PERCENT", "Band width in %."},
};

}  // namespace

// The quantity by its item number or short name.
int lineQuantityOption(const QString& q) {
    return chooseQuantity(q, {"angular-flux", "flux", "flux-density", "brightness"}, lineQuantityItem);
}

// The options of the list: its inputs with the quantity before the band width.
std::vector<Option> lineListOptions() {
    std::vector<Option> o = inputOptions(kInputs);
    o.insert(o.begin() + 2,
             {"quantity", "Q", "The quantity: 0 angular-flux, 1 flux, 2 flux-density, 3 brightness.",
              std::to_string(LineListInputs().quantity)});
    return o;
}

// The undulator calculation for harmonic 1 and the list, as "line spectrum" runs them. A
// refused harmonic range ends the run with its message.
LineListState runLineList(Context& ctx, LineListResult& r) {
    LineListInputs in;
    in.quantity = lineQuantityOption(ctx.args.value(QStringLiteral("quantity")));
    runUndulatorCalculation(ctx, UndulatorInputs());
    readInputs(ctx, kInputs, in);
    ctx.report.input("quantity", std::to_string(in.quantity));
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
        const double v[5] = {double(i), list.eps[i], metersToAngstrom(list.lambda[i]),
                             fractionToPercent(list.w[i]), list.F[i]};
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
    return {"lines",
            "--beam NAME --source NAME [--from-harmonic I --to-harmonic J --quantity Q --bandwidth PERCENT]",
            "the undulator line spectrum: the odd harmonics with energy, width and flux",
            BeamKind::Circulating,
            "undulator",
            true,
            nullptr,
            lineListOptions(),
            runLines};
}

}  // namespace lumerad::cli
