#pragma once
// The subcommands of lumerad-cli.
//
// To add a subcommand NAME (say "wiggler"):
//   1. write src/cli/cmd_NAME.cpp with a function, in namespace lumerad::cli,
//          Command NAMECommand();   // e.g. Command wigglerCommand()
//      that returns the Command (command.h): its name, synopsis and summary, the records it
//      picks (beam: the kind of --beam NAME; source: what --source NAME names), whether it
//      takes --set, its options and the routine that runs it. The build takes every
//      src/cli/cmd_*.cpp (re-run cmake after adding the file).
//   2. add one line X(NAMECommand) to LUMERAD_CLI_COMMANDS below; the order is that of
//      `lumerad-cli --help`.
// The common options (--catalogue, --data, --json, --csv, --set) and --beam and --source come
// from main.cpp; a subcommand declares only its own. An option that fills a text of the
// window's inputs is a row of a table of InputOption<Inputs> (option -> field of the core's
// input struct): inputOptions(table) makes the options, their defaults the design texts of
// that struct, and readInputs(ctx, table, in) fills `in` and records the texts as inputs.
// The run calls ctx.selectRecords() to pick the beam and source (and apply --set), gets
// DATA.TXT with ctx.data(), calls the same core routines as the window with the same texts,
// and puts what the window shows into ctx.report: results as ResultFields (report.results),
// lists, spectra and scans as columns (report.columns; dataColumn for numbers written as the
// data files write them; writeOutput for the window's file). Information boxes go to
// ctx.messages (printed as notes on stderr). Throw InputError or FloatError (status 2) or
// CliError(status, text) for anything else; return kOk.
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
