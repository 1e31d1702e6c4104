#pragma once
// Window tests with the program's own message boxes and file dialogs (QtMessages,
// QtDialogs): a QMessageBox or non-native QFileDialog really opens, runs Qt's dialog code
// and its nested event loop, and a timer answers it the way a user would. Use it for the
// paths where the nested loop matters (an action started while a box is open, flags the
// dialog raises); the scripted doubles stay for everything else.
//
//   RealDialogs real;                       // before the Program is built
//   Program p(real.messages, real.dialogs, options);
//   real.files.push_back("/tmp/x.wmf");     // the next file dialog: this name, then OK
//   real.files.push_back({});               // ... or Cancel
//   ... press buttons ...
//   QCOMPARE(real.errors(), (QStringList{"Floating point division by zero"}));
//
// Message boxes are answered with OK (questions with No); any other modal dialog is rejected. With
// `dirtyFlags` set, every answer first raises the floating-point division-by-zero, invalid and overflow flags
// inside the dialog, the way a platform's dialog code may, so a test proves such flags never become a
// message.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>

#include "ui/dialogs.h"
#include "ui/qt_messages.h"

namespace lumerad::testing {

class RealDialogs : public QObject {
public:
    struct Box {
        QMessageBox::Icon icon;
        QString text;
    };

    QtMessages messages;
    QtDialogs dialogs;
    std::deque<QString> files;  // answers of file dialogs; an empty name cancels
    std::vector<Box> boxes;     // every message box seen, in order
    int fileDialogs = 0;        // file dialogs seen
    bool dirtyFlags = false;
    // Run while the next message boxes are open, before they are answered, one per box:
    // what the user does meanwhile (a click that arrives inside the box's event loop).
    std::deque<std::function<void()>> whileOpen;

    RealDialogs() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        timer_.setInterval(15);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start();
    }

    QStringList errors() const {
        QStringList out;
        for (const Box& b : boxes)
            if (b.icon == QMessageBox::Critical) out << b.text;
        return out;
    }
    QStringList allTexts() const {
        QStringList out;
        for (const Box& b : boxes) out << b.text;
        return out;
    }

private:
    static void raiseFlags() {
        volatile double zero = 0.0, big = std::numeric_limits<double>::max();
        volatile double r = 1.0 / zero;
        r = zero / zero;
        r = big * big;
        (void)r;
    }

    void answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            if (std::find(seenBoxes_.begin(), seenBoxes_.end(), box) == seenBoxes_.end()) {
                seenBoxes_.emplace_back(box);
                boxes.push_back({box->icon(), box->text()});
                if (dirtyFlags) raiseFlags();
                if (!whileOpen.empty()) {
                    // From a timer of its own: this one does not fire again while its
                    // slot runs, and the action may open a box of its own.
                    auto during = std::move(whileOpen.front());
                    whileOpen.pop_front();
                    QTimer::singleShot(0, box, std::move(during));
                    return;  // answered on a later tick
                }
            }
            QAbstractButton* b =
                box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
            if (b)
                b->click();
            else
                box->reject();
            return;
        }
        if (w == last_) return;  // answered, not closed yet
        last_ = w;
        if (auto* d = qobject_cast<QDialog*>(w))  // a dialog shown again is answered again
            QObject::connect(
                d, &QDialog::finished, this, [this] { last_ = nullptr; }, Qt::SingleShotConnection);
        if (dirtyFlags) raiseFlags();
        if (auto* fd = qobject_cast<QFileDialog*>(w)) {
            ++fileDialogs;
            const QString name = files.empty() ? QString() : files.front();
            if (!files.empty()) files.pop_front();
            if (name.isEmpty()) {
                fd->reject();
            } else {
                if (auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(name);
                else
                    fd->selectFile(name);
                QMetaObject::invokeMethod(fd, "accept");
            }
        } else if (auto* d = qobject_cast<QDialog*>(w)) {
            d->reject();
        }
    }

    QTimer timer_;
    QPointer<QWidget> last_;
    std::vector<QPointer<QMessageBox>> seenBoxes_;
};

}  // namespace lumerad::testing
