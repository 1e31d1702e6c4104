// Program entry: title, catalogue module, every window once in a fixed order, event loop.
//
// --catalogue FILE  uses FILE as the catalogue instead of Lumerad.sqlite in the application-data folder.
// --startup-time    prints the milliseconds from process start to the first painted main window, then quits.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "app/program.h"
#include "app/start_window.h"
#include "core/numerics/errors.h"
#include "ui/dialogs.h"
#include "ui/qt_messages.h"

namespace {

// Milliseconds since the process started, from the kernel's record of its start (clock ticks
// since boot) and the monotonic boot-time clock; -1 where that is not available.
double msSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray s = stat.readAll();
    const int close = s.lastIndexOf(')');
    if (close < 0) return -1;
    const QList<QByteArray> f = s.mid(close + 2).split(' ');
    if (f.size() < 20) return -1;  // field 22 of the line is the 20th after the command name
    const double startTicks = f[19].toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

class FirstPaint : public QObject {
public:
    FirstPaint(QElapsedTimer& sinceMain, qint64 appReady, qint64 windowsReady)
        : sinceMain_(sinceMain), appReady_(appReady), windowsReady_(windowsReady) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!done_ && e->type() == QEvent::Paint) {
            done_ = true;
            std::printf(
                "main window shown %.1f ms after process start (%lld ms after main: application %lld ms, "
                "catalogue and windows %lld ms, first paint %lld ms)\n",
                msSinceProcessStart(), static_cast<long long>(sinceMain_.elapsed()),
                static_cast<long long>(appReady_), static_cast<long long>(windowsReady_ - appReady_),
                static_cast<long long>(sinceMain_.elapsed() - windowsReady_));
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(o, e);
    }

private:
    QElapsedTimer& sinceMain_;
    qint64 appReady_, windowsReady_;
    bool done_ = false;
};

// The last resort behind the action runner: a handler that does not go through it (Qt's
// own, or one a window forgot to wrap) may still throw; the user gets a message instead of
// the end of the program.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override {
        try {
            return QApplication::notify(receiver, e);
        } catch (const std::exception& ex) {
            report(QStringLiteral("internal error: ") + QString::fromLocal8Bit(ex.what()));
        } catch (...) {
            report(QStringLiteral("internal error: unknown exception"));
        }
        return false;
    }

private:
    static void report(const QString& text) {
        lumerad::FloatFlagsKept keep;
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), text);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumerad"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumerad"));
    const qint64 appReady = sinceMain.elapsed();

    using namespace lumerad;
    const ProgramOptions options = ProgramOptions::fromArguments(QApplication::arguments());
    QtMessages messages;
    QtDialogs dialogs;
    Program program(messages, dialogs, options);

    FirstPaint firstPaint(sinceMain, appReady, sinceMain.elapsed());
    if (options.startupTime) program.windows().start->installEventFilter(&firstPaint);
    program.windows().start->show();
    return app.exec();
}
