// lumerad-cli tune --beam NAME --source NAME --scan K|gap [...]: the tuning scans of the line
// spectrum window, one curve of 101 points per listed harmonic; --output writes the tuning-scan
// file as the window does.
#include <QFileInfo>

#include "store/table.h"
#include "store/tsr_module.h"
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/spectra/undulator_lines.h"

namespace lumerad::cli {

void addLineListOptions(QCommandLineParser& p);
LineListState runLineList(Context& ctx, LineListResult& r);
int lineQuantityOption(const QString& q);

namespace {

Column numbers(const std::string& name, const std::string& unit, const std::vector<double>& v) {
    Column c{name, unit, true, v, {}};
    for (double x : v) c.texts.push_back(dataField(x));  // as in the tuning-scan file
    return c;
}

int runTune(Context& ctx) {
    const QString scan = ctx.args.value(QStringLiteral("scan")), vs = ctx.args.value(QStringLiteral("vs"));
    TuningScanInputs in;
    if (scan.compare(QStringLiteral("K"), Qt::CaseInsensitive) == 0)
        in.kind = ScanKind::K;
    else if (scan.compare(QStringLiteral("gap"), Qt::CaseInsensitive) == 0)
        in.kind = ScanKind::Gap;
    else
        throw CliError(kBadInput, "unknown scan \"" + scan.toStdString() + "\"; the scans are K and gap");
    if (vs.compare(QStringLiteral("photon-energy"), Qt::CaseInsensitive) == 0)
        in.abscissa = ScanAbscissa::PhotonEnergy;
    else if (vs.compare(QStringLiteral("K"), Qt::CaseInsensitive) == 0)
        in.abscissa = ScanAbscissa::K;
    else if (vs.compare(QStringLiteral("gap"), Qt::CaseInsensitive) == 0)
        in.abscissa = ScanAbscissa::Gap;
    else
        throw CliError(kBadInput,
                       "unknown abscissa \"" + vs.toStdString() + "\"; choose photon-energy, K or gap");

    LineListResult lr;
    const LineListState list = runLineList(ctx, lr);
    // The gap range defaults to the source's own; a source without one gets 5 to 50 mm.
    const Table& src = *ctx.catalogue().InsDevice;
    auto gapText = [&](const char* option, const char* field, const std::string& fallback) {
        if (ctx.args.isSet(QString::fromLatin1(option))) return ctx.text(QString::fromLatin1(option));
        const QString t = src.asText(QString::fromLatin1(field));
        return t.isEmpty() ? fallback : t.toStdString();
    };
    const TuningScanInputs design;
    in.edGapmin = gapText("gap-min", "Gap_mn", design.edGapmin);
    in.edGapmax = gapText("gap-max", "Gap_mx", design.edGapmax);
    in.edKmin = ctx.text(QStringLiteral("k-min"));
    in.edKmax = ctx.text(QStringLiteral("k-max"));
    in.quantity = lineQuantityOption(ctx.args.value(QStringLiteral("quantity")));
    Report& rep = ctx.report;
    rep.input("scan", in.kind == ScanKind::K ? "K" : "gap");
    rep.input("vs", vs.toStdString());
    if (in.kind == ScanKind::Gap) {
        rep.input("gap-min", in.edGapmin);
        rep.input("gap-max", in.edGapmax);
    } else {
        rep.input("k-min", in.edKmin);
        rep.input("k-max", in.edKmax);
    }
    Session& s = ctx.session;
    const TuningScanResult r = TuningScanCalculate(in, list, s.beam, s.magnet, s.RelBandWidth, ctx.messages);

    const QString output = ctx.args.value(QStringLiteral("output"));
    if (!output.isEmpty()) {
        rep.input("output", output.toStdString());
        DataFile file;
        if (!file.open(QFileInfo(output).absoluteFilePath().toStdString()))
            throw CliError(kFileFault, "the file " + output.toStdString() + " cannot be created");
        for (const TuningCurve& c : r.curves)
            for (size_t j = 0; j < c.x.size(); ++j) file.write(tuningFileLine(c.x[j], c.y[j]));
        if (!file.close()) throw CliError(kFileFault, "writing the file " + output.toStdString() + " failed");
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
    rep.columns.push_back(numbers(r.xCaption, xUnit, x));
    rep.columns.push_back(numbers(r.yCaption.empty() ? "value" : r.yCaption, "", y));
    return kOk;
}

}  // namespace

Command tuneCommand() {
    Command c;
    c.name = QStringLiteral("tune");
    c.synopsis = QStringLiteral(
        "--beam NAME --source NAME --scan K|gap [--k-min --k-max | --gap-min --gap-max] [--vs "
        "photon-energy|K|gap] "
        "[--from-harmonic I --to-harmonic J --quantity Q --bandwidth PERCENT] [--output FILE]");
    c.summary = QStringLiteral(
        "tuning curves of a permanent-magnet undulator over K or gap (or the file with --output)");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        const TuningScanInputs design;
        addLineListOptions(p);
        p.addOption(valueOption(QStringLiteral("scan"), QStringLiteral("What is varied: K or gap."),
                                QStringLiteral("K|gap"), QStringLiteral("gap")));
        p.addOption(valueOption(QStringLiteral("k-min"), QStringLiteral("Smallest K of a K scan."),
                                QStringLiteral("K"), QString::fromStdString(design.edKmin)));
        p.addOption(valueOption(QStringLiteral("k-max"), QStringLiteral("Largest K of a K scan."),
                                QStringLiteral("K"), QString::fromStdString(design.edKmax)));
        p.addOption(valueOption(QStringLiteral("gap-min"),
                                QStringLiteral("Smallest gap of a gap scan in mm (default: the source's)."),
                                QStringLiteral("MM")));
        p.addOption(valueOption(QStringLiteral("gap-max"),
                                QStringLiteral("Largest gap of a gap scan in mm (default: the source's)."),
                                QStringLiteral("MM")));
        p.addOption(valueOption(QStringLiteral("vs"),
                                QStringLiteral("The abscissa: photon-energy, K or gap."), QStringLiteral("X"),
                                QStringLiteral("photon-energy")));
        p.addOption(valueOption(QStringLiteral("output"),
                                QStringLiteral("Also write the tuning-scan file as the window writes it."),
                                QStringLiteral("FILE")));
    };
    c.run = runTune;
    return c;
}

}  // namespace lumerad::cli
