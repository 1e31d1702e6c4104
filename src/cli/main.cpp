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

#include "cli/command.h"
#include "cli/registry.h"
#include "core/numerics/errors.h"

#ifndef LUMERAD_VERSION
#define LUMERAD_VERSION "0"
#endif

namespace lumerad::cli {

#define LUMERAD_CLI_DECLARE(f) Command f();
LUMERAD_CLI_COMMANDS(LUMERAD_CLI_DECLARE)
#undef LUMERAD_CLI_DECLARE

const std::vector<Command>& commands() {
#define LUMERAD_CLI_ENTRY(f) f(),
    static const std::vector<Command> all = {LUMERAD_CLI_COMMANDS(LUMERAD_CLI_ENTRY)};
#undef LUMERAD_CLI_ENTRY
    return all;
}

namespace {

void print(FILE* to, const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), to);
    std::fflush(to);
}

// The options of every subcommand, before or after it; an option with two names lists them
// separated by a comma, the short one first.
const Option kCommonOptions[] = {
    {"catalogue", "FILE", "The catalogue (default: the program's own; a missing one is created)."},
    {"data", "FILE", "The table of tabulated functions (default: DATA.TXT as the program finds it)."},
    {"json", "", "Print one JSON object."},
    {"csv", "", "Print comma-separated columns with a header line."},
    {"h,help", "", "Show this help."},
    {"version", "", "Show the version."},
};
const Option kSetOption = {"set", "FIELD=VALUE",
                           "Overrides FIELD of the chosen beam or source record for this run only, by its "
                           "catalogue name (repeatable)."};

QCommandLineOption qtOption(const Option& o) {
    if (!o.defaultText) return QCommandLineOption(o.name.split(QLatin1Char(',')), o.description, o.valueName);
    // the default is the window's design text; the help shows it
    const QString text = QString::fromStdString(*o.defaultText);
    QCommandLineOption q(o.name, o.description + QStringLiteral(" Default: ") + text, o.valueName);
    q.setDefaultValue(text);
    return q;
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
    for (const Option& o : kCommonOptions) {
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
        if (std::any_of(std::begin(kCommonOptions), std::end(kCommonOptions), takesValue) ||
            takesValue(kSetOption)) {
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
    const QString name = args[at];
    const Command* cmd = nullptr;
    for (const Command& c : commands())
        if (c.name == name) cmd = &c;
    if (!cmd) {
        std::string list;
        for (const Command& c : commands()) list += " " + c.name.toStdString();
        throw CliError(kBadInput,
                       "unknown subcommand \"" + name.toStdString() + "\"; the subcommands are:" + list);
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& o : kCommonOptions) parser.addOption(qtOption(o));
    if (cmd->usesSet) parser.addOption(qtOption(kSetOption));
    static const char* const kBeams[] = {nullptr, "circulating", "single-pass"};
    if (cmd->beam != BeamKind::None)
        parser.addOption(qtOption({"beam", "NAME",
                                   QStringLiteral("The %1 beam (its name in the catalogue).")
                                       .arg(QLatin1String(kBeams[int(cmd->beam)]))}));
    if (cmd->source)
        parser.addOption(qtOption(
            {"source", "NAME",
             QStringLiteral("The %1 (its name in the catalogue).").arg(QLatin1String(cmd->source))}));
    if (cmd->positional)
        parser.addPositionalArgument(QStringLiteral("NAME"), QString::fromUtf8(cmd->positional));
    for (const Option& o : cmd->options) parser.addOption(qtOption(o));
    QStringList rest = args;
    rest.removeAt(at);
    if (!parser.parse(rest)) throw CliError(kBadInput, parser.errorText().toStdString());
    if (parser.isSet(QStringLiteral("help"))) {
        std::string help = parser.helpText().toStdString();
        // Qt's usage line names the program only; give the subcommand's own synopsis
        const auto eol = help.find('\n');
        help = "Usage: lumerad-cli " + cmd->name.toStdString() + " " + cmd->synopsis.toStdString() + "\n" +
               cmd->summary.toStdString() + "\n" + (eol == std::string::npos ? help : help.substr(eol + 1));
        print(stdout, help);
        return kOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        print(stdout, "lumerad-cli " LUMERAD_VERSION "\n");
        return kOk;
    }
    const int positionals = cmd->positional ? 1 : 0;
    if (parser.positionalArguments().size() > positionals)
        throw CliError(kBadInput, "unexpected argument \"" +
                                      parser.positionalArguments().value(positionals).toStdString() +
                                      "\" (a text with spaces needs quotes)");
    if (parser.isSet(QStringLiteral("json")) && parser.isSet(QStringLiteral("csv")))
        throw CliError(kBadInput, "choose one of --json and --csv");

    Context ctx(parser, *cmd);
    const int status = cmd->run(ctx);
    if (status == kOk) {
        const OutputFormat f = parser.isSet(QStringLiteral("json"))  ? OutputFormat::Json
                               : parser.isSet(QStringLiteral("csv")) ? OutputFormat::Csv
                                                                     : OutputFormat::Table;
        print(stdout, formatReport(ctx.report, f));
    }
    return status;
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
