// Opening a catalogue file: whatever the file holds, the module opens (on the file or, when
// the file cannot be used, on a seeded catalogue in memory), never crashes, and a file it
// could not use is left byte for byte as it was.
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <cstdint>
#include <cstdlib>

#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "store/tsr_module.h"

using namespace lumerad;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);  // the SQL driver plugins need one
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = QStringLiteral("/tmp/lumerad_fuzz_catalogue_%1.sqlite").arg(getpid());
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QFile::remove(path);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 0;
        f.write(bytes);
    }
    Session session;
    RecordingMessages messages;  // a question (take over a foreign database?) is answered No
    bool inMemory = false;
    {
        TSRModule m(session, messages, path);
        inMemory = m.inMemory();
        for (Table* t : {m.CircBeam, m.SnglBeam, m.InsDevice})
            for (int r = 0; r < t->rowCount() && r < 50; ++r)
                for (int c = 0; c < int(t->fields().size()); ++c) (void)t->displayText(r, c);
    }
    if (inMemory) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes) std::abort();
    }
    return 0;
}
