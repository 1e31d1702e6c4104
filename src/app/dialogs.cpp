#include "app/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace lumerad {

QString QtDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                                const QString& filter, const QString& defaultSuffix) {
    QFileDialog dlg(parent, caption, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultSuffix);
    dlg.selectFile(defaultName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

bool QtDialogs::print(QWidget* parent, QPrinter& printer) {
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

bool QtDialogs::runModal(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

QString ScriptedDialogs::saveFileName(QWidget*, const QString&, const QString&, const QString&,
                                      const QString&) {
    if (fileNames.empty()) return {};
    QString f = fileNames.front();
    fileNames.pop_front();
    return f;
}

QString ScriptedDialogs::openFileName(QWidget* p, const QString& c, const QString& f) {
    return saveFileName(p, c, QString(), f, QString());
}

bool ScriptedDialogs::print(QWidget*, QPrinter&) {
    ++printCount;
    return printAccepted;
}

bool ScriptedDialogs::runModal(QDialog& dialog) {
    if (onModal) onModal(dialog);
    bool accepted = true;
    if (!modalAnswers.empty()) {
        accepted = modalAnswers.front();
        modalAnswers.pop_front();
    }
    dialog.done(accepted ? QDialog::Accepted : QDialog::Rejected);
    return accepted;
}

} // namespace lumerad
