// lumerad-cli function NAME [--x X] [--order N] [--harmonic H] [--K K]: the values the
// special-function calculator shows in the panel of NAME (J, K13, K23, Ai, AiP, S, JJ).
#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/numerics/function_calculator.h"

namespace lumerad::cli {

namespace {

// Option and the calculator's input field it fills, per panel; the defaults are the
// calculator's design texts.
struct FunctionOption {
    const char* option;
    const char* field;
};
const FunctionOption kOptions[] = {
    {"x", "BsArg"}, {"order", "BsOrd"},  {"x", "MBsArg"}, {"x", "AiryArg"},
    {"x", "UFArg"}, {"harmonic", "JJh"}, {"K", "JJK"},
};

const char* const kNames = "J, K13, K23, Ai, AiP, S, JJ";

int runFunction(Context& ctx) {
    const QStringList pos = ctx.positional();
    if (pos.size() != 1) throw CliError(kBadInput, std::string("name one function: ") + kNames);
    const std::string name = pos[0].toStdString();
    const std::vector<std::string> inputs = panelInputs(name);
    if (inputs.empty())
        throw CliError(kBadInput, "unknown function \"" + name + "\"; the functions are: " + kNames);

    FunctionPanelState s;
    InitializeFunctions(s);
    // Only this panel has inputs: the others stay empty and are not evaluated.
    for (const char* field : kFunctionInputs) s.text[field].clear();
    ctx.report.input("function", name);
    for (const FunctionOption& o : kOptions) {
        for (const std::string& field : inputs) {
            if (field != o.field) continue;
            s.text[field] = ctx.text(QString::fromLatin1(o.option));
            ctx.report.input(o.option, s.text[field]);
        }
    }
    RecalculateFunctions(s, ctx.data());
    const std::string message = panelMessage(s, name);
    if (!message.empty()) throw InputError(message);
    ctx.report.results = panelResults(s, name);
    return kOk;
}

}  // namespace

Command functionCommand() {
    Command c;
    c.name = QStringLiteral("function");
    c.synopsis = QStringLiteral("NAME [--x X] [--order N] [--harmonic H] [--K K]");
    c.summary = QStringLiteral("the values of the special-function calculator (J, K13, K23, Ai, AiP, S, JJ)");
    c.addOptions = [](QCommandLineParser& p) {
        FunctionPanelState design;
        InitializeFunctions(design);
        auto designText = [&design](const char* field) { return QString::fromStdString(design[field]); };
        p.addPositionalArgument(QStringLiteral("NAME"),
                                QStringLiteral("The function: J, K13, K23, Ai, AiP, S or JJ."));
        p.addOption(valueOption(QStringLiteral("x"), QStringLiteral("The argument."), QStringLiteral("X"),
                                designText("BsArg")));
        p.addOption(valueOption(QStringLiteral("order"), QStringLiteral("The integer order n of J."),
                                QStringLiteral("N"), designText("BsOrd")));
        p.addOption(valueOption(QStringLiteral("harmonic"), QStringLiteral("The harmonic i of [JJ]."),
                                QStringLiteral("H"), designText("JJh")));
        p.addOption(valueOption(QStringLiteral("K"), QStringLiteral("The deflection parameter K of [JJ]."),
                                QStringLiteral("K"), designText("JJK")));
    };
    c.positionals = 1;
    c.run = runFunction;
    return c;
}

}  // namespace lumerad::cli
