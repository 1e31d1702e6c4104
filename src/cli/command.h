#pragma once
// What every lumerad-cli subcommand is made of: its name and synopsis, the options it adds to
// the common ones, and the routine that runs it on a Context. The registry (registry.h) lists
// the subcommands; the program (main.cpp) parses the arguments and dispatches.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/report.h"
#include "core/numerics/messages.h"
#include "core/state/session.h"

namespace lumerad {
class TSRModule;
class Table;
}  // namespace lumerad

namespace lumerad::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFileFault = 1;  // a catalogue or file that cannot be used
inline constexpr int kBadInput = 2;   // bad input, an unknown name, a refused calculation

// A failure that ends the run with its text on stderr and its status.
class CliError : public std::runtime_error {
public:
    CliError(int status, const std::string& text) : std::runtime_error(text), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// The information boxes of the calculations: the command line prints them as notes on
// stderr and goes on, as the window goes on after the box.
class StderrMessages : public Messages {
public:
    void error(const std::string& text) override;
    void info(const std::string& text) override;
    bool question(const std::string& text) override;  // answers No
};

class Context;

// One option of a subcommand as its --help lists it: a value option names its value, a switch
// has none; an option with a default text reads as that text when it is not given.
struct Option {
    QString name;
    QString valueName;  // empty: a switch
    QString description;
    std::optional<std::string> defaultText = {};
};

// An option that fills one text of a window's inputs (BendingMagnetInputs, ...); its default
// is the window's design text, the value of that field in a default-made Inputs.
template <class Inputs>
struct InputOption {
    const char* name;
    std::string Inputs::*field;
    const char* valueName;
    const char* description;
    bool designDefault = true;  // false: the default comes from elsewhere (the description says)
};

// The records a subcommand picks with --beam.
enum class BeamKind { None, Circulating, SinglePass };

// One subcommand: what it is called and how --help shows it, the options it adds to the
// common ones, and the routine that runs it on a Context.
struct Command {
    QString name;      // "bend"
    QString synopsis;  // the arguments after the name, e.g. "--beam NAME --source NAME [options]"
    QString summary;   // one line for the program's --help
    BeamKind beam = BeamKind::None;    // --beam NAME picks a beam of this kind
    const char* source = nullptr;      // --source NAME picks this ("source", "undulator"); none without
    bool usesSet = false;              // accepts --set FIELD=VALUE
    const char* positional = nullptr;  // the description of its one argument NAME, if it takes one
    std::vector<Option> options;       // its own options, after --beam and --source
    std::function<int(Context&)> run;  // fills ctx.report; returns the exit status
};

class Context {
public:
    Context(QCommandLineParser& parser, const Command& command);
    ~Context();

    QCommandLineParser& args;
    const Command& command;
    Session session;
    StderrMessages messages;

    // The catalogue of --catalogue (or the program's default file), opened on first use: a
    // missing file is created and seeded as by the program, an existing one is only read.
    TSRModule& catalogue();
    // DATA.TXT of --data, or found as the program finds it; loaded on first use.
    const Tabulated& data();
    QString catalogueFile() const;
    QString dataFile() const;

    // The text of an option of the subcommand (its default when not given).
    std::string text(const QString& option) const;
    // The --set FIELD=VALUE texts (none for a subcommand without --set).
    QStringList sets() const;
    // The positional arguments after the subcommand.
    QStringList positional() const { return args.positionalArguments(); }

    // Picks the records of the subcommand, the beam of --beam and the source of --source,
    // records their names and the --set texts as inputs, and reads them into the session (a
    // --set that names no field of them is refused).
    void selectRecords();

    // Makes the beam named `name` of that kind the current record of CircBeam (or SnglBeam)
    // and calculates it into the session's beam state, with the --set overrides of beam fields
    // applied. An unknown name is refused with the list of the beams of that kind.
    void selectBeam(BeamKind kind, const QString& name);
    // Makes the source named `name` the current record of InsDevice, applies the --set
    // overrides of source fields and reads it into the session's magnet state.
    void selectSource(const QString& name);

    // Refuses a --set whose field is in none of the records chosen so far, with the lists of
    // their fields. selectSource calls it; a subcommand without a source calls it itself.
    void checkSetFields() const;

    // The report the run fills; printed by the program when the run returns kOk.
    Report report;

private:
    void selectRecord(Table& table, const QString& nameField, const QString& name, const char* what);
    void applySets(Table& table, bool beam);
    void checkSets() const;  // every --set field exists in one of the chosen records

    std::unique_ptr<TSRModule> module_;
    bool dataLoaded_ = false;
    Table* beamTable_ = nullptr;
    Table* sourceTable_ = nullptr;
    QStringList setsUsed_;
};

template <class Inputs, size_t N>
std::vector<Option> inputOptions(const InputOption<Inputs> (&table)[N]) {
    const Inputs design;
    std::vector<Option> out;
    for (const InputOption<Inputs>& o : table)
        out.push_back({QString::fromLatin1(o.name), QString::fromLatin1(o.valueName),
                       QString::fromLatin1(o.description),
                       o.designDefault ? std::optional<std::string>(design.*o.field) : std::nullopt});
    return out;
}

// Fills `in` from the options of the table that are given or have a default (the others keep
// their text) and records each text as an input of the report.
template <class Inputs, size_t N>
void readInputs(Context& ctx, const InputOption<Inputs> (&table)[N], Inputs& in) {
    for (const InputOption<Inputs>& o : table) {
        const QString name = QString::fromLatin1(o.name);
        if (ctx.args.isSet(name) || o.designDefault) in.*o.field = ctx.text(name);
        ctx.report.input(o.name, in.*o.field);
    }
}

// The index of `text` among `names`, in any case; anything else is refused as
// unknown WHAT "text"; CHOICES.
int choose(const QString& text, const std::vector<const char*>& names, const char* what,
           const std::string& choices);

// A quantity by its item number or short name; anything else is refused with the list of the
// quantities, each with the window's caption.
int chooseQuantity(const QString& text, const std::vector<const char*>& names,
                   const std::function<std::string(int)>& caption);

// The --output FILE option of a subcommand that writes the window's file, and the writing:
// the lines go to FILE as the window writes them (a file that cannot be written ends the run
// with status 1).
Option outputOption(const char* description);
void writeOutput(Context& ctx, const std::vector<std::string>& lines);

// The registered subcommands in the order of the program's --help.
const std::vector<Command>& commands();

}  // namespace lumerad::cli
