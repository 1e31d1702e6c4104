// lumerad-cli tune --beam NAME --source NAME --scan K|gap [...]: the tuning scans of the line
// spectrum window, one curve of 101 points per listed harmonic; --output writes the tuning-scan
// file as the window does.
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/spectra/undulator_lines.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

std::vector<Option> lineListOptions();
LineListState runLineList(Context& ctx, LineListResult& r);
int lineQuantityOption(const QString& q);

namespace {

// The range of each scan; the gap range defaults to the source's own.
const InputOption<TuningScanInputs> kKRange[] = {
    {"k-min", &TuningScanInputs::edKmin, "K", "Smallest K of a K scan."},
    {"k-max", &TuningScanInputs::edKmax, "K", "Largest K of a K scan."},
};
const InputOption<TuningScanInputs> kGapRange[] = {
    {"gap-min", &TuningScanInputs::edGapmin, "MM",
     "Smallest gap of a gap scan in mm (default: the source's).", false},
    {"gap-max", &TuningScanInputs::edGapmax, "MM", "Largest gap of a gap scan in mm (default: the source's).",
     false},
};

int runTune(Context& ctx) {
    const QString scan = ctx.args.value(QStringLiteral("scan")), vs = ctx.args.value(QStringLiteral("vs"));
    TuningScanInputs in;
    in.kind = ScanKind(choose(scan, {"gap", "K"}, "scan", "the scans are K and gap"));
    in.abscissa =
        ScanAbscissa(choose(vs, {"photon-energy", "K", "gap"}, "abscissa", "choose photon-energy, K or gap"));

    LineListResult lr;
    const LineListState list = runLineList(ctx, lr);
    // a source without a gap range keeps the design range
    const Table& src = *ctx.catalogue().InsDevice;
    for (const auto& [field, text] : {std::pair(&in.edGapmin, src.asText(QStringLiteral("Gap_mn"))),
                                      std::pair(&in.edGapmax, src.asText(QStringLiteral("Gap_mx")))})
        if (!text.isEmpty()) *field = text.toStdString();
    in.quantity = lineQuantityOption(ctx.args.value(QStringLiteral("quantity")));
    Report& rep = ctx.report;
    rep.input("scan", in.kind == ScanKind::K ? "K" : "gap");
    rep.input("vs", vs.toStdString());
    readInputs(ctx, in.kind == ScanKind::Gap ? kGapRange : kKRange, in);
    Session& s = ctx.session;
    const TuningScanResult r = TuningScanCalculate(in, list, s.beam, s.magnet, s.RelBandWidth, ctx.messages);

    if (!ctx.text(QStringLiteral("output")).empty()) {
        std::vector<std::string> lines;
        for (const TuningCurve& c : r.curves)
            for (size_t j = 0; j < c.x.size(); ++j) lines.push_back(tuningFileLine(c.x[j], c.y[j]));
        writeOutput(ctx, lines);
    }

    std::vector<double> h, x, y;
    for (const TuningCurve& c : r.curves)
        for (size_t j = 0; j < c.x.size(); ++j) {
            h.push_back(c.harmonic);
            x.push_back(c.x[j]);
            y.push_back(c.y[j]);
        }
    Column harmonic{"harmonic", "", true, h, {}};
    for (double v : h) harmonic.texts.push_back(std::to_string(int(v)));
    rep.columns.push_back(std::move(harmonic));
    const char* xUnit = in.abscissa == ScanAbscissa::PhotonEnergy ? "eV"
                        : in.abscissa == ScanAbscissa::Gap        ? "mm"
                                                                  : "";
    rep.columns.push_back(dataColumn(r.xCaption, xUnit, x));  // as in the tuning-scan file
    rep.columns.push_back(dataColumn(r.yCaption.empty() ? "value" : r.yCaption, "", y));
    return kOk;
}

}  // namespace

Command tuneCommand() {
    std::vector<Option> options = lineListOptions();
    options.push_back({"scan", "K|gap", "What is varied: K or gap.", "gap"});
    for (const std::vector<Option>& range : {inputOptions(kKRange), inputOptions(kGapRange)})
        options.insert(options.end(), range.begin(), range.end());
    options.push_back({"vs", "X", "The abscissa: photon-energy, K or gap.", "photon-energy"});
    options.push_back(outputOption("Also write the tuning-scan file as the window writes it."));
    return {"tune",
            "--beam NAME --source NAME --scan K|gap [--k-min --k-max | --gap-min --gap-max] [--vs "
            "photon-energy|K|gap] [--from-harmonic I --to-harmonic J --quantity Q --bandwidth PERCENT] "
            "[--output FILE]",
            "tuning curves of a permanent-magnet undulator over K or gap (or the file with --output)",
            BeamKind::Circulating,
            "undulator",
            true,
            nullptr,
            options,
            runTune};
}

}  // namespace lumerad::cli
