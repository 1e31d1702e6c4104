// The subcommands of lumerad-cli as Python functions of the same name: the keyword arguments
// become the command line's options, the same library parses and runs them, and the report
// comes back as Python objects (results as Result objects, columns as numpy arrays).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "cli/dispatch.h"
#include "core/numerics/errors.h"
#include "python/module.h"

namespace lumerad::python {

namespace {

// What a subcommand answers: the results by field name, the inputs as the command line
// records them, and the columns of lists, scans and spectra.
struct PyReport {
    std::string command;
    py::list inputs;   // (option, text) pairs in order
    py::dict results;  // field name -> Result
    py::dict columns;  // column name -> numpy array (float64, or str for a column of names)
    py::dict units;    // column name -> unit
    py::dict texts;    // column name -> the cells as printed
};

// The options that only shape the command line's printing.
bool printingOption(const QString& name) {
    static const std::set<QString> names = {QStringLiteral("json"), QStringLiteral("csv"),
                                            QStringLiteral("h,help"), QStringLiteral("version")};
    return names.count(name) > 0;
}

// The keyword of an option: dashes become underscores, --from and --to start and stop.
std::string keywordOf(const QString& option) {
    if (option == QLatin1String("from")) return "start";
    if (option == QLatin1String("to")) return "stop";
    return QString(option).replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
}

QString text(const py::handle& value) { return QString::fromStdString(py::str(value).cast<std::string>()); }

PyReport toPython(const cli::Report& r) {
    PyReport p;
    p.command = r.command;
    for (const auto& [k, v] : r.inputs) p.inputs.append(py::make_tuple(k, v));
    for (const ResultField& f : r.results) p.results[py::str(f.name)] = py::cast(f);
    for (const cli::Column& c : r.columns) {
        const py::str name(c.name);
        if (c.numeric)
            p.columns[name] = py::array_t<double>(py::ssize_t(c.values.size()), c.values.data());
        else
            p.columns[name] = py::module_::import("numpy").attr("array")(py::cast(c.texts), "str");
        p.units[name] = c.unit;
        p.texts[name] = py::cast(c.texts);
    }
    return p;
}

PyReport call(const cli::Command& cmd, const py::args& args, const py::kwargs& kwargs) {
    const std::string fn = cmd.name.toStdString();
    const size_t positionals = cmd.positional ? 1 : 0;
    if (args.size() > positionals)
        throw py::type_error(fn + "() takes " + std::to_string(positionals) + " positional argument" +
                             (positionals == 1 ? "" : "s") + " but " + std::to_string(args.size()) +
                             " were given");
    QStringList argv{QStringLiteral("lumerad-cli")};
    bool data = false;
    const std::vector<cli::Option> options = cli::commandOptions(cmd);
    for (const auto& [key, value] : kwargs) {
        const std::string k = key.cast<std::string>();
        if (value.is_none()) continue;  // the default
        const cli::Option* option = nullptr;
        for (const cli::Option& o : options)
            if (!printingOption(o.name) && keywordOf(o.name) == k) option = &o;
        if (!option) throw py::type_error(fn + "() got an unexpected keyword argument '" + k + "'");
        const QString flag = QStringLiteral("--") + option->name;
        if (option->name == QLatin1String("set")) {
            appendSetOptions(argv, value, fn + "()");
        } else if (option->valueName.isEmpty()) {
            if (value.cast<bool>()) argv << flag;
        } else {
            argv << flag << text(value);
        }
        data = data || option->name == QLatin1String("data");
    }
    if (!data) argv << QStringLiteral("--data") << QString::fromStdString(defaultDataFile());
    if (!args.empty()) argv << QStringLiteral("--") << text(args[0]);
    clearFloatFaults();
    QCommandLineParser parser;
    cli::parseCommand(parser, cmd, argv);
    return toPython(cli::runCommand(parser, cmd));
}

// The docstring: the command line's --help, with the options as keyword arguments.
std::string docstring(const cli::Command& cmd) {
    std::string sig, list;
    for (const cli::Option& o : cli::commandOptions(cmd)) {
        if (printingOption(o.name)) continue;
        const std::string k = keywordOf(o.name);
        const std::string shown = o.name == QLatin1String("set") ? "set={FIELD: VALUE}"
                                  : o.valueName.isEmpty()        ? k + "=True"
                                                                 : k + "=" + o.valueName.toStdString();
        sig +=
            ", " + k + "=" + (o.defaultText ? py::repr(py::str(*o.defaultText)).cast<std::string>() : "None");
        std::string line = "  " + shown;
        line += std::string(line.size() < 26 ? 26 - line.size() : 1, ' ') + o.description.toStdString();
        if (o.defaultText) line += " Default: " + *o.defaultText;
        list += line + "\n";
    }
    const std::string name = keywordOf(cmd.name);
    std::string summary = cmd.summary.toStdString();
    if (!summary.empty()) summary[0] = char(std::toupper(static_cast<unsigned char>(summary[0])));
    const std::string positional = cmd.positional ? "name, " : "";
    return name + "(" + positional + "*" + sig + ") -> Report\n\n" + summary + " (lumerad-cli " +
           cmd.name.toStdString() + " " + cmd.synopsis.toStdString() + ").\n\n" +
           (cmd.positional ? "name: " + std::string(cmd.positional) + "\n\n" : "") +
           "Keyword arguments: the options of lumerad-cli " + cmd.name.toStdString() +
           ", dashes written as underscores, --from and --to as start and stop; a value is a text or a "
           "number, "
           "None the default.\n" +
           list +
           "\nReturns a Report: a mapping of the window's field names to Result objects (label, value in the "
           "unit without prefix, unit, text and shown_unit as the window shows them) and, for lists, scans "
           "and spectra, the columns as numpy arrays by column name (columns, units, texts, array).\n"
           "Raises ValueError with the window's message for a refused input or calculation, OSError for a "
           "catalogue or data file that cannot be used. The catalogue is only read; a missing one is created "
           "and seeded as by the program.";
}

}  // namespace

void addCommands(py::module_& m) {
    py::class_<PyReport>(
        m, "Report",
        "What a subcommand answers: a mapping of the window's field names to Result objects, "
        "and the columns of lists, scans and spectra.")
        .def_readonly("command", &PyReport::command, "The subcommand.")
        .def_readonly("inputs", &PyReport::inputs, "The (option, text) pairs the calculation used, in order.")
        .def_readonly("results", &PyReport::results, "The result fields by name (a dict of Result).")
        .def_readonly("columns", &PyReport::columns, "The columns by name, as numpy arrays.")
        .def_readonly("units", &PyReport::units, "The unit of each column.")
        .def_readonly("texts", &PyReport::texts, "The cells of each column as printed.")
        .def_property_readonly(
            "array",
            [](const PyReport& r) -> py::object {
                if (py::len(r.columns) == 0) return py::none();
                return py::module_::import("numpy").attr("rec").attr("fromarrays")(
                    r.columns.attr("values")(), py::arg("names") = py::list(r.columns.attr("keys")()));
            },
            "The columns as one numpy record array whose field names are the column names (None without "
            "columns).")
        .def("__getitem__", [](const PyReport& r, const py::str& k) -> py::object { return r.results[k]; })
        .def("__len__", [](const PyReport& r) { return py::len(r.results); })
        .def("__iter__", [](const PyReport& r) { return py::iter(r.results); })
        .def("__contains__", [](const PyReport& r, const py::object& k) { return r.results.contains(k); })
        .def("keys", [](const PyReport& r) { return r.results.attr("keys")(); })
        .def("values", [](const PyReport& r) { return r.results.attr("values")(); })
        .def("items", [](const PyReport& r) { return r.results.attr("items")(); })
        .def(
            "get",
            [](const PyReport& r, const py::object& k, const py::object& d) {
                return r.results.attr("get")(k, d);
            },
            py::arg("key"), py::arg("default") = py::none())
        .def("__repr__", [](const PyReport& r) {
            return "<lumerad.Report " + r.command + ": " + std::to_string(py::len(r.results)) + " results, " +
                   std::to_string(py::len(r.columns)) + " columns>";
        });
    py::module_::import("collections.abc").attr("Mapping").attr("register")(m.attr("Report"));

    py::options signatures;
    signatures.disable_function_signatures();  // the docstrings write their own
    for (const cli::Command& cmd : cli::commands()) {
        const cli::Command* c = &cmd;  // the registry lives as long as the process
        m.def(
            keywordOf(cmd.name).c_str(),
            [c](const py::args& args, const py::kwargs& kwargs) { return call(*c, args, kwargs); },
            docstring(cmd).c_str());
    }
}

}  // namespace lumerad::python
