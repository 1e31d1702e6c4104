#include "ui/qt_messages.h"

#include <QApplication>
#include <QMessageBox>

#include "core/numerics/errors.h"

namespace lumerad {

void QtMessages::error(const std::string& text) {
    FloatFlagsKept keep;
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          QString::fromStdString(text));
}

void QtMessages::info(const std::string& text) {
    FloatFlagsKept keep;
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                             QString::fromStdString(text));
}

bool QtMessages::question(const std::string& text) {
    FloatFlagsKept keep;
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                                 QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace lumerad
