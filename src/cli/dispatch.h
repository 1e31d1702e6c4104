#pragma once
// Running a subcommand without the program around it: find it by name, parse its arguments
// (everything after the subcommand's name, behind a program name), run it into its report.
// Failures throw CliError, InputError or FloatError as the subcommands do.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "cli/command.h"

namespace lumerad::cli {

// The options of every subcommand (--catalogue, --data, --json, --csv, --help, --version) and
// --set; an option with two names lists them separated by a comma, the short one first.
const std::vector<Option>& commonOptions();
const Option& setOption();
// Every option `cmd` accepts: the common ones, --set, --beam, --source and its own.
std::vector<Option> commandOptions(const Command& cmd);
// The subcommand of that name; another name is refused with the list of the subcommands.
const Command& commandNamed(const QString& name);
// Adds the options of `cmd` to the parser and parses `args` (args[0] is the program's name);
// an unknown option or a missing value is refused.
void parseCommand(QCommandLineParser& parser, const Command& cmd, const QStringList& args);
// The --help text of the subcommand, its synopsis first.
std::string commandHelp(QCommandLineParser& parser, const Command& cmd);
// Checks the parsed arguments (no surplus positional argument, not both --json and --csv),
// runs the subcommand and returns what it answers.
Report runCommand(QCommandLineParser& parser, const Command& cmd);

}  // namespace lumerad::cli
