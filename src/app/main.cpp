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
#include <clocale>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/program.h"
#include "app/start_window.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
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
            using lumerad::pattern;
            using lumerad::patternInt;
            const std::string line = "main window shown " + pattern("%.1f", msSinceProcessStart()) +
                                     " ms after process start (" + patternInt("%d", sinceMain_.elapsed()) +
                                     " ms after main: application " + patternInt("%d", appReady_) +
                                     " ms, catalogue and windows " +
                                     patternInt("%d", windowsReady_ - appReady_) + " ms, first paint " +
                                     patternInt("%d", sinceMain_.elapsed() - windowsReady_) + " ms)\n";
            std::fputs(line.c_str(), stdout);
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
    {  // --help needs no display: answered before Qt looks for one
        QStringList args;
        for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
        if (lumerad::ProgramOptions::fromArguments(args).help) {
            std::fputs(lumerad::ProgramOptions::helpText().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    Application app(argc, argv);
    // Qt has just set the C library's locale from the environment; numbers are read and
    // written in the program's own way, never in the user's language (a German desktop would
    // make strtod("0.5") read 0), so the numeric part goes back to "C". Qt's widgets keep
    // the user's language.
    std::setlocale(LC_NUMERIC, "C");
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
