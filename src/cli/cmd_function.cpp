// lumerad-cli function NAME [--x X] [--order N] [--harmonic H] [--K K]: the values the
// special-function calculator shows in the panel of NAME (J, K13, K23, Ai, AiP, S, JJ).
#include <algorithm>

#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/numerics/function_calculator.h"

namespace lumerad::cli {

namespace {

// The options and the calculator's input fields they fill; the defaults are the calculator's
// design texts.
struct FunctionOption {
    const char* option;
    const char* valueName;
    const char* description;
    std::vector<std::string> fields;
};
const FunctionOption kOptions[] = {
    {"x", "X", "The argument.", {"BsArg", "MBsArg", "AiryArg", "UFArg"}},
    {"order", "N", "The integer order n of J.", {"BsOrd"}},
    {"harmonic", "H", "The harmonic i of [JJ].", {"JJh"}},
    {"K", "K", "The deflection parameter K of [JJ].", {"JJK"}},
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
    for (const FunctionOption& o : kOptions)
        for (const std::string& field : o.fields)
            if (std::find(inputs.begin(), inputs.end(), field) != inputs.end()) {
                s.text[field] = ctx.text(QString::fromLatin1(o.option));
                ctx.report.input(o.option, s.text[field]);
            }
    RecalculateFunctions(s, ctx.data());
    const std::string message = panelMessage(s, name);
    if (!message.empty()) throw InputError(message);
    ctx.report.results = panelResults(s, name);
    return kOk;
}

}  // namespace

Command functionCommand() {
    FunctionPanelState design;
    InitializeFunctions(design);
    std::vector<Option> options;
    for (const FunctionOption& o : kOptions)
        options.push_back({o.option, o.valueName, o.description, design.text[o.fields.front()]});
    return {"function",
            "NAME [--x X] [--order N] [--harmonic H] [--K K]",
            "the values of the special-function calculator (J, K13, K23, Ai, AiP, S, JJ)",
            BeamKind::None,
            nullptr,
            false,
            "The function: J, K13, K23, Ai, AiP, S or JJ.",
            options,
            runFunction};
}

}  // namespace lumerad::cli
