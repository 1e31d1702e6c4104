#pragma once
// Where the program's data files are found: the working directory first, then share/lumerad
// beside the installed program (../share/lumerad from the executable), then the install
// prefix, then the build folder (the executable's own folder) and the source tree's data/.
#include <QString>

namespace lumerad {

// The first existing file of that name; the name itself (working directory) when none exists.
QString findDataFile(const QString& name);

}  // namespace lumerad
