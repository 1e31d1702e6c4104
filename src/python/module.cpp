// The Python module lumerad: one import gives the calculations of the program, the
// subcommands of lumerad-cli as functions and the core's formulas over numpy arrays.
#include "python/module.h"

#include <dlfcn.h>
#include <pybind11/pybind11.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <clocale>
#include <mutex>
#include <string>

#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/numerics/result_field.h"
#include "core/numerics/tabulated.h"
#include "store/data_files.h"

#ifndef LUMERAD_VERSION
#define LUMERAD_VERSION "0"
#endif

namespace lumerad::python {

namespace {

// The catalogue and its SQL driver (a Qt plugin) need an application object; the module makes
// one when the process has none. Qt sets the C library's locale from the environment on the
// way: the process gets its own locale back, numbers are never read in the user's language.
void makeApplication() {
    if (QCoreApplication::instance()) return;
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    static int argc = 1;
    static char name[] = "lumerad";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);  // lives as long as the process
    std::setlocale(LC_ALL, locale.c_str());
    // the program's name, so the default catalogue is the program's file
    QCoreApplication::setApplicationName(QStringLiteral("Lumerad"));
}

QString moduleFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&makeApplication), &info) || !info.dli_fname) return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

}  // namespace

std::string defaultDataFile() {
    const QString name = QStringLiteral("DATA.TXT");
    QStringList candidates{QDir::current().filePath(name)};
    const QString folder = moduleFolder();
    if (!folder.isEmpty())
        candidates << QDir(folder).filePath(QStringLiteral("../../../share/lumerad/") + name)
                   << QDir(folder).filePath(QStringLiteral("../") + name);
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile()) return QDir::cleanPath(QFileInfo(c).absoluteFilePath()).toStdString();
    return QFileInfo(findDataFile(name)).absoluteFilePath().toStdString();
}

void appendSetOptions(QStringList& argv, const py::handle& sets, const std::string& who) {
    if (sets.is_none()) return;
    if (!py::isinstance<py::dict>(sets))
        throw py::type_error((who.empty() ? "" : who + ": ") + "set= takes a dict of field names and values");
    const auto text = [](const py::handle& v) { return py::str(v).cast<std::string>(); };
    for (const auto& [field, value] : sets.cast<py::dict>())
        argv << QStringLiteral("--set") << QString::fromStdString(text(field) + "=" + text(value));
}

const Tabulated& defaultTable() {
    static Tabulated table;
    static std::once_flag once;
    static std::string problem;
    std::call_once(once, [] { problem = table.loadFile(defaultDataFile()); });
    if (!problem.empty()) throw cli::CliError(cli::kFileFault, problem);
    return table;
}

}  // namespace lumerad::python

PYBIND11_MODULE(lumerad, m) {
    using namespace lumerad;
    namespace py = pybind11;
    python::makeApplication();
    m.doc() =
        "Lumerad: the radiation of relativistic electron beams.\n\n"
        "Every subcommand of lumerad-cli is a function of the same name (bend, spectrum, wiggler,\n"
        "function, undulator, flux, lines, tune, sp_undulator, tr, form_factor, beams, sources, beam)\n"
        "that answers with the window's fields. The vectorised functions (synchrotron_spectrum,\n"
        "critical_energy_ev, undulator_harmonic, transition_radiation, bunch_form_factor and the\n"
        "special functions bessel_j, k13, k23, airy, airy_prime, s, jj) work on numpy arrays.\n"
        "A refused input raises ValueError with the window's message; a catalogue or file that\n"
        "cannot be used raises OSError.";
    m.attr("__version__") = LUMERAD_VERSION;

    // Refusals are ValueError with the window's message, faults of files and catalogues OSError.
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const cli::CliError& e) {
            PyErr_SetString(e.status() == cli::kFileFault ? PyExc_OSError : PyExc_ValueError, e.what());
        } catch (const InputError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const FloatError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });

    py::class_<ResultField>(m, "Result", "One result field of a window, as lumerad-cli --json gives it.")
        .def_readonly("name", &ResultField::name, "The field's name in the window.")
        .def_readonly("label", &ResultField::label, "The caption of the field's row.")
        .def_readonly("value", &ResultField::value, "The value in `unit`, without prefix.")
        .def_readonly("unit", &ResultField::unit, "The unit of `value` (eV, W, ph/s/mrad, m, rad, ...).")
        .def_readonly("text", &ResultField::text, "The text exactly as the window shows it.")
        .def_readonly("shown_unit", &ResultField::shownUnit,
                      "The unit label the window shows beside the text.")
        .def("__repr__", [](const ResultField& f) {
            return "Result(label=" + py::repr(py::str(f.label)).cast<std::string>() +
                   ", value=" + py::repr(py::float_(f.value)).cast<std::string>() +
                   ", unit=" + py::repr(py::str(f.unit)).cast<std::string>() +
                   ", text=" + py::repr(py::str(f.text)).cast<std::string>() + ")";
        });

    python::addCommands(m);
    python::addVectorised(m);
}
