#pragma once
// The catalogue module: the store "Lumerad" (an SQLite file) with its three tables CircBeam
// (SR_ring), SnglBeam (Sngl_pass) and InsDevice (Rad_Srce). A table is also the data source
// that grids, navigators and bound fields of every window attach to, so moving its current
// record in one window moves it in all.
//
// A missing file is created and seeded. A file that cannot be opened, is not a database or
// lacks the catalogue's fields is reported (naming the file) and left untouched; the program
// then works on a seeded catalogue in memory whose changes are not saved. A read-only file is
// opened for reading; a post then reports the failed write and keeps the edit.
#include <QObject>
#include <QString>

#include "core/beams/beam_quantities.h"
#include "core/beams/record_limits.h"
#include "core/coherent/transition_radiation.h"
#include "core/state/magnet_state.h"
#include "store/table.h"

namespace lumerad {

struct Session;
class Messages;

// How the module treats an existing file. The program opens it for reading and writing and,
// when it cannot be used, reports that and goes on with a temporary catalogue. The command
// line never writes an existing file: it is opened read-only, and a file that cannot be used
// is only recorded in problem() (no message), for the caller to report.
enum class CatalogueAccess { Program, ReadOnlyExisting };

class TSRModule : public QObject {
    Q_OBJECT
public:
    TSRModule(Session& session, Messages& messages, const QString& catalogueFile, QObject* parent = nullptr,
              CatalogueAccess access = CatalogueAccess::Program);
    ~TSRModule() override;

    // Lumerad.sqlite in the user's application-data folder.
    static QString defaultCatalogueFile();

    Table* CircBeam = nullptr;   // data source CBSource
    Table* SnglBeam = nullptr;   // data source SPSource
    Table* InsDevice = nullptr;  // data source RadSource

    const QString& fileName() const { return fileName_; }
    bool inMemory() const { return inMemory_; }  // the file could not be used
    bool readOnly() const { return readOnly_; }
    // Why the file could not be used (empty when it is in use).
    const QString& problem() const { return problem_; }

private:
    bool openFile(QString* problem);
    void openMemory();
    bool prepareTables(QString* problem);
    void seed(Table& t);
    void closeStore();

    Session& session_;
    Messages& messages_;
    QString fileName_;
    QString connection_;
    QString problem_;
    CatalogueAccess access_ = CatalogueAccess::Program;
    bool inMemory_ = false;
    bool readOnly_ = false;
};

// The current source record as plain values (empty numbers read as 0).
SourceRecord readSourceRecord(const Table& insDevice);
// A record's values as plain values (empty numbers read as 0).
SourceRecord sourceRecordValues(const Record& rec);
CircBeamValues circBeamValues(const Record& rec);
SnglBeamValues snglBeamValues(const Record& rec);
// What transition radiation reads of the current single-pass record.
TransitionRadiationBeam transitionRadiationBeam(const Table& snglBeam);

// Refuses a calculation on the table's current record when it breaks a limit of
// catalogue/record_limits.h (a stored record from before the limits, or one changed outside
// the program): InputError "The beam 'X' cannot be used until it is mended: ...", naming the
// field. Every window that calculates from a record calls this first.
void requireUsableRecord(const Table& t);
// The limit the current record breaks, if any, with what it is ("beam", "source") and its name.
struct RecordBreach {
    std::optional<LimitBreach> breach;
    std::string what, name;
};
RecordBreach recordBreach(const Table& t);
// InputError with the breach alone (the text a post gives), for values just typed or set.
void refuseRecordBreach(const Table& t);

}  // namespace lumerad
