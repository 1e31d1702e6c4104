#pragma once
// What every lumerad-cli subcommand is made of: its name and synopsis, the options it adds to
// the common ones, and the routine that runs it on a Context. The registry (registry.h) lists
// the subcommands; the program (main.cpp) parses the arguments and dispatches.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/state/session.h"
#include "cli/report.h"
#include "core/numerics/messages.h"

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

class Context {
public:
    Context(QCommandLineParser& parser, QString commandName);
    ~Context();

    QCommandLineParser& args;
    const QString command;
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
    bool setAllowed = false;
    // The positional arguments after the subcommand.
    QStringList positional() const { return args.positionalArguments(); }

    // Makes the circulating beam named `name` the current record of CircBeam and calculates
    // it into the session's beam state, with the --set overrides of beam fields applied.
    // An unknown name is refused with the list of the circulating beams.
    void selectCircBeam(const QString& name);
    // The same for a single-pass beam (SnglBeam).
    void selectSinglePassBeam(const QString& name);
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

// One subcommand.
struct Command {
    QString name;      // "bend"
    QString synopsis;  // the arguments after the name, e.g. "--beam NAME --source NAME [options]"
    QString summary;   // one line for the program's --help
    std::function<void(QCommandLineParser&)> addOptions;  // its own options (may be empty)
    std::function<int(Context&)> run;                     // fills ctx.report; returns the exit status
    bool usesSet = false;                                 // accepts --set FIELD=VALUE
    int positionals = 0;  // arguments without an option it takes (beam: its NAME)
};

// The registered subcommands in the order of the program's --help.
const std::vector<Command>& commands();

// Helper for subcommands: an option with a value and a default text.
QCommandLineOption valueOption(const QString& name, const QString& description, const QString& valueName,
                               const QString& defaultText = {});

}  // namespace lumerad::cli
