// lumerad-cli: the calculations of Lumerad without a window.
//
//   lumerad-cli [common options] SUBCOMMAND [options]
//
// The common options (--catalogue, --data, --json, --csv) may stand before or after the
// subcommand; the subcommand's own options follow it. Exit status: 0 success, 2 bad input,
// an unknown name or a refused calculation, 1 a catalogue or file that cannot be used.
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>

#include "cli/dispatch.h"
#include "core/numerics/errors.h"

#ifndef LUMERAD_VERSION
#define LUMERAD_VERSION "0"
#endif

namespace lumerad::cli {

namespace {

void print(FILE* to, const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), to);
    std::fflush(to);
}

std::string programHelp() {
    std::string s =
        "Usage: lumerad-cli [common options] SUBCOMMAND [options]\n"
        "The calculations of Lumerad from the command line, on the same catalogue.\n\nSubcommands:\n";
    int w = 0;
    for (const Command& c : commands()) w = std::max(w, int(c.name.size()));
    for (const Command& c : commands())
        s += "  " + c.name.leftJustified(w + 2).toStdString() + c.summary.toStdString() + "\n";
    s += "\nCommon options (before or after the subcommand):\n";
    for (const Option& o : commonOptions()) {
        QStringList names;
        for (const QString& n : o.name.split(QLatin1Char(',')))
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        const QString shown = names.join(QStringLiteral(", ")) + QLatin1Char(' ') + o.valueName;
        s += "  " + shown.leftJustified(18).toStdString() + o.description.toStdString() + "\n";
    }
    s += "`lumerad-cli SUBCOMMAND --help` shows the options of a subcommand.\n"
         "\nExit status: 0 success, 2 bad input, unknown name or refused calculation, 1 catalogue or file "
         "fault.\n";
    return s;
}

// The subcommand: the first argument that is neither an option nor the value of a common
// option (or --set) that takes one.
int findCommand(const QStringList& args) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto takesValue = [&a](const Option& o) {
            return !o.valueName.isEmpty() && a == QStringLiteral("--") + o.name;
        };
        if (std::any_of(commonOptions().begin(), commonOptions().end(), takesValue) ||
            takesValue(setOption())) {
            ++i;
            continue;
        }
        if (a == QLatin1String("--")) return i + 1 < args.size() ? i + 1 : -1;
        if (!a.startsWith(QLatin1Char('-'))) return i;
    }
    return -1;
}

int run(const QStringList& args) {
    const int at = findCommand(args);
    if (at < 0) {
        // no subcommand: the program's help or version
        if (args.contains(QStringLiteral("--version"))) {
            print(stdout, "lumerad-cli " LUMERAD_VERSION "\n");
            return kOk;
        }
        const bool help = args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
        print(help ? stdout : stderr, programHelp());
        return help ? kOk : kBadInput;
    }
    const Command& cmd = commandNamed(args[at]);
    QCommandLineParser parser;
    QStringList rest = args;
    rest.removeAt(at);
    parseCommand(parser, cmd, rest);
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, commandHelp(parser, cmd));
        return kOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        print(stdout, "lumerad-cli " LUMERAD_VERSION "\n");
        return kOk;
    }
    const Report report = runCommand(parser, cmd);
    const OutputFormat f = parser.isSet(QStringLiteral("json"))  ? OutputFormat::Json
                           : parser.isSet(QStringLiteral("csv")) ? OutputFormat::Csv
                                                                 : OutputFormat::Table;
    print(stdout, formatReport(report, f));
    return kOk;
}

}  // namespace
}  // namespace lumerad::cli

int main(int argc, char** argv) {
    using namespace lumerad;
    QCoreApplication app(argc, argv);
    // Qt has just set the C library's locale from the environment: numbers are never read or
    // written in the user's language, so the numeric part goes back to "C".
    std::setlocale(LC_NUMERIC, "C");
    // the same application name as the program, so the default catalogue is the same file
    QCoreApplication::setApplicationName(QStringLiteral("Lumerad"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMERAD_VERSION));
    try {
        clearFloatFaults();
        return cli::run(QCoreApplication::arguments());
    } catch (const cli::CliError& e) {
        std::fprintf(stderr, "lumerad-cli: %s\n", e.what());
        return e.status();
    } catch (const InputError& e) {
        std::fprintf(stderr, "lumerad-cli: %s\n", e.what());
        return cli::kBadInput;
    } catch (const FloatError& e) {
        std::fprintf(stderr, "lumerad-cli: %s\n", e.what());
        return cli::kBadInput;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumerad-cli: internal error: %s\n", e.what());
        return cli::kFileFault;
    }
}
