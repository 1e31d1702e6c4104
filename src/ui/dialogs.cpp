#include "ui/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "core/numerics/errors.h"

namespace lumerad {

QString QtDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                                const QString& filter, const QString& defaultSuffix) {
    FloatFlagsKept keep;  // the dialog's own arithmetic never counts as the action's fault
    QFileDialog dlg(parent, caption, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultSuffix);
    // A name typed without suffix takes the one of the file type chosen in the dialog.
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& chosen) {
        const int star = chosen.indexOf(QLatin1String("*."));
        if (star < 0) return;
        const int end = chosen.indexOf(QRegularExpression(QStringLiteral("[ );]")), star);
        dlg.setDefaultSuffix(chosen.mid(star + 2, end < 0 ? -1 : end - star - 2));
    });
    dlg.selectFile(defaultName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    FloatFlagsKept keep;
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

bool QtDialogs::print(QWidget* parent, QPrinter& printer) {
    FloatFlagsKept keep;
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

bool QtDialogs::runModal(QDialog& dialog) {
    FloatFlagsKept keep;
    return dialog.exec() == QDialog::Accepted;
}

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

bool ScriptedDialogs::print(QWidget*, QPrinter& printer) {
    ++printCount;
    if (onPrint) onPrint(printer);
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

}  // namespace lumerad
