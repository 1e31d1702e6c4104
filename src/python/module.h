#pragma once
// The parts of the Python module lumerad: the subcommands as functions (commands.cpp), the
// vectorised functions (vectorised.cpp) and what both share (module.cpp).
#include <pybind11/pybind11.h>

#include <QStringList>
#include <string>

namespace lumerad {
class Tabulated;
}  // namespace lumerad

namespace lumerad::python {

namespace py = pybind11;

void addCommands(py::module_& m);
void addVectorised(py::module_& m);

// Appends "--set FIELD=VALUE" for each item of the dict `sets` (None: nothing); anything else
// than a dict raises TypeError, its text after `who` (the calling function) when given.
void appendSetOptions(QStringList& argv, const py::handle& sets, const std::string& who = {});

// DATA.TXT as the module finds it: in the working directory, in share/lumerad of the prefix
// the module is installed in, beside the build tree's module folder, then as the program finds
// it.
std::string defaultDataFile();
// The table of DATA.TXT, read on first use; a file that cannot be read raises OSError.
const Tabulated& defaultTable();

}  // namespace lumerad::python
