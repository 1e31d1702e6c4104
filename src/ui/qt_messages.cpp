#include "ui/qt_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace lumerad {

void QtMessages::error(const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          QString::fromStdString(text));
}

void QtMessages::info(const std::string& text) {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                             QString::fromStdString(text));
}

bool QtMessages::question(const std::string& text) {
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                                 QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace lumerad
