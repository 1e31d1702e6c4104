#pragma once
// The subcommands of lumerad-cli.
//
// To add a subcommand NAME (say "wiggler"):
//   1. write src/cli/cmd_NAME.cpp with a function, in namespace lumerad::cli,
//          Command NAMECommand();   // e.g. Command wigglerCommand()
//      that returns the Command (command.h): name, synopsis, summary, addOptions, run.
//      The build takes every src/cli/cmd_*.cpp (re-run cmake after adding the file).
//   2. add one line X(NAMECommand) to LUMERAD_CLI_COMMANDS below; the order is that of
//      `lumerad-cli --help`.
// A run reads its inputs with ctx.text(option) (options with the window's design text as
// default: valueOption), picks records with ctx.selectCircBeam / ctx.selectSinglePassBeam /
// ctx.selectSource (set usesSet for --set; a run without a source calls ctx.checkSetFields()),
// gets DATA.TXT with ctx.data(), calls the same core routines as the window with the same
// texts, records its inputs with ctx.report.input(name, text), and puts what the window shows
// into ctx.report: results as ResultFields (report.results), lists, spectra and scans as
// columns (report.columns; dataColumn for numbers written as the data files write them).
// Information boxes go to ctx.messages (printed as notes on stderr). Throw InputError or
// FloatError (status 2) or CliError(status, text) for anything else; return kOk.
#define LUMERAD_CLI_COMMANDS(X) \
    X(beamsCommand)             \
    X(sourcesCommand)           \
    X(beamCommand)              \
    X(bendCommand)              \
    X(spectrumCommand)          \
    X(wigglerCommand)           \
    X(functionCommand)          \
    X(undulatorCommand)         \
    X(fluxCommand)              \
    X(linesCommand)             \
    X(tuneCommand)              \
    X(spUndulatorCommand)       \
    X(trCommand)                \
    X(formFactorCommand)
