#pragma once
// File, print and modal dialogs sit behind this interface so that tests answer them
// without a dialog ever waiting for a user.
#include <QString>
#include <deque>
#include <functional>

class QWidget;
class QDialog;
class QPrinter;

namespace lumerad {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns the chosen file name, or an empty string when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                                 const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // Runs the print dialog on the printer; true when the user confirms.
    virtual bool print(QWidget* parent, QPrinter& printer) = 0;
    // Runs a dialog modally; true when it was accepted.
    virtual bool runModal(QDialog& dialog) = 0;
};

class QtDialogs : public Dialogs {
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                         const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    bool print(QWidget* parent, QPrinter& printer) override;
    bool runModal(QDialog& dialog) override;
};

// Scripted answers for tests. A modal dialog gets the hook a chance to fill it in,
// then counts as accepted or not.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<QString> fileNames;  // next answers of save/open; empty string = cancel
    bool printAccepted = true;
    std::function<void(QPrinter&)> onPrint;  // the choices made in the print dialog
    std::deque<bool> modalAnswers;           // accepted or not; accepted when empty
    std::function<void(QDialog&)> onModal;   // fills the dialog before it "closes"
    int printCount = 0;

    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override;
    QString openFileName(QWidget*, const QString&, const QString&) override;
    bool print(QWidget*, QPrinter&) override;
    bool runModal(QDialog& dialog) override;
};

}  // namespace lumerad
