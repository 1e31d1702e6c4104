// The subcommands as a library: the registry, the options every subcommand takes, parsing a
// subcommand's arguments and running it into its report. lumerad-cli prints the report; the
// Python module turns it into Python objects.
#include "cli/dispatch.h"

#include "cli/registry.h"

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

const std::vector<Option>& commonOptions() {
    static const std::vector<Option> all = {
        {"catalogue", "FILE", "The catalogue (default: the program's own; a missing one is created)."},
        {"data", "FILE", "The table of tabulated functions (default: DATA.TXT as the program finds it)."},
        {"json", "", "Print one JSON object."},
        {"csv", "", "Print comma-separated columns with a header line."},
        {"h,help", "", "Show this help."},
        {"version", "", "Show the version."},
    };
    return all;
}

const Option& setOption() {
    static const Option set = {
        "set", "FIELD=VALUE",
        "Overrides FIELD of the chosen beam or source record for this run only, by its "
        "catalogue name (repeatable)."};
    return set;
}

namespace {

QCommandLineOption qtOption(const Option& o) {
    if (!o.defaultText) return QCommandLineOption(o.name.split(QLatin1Char(',')), o.description, o.valueName);
    // the default is the window's design text; the help shows it
    const QString text = QString::fromStdString(*o.defaultText);
    QCommandLineOption q(o.name, o.description + QStringLiteral(" Default: ") + text, o.valueName);
    q.setDefaultValue(text);
    return q;
}

}  // namespace

std::vector<Option> commandOptions(const Command& cmd) {
    std::vector<Option> out = commonOptions();
    if (cmd.usesSet) out.push_back(setOption());
    static const char* const kBeams[] = {nullptr, "circulating", "single-pass"};
    if (cmd.beam != BeamKind::None)
        out.push_back({"beam", "NAME",
                       QStringLiteral("The %1 beam (its name in the catalogue).")
                           .arg(QLatin1String(kBeams[int(cmd.beam)]))});
    if (cmd.source)
        out.push_back({"source", "NAME",
                       QStringLiteral("The %1 (its name in the catalogue).").arg(QLatin1String(cmd.source))});
    out.insert(out.end(), cmd.options.begin(), cmd.options.end());
    return out;
}

const Command& commandNamed(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name) return c;
    std::string list;
    for (const Command& c : commands()) list += " " + c.name.toStdString();
    throw CliError(kBadInput,
                   "unknown subcommand \"" + name.toStdString() + "\"; the subcommands are:" + list);
}

void parseCommand(QCommandLineParser& parser, const Command& cmd, const QStringList& args) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& o : commandOptions(cmd)) parser.addOption(qtOption(o));
    if (cmd.positional)
        parser.addPositionalArgument(QStringLiteral("NAME"), QString::fromUtf8(cmd.positional));
    if (!parser.parse(args)) throw CliError(kBadInput, parser.errorText().toStdString());
}

std::string commandHelp(QCommandLineParser& parser, const Command& cmd) {
    std::string help = parser.helpText().toStdString();
    // Qt's usage line names the program only; give the subcommand's own synopsis
    const auto eol = help.find('\n');
    return "Usage: lumerad-cli " + cmd.name.toStdString() + " " + cmd.synopsis.toStdString() + "\n" +
           cmd.summary.toStdString() + "\n" + (eol == std::string::npos ? help : help.substr(eol + 1));
}

Report runCommand(QCommandLineParser& parser, const Command& cmd) {
    const int positionals = cmd.positional ? 1 : 0;
    if (parser.positionalArguments().size() > positionals)
        throw CliError(kBadInput, "unexpected argument \"" +
                                      parser.positionalArguments().value(positionals).toStdString() +
                                      "\" (a text with spaces needs quotes)");
    if (parser.isSet(QStringLiteral("json")) && parser.isSet(QStringLiteral("csv")))
        throw CliError(kBadInput, "choose one of --json and --csv");
    Context ctx(parser, cmd);
    const int status = cmd.run(ctx);
    if (status != kOk) throw CliError(status, "the subcommand " + cmd.name.toStdString() + " failed");
    return std::move(ctx.report);
}

}  // namespace lumerad::cli
