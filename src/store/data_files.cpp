#include "store/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace lumerad {

QString findDataFile(const QString& name) {
    QStringList dirs{QDir::currentPath()};
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        dirs << QDir(exeDir).filePath(QStringLiteral("../share/lumerad"));
        dirs << QStringLiteral(LUMERAD_INSTALL_DATA_DIR);
        dirs << exeDir;
    } else {
        dirs << QStringLiteral(LUMERAD_INSTALL_DATA_DIR);
    }
    dirs << QStringLiteral(LUMERAD_SOURCE_DATA_DIR);
    for (const QString& d : dirs) {
        QFileInfo fi(QDir(d).filePath(name));
        if (fi.isFile()) return QDir::cleanPath(fi.absoluteFilePath());
    }
    return name;
}

}  // namespace lumerad
