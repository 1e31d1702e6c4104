// Records stored with values the program no longer accepts (written before the limits, or by
// another tool): every window and every subcommand that would calculate from them refuses
// with the same message, naming the record and the field, and nothing else is calculated.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include "../support/program_world.h"
#include "cli_support.h"
#include "coherent/form_factor_window.h"
#include "coherent/transition_radiation_window.h"
#include "sources/single_pass_undulator_window.h"

using namespace lumerad;
using namespace lumerad::worldtest;
using namespace lumerad::clitest;

class StoredRecordsCliWindow : public QObject {
    Q_OBJECT

    // Writes into the catalogue as another tool would, with the program closed.
    static void storeOutside(ProgramWorld& x, const QString& sql) {
        x.program.reset();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
            db.setDatabaseName(x.dir.filePath("catalogue.sqlite"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(sql));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("outside"));
        ProgramOptions o;
        o.catalogueFile = x.dir.filePath("catalogue.sqlite");
        o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
        x.program = std::make_unique<Program>(x.messages, x.dialogs, o);
        x.w().start->show();
    }

private slots:
    void aBadSinglePassBeamIsRefusedByEveryToolThatReadsIt() {
        ProgramWorld x;
        storeOutside(x, QStringLiteral("UPDATE \"Sngl_pass\" SET \"Part/Bunch\" = -3"));
        const QString refused = QStringLiteral(
            "The beam 'FLASH' cannot be used until it is mended: "
            "Part/Bunch: the charge must not be negative.");
        x.acceptLinac(QStringLiteral("FLASH"));  // the editor refuses it too
        struct Case {
            ToolWindow* window;
            const char* field;
            const char* text;
            const char* button;
        } cases[] = {
            {x.w().tr, "EdtPhEn", "1", "Calculate"},
            {x.w().formFctr, "wavelen", "3000", "CalcSpFF"},
            {x.w().spUnd, nullptr, nullptr, "tbRecalc"},
        };
        for (const Case& c : cases) {
            c.window->showTool();
            auto* grid = c.window->findChild<DBGrid*>(QStringLiteral("DBGridBeam"));
            if (grid) grid->clickRow(rowOf(grid, QStringLiteral("FLASH")));
            if (c.field) child<QLineEdit>(c.window, c.field)->setText(QString::fromLatin1(c.text));
            x.messages.clear();
            child<QAbstractButton>(c.window, c.button)->click();
            QCOMPARE(x.texts(), std::vector<std::string>{refused.toStdString()});
            c.window->close();
        }
        for (const QStringList& args :
             {QStringList{"tr", "--beam", "FLASH"},
              QStringList{"form-factor", "--beam", "FLASH", "--wavelength", "3000"},
              QStringList{"sp-undulator", "--beam", "FLASH", "--source", "FLASH undulator U27"}}) {
            const CliRun run = runCli(x.cliCatalogue() + args);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.errText().contains(refused), qPrintable(run.errText()));
        }
    }

    // A stored ring and source are refused on the command line as in the windows, and a --set
    // that breaks a limit is refused with the same text.
    void aBadRingOrSourceIsRefusedOnTheCommandLine() {
        ProgramWorld x;
        storeOutside(x, QStringLiteral("UPDATE \"SR_ring\" SET \"Energy\" = 0 WHERE \"SR\" = 'Diamond'"));
        struct Case {
            QStringList args;
            const char* text;
        } cases[] = {
            {{"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"},
             "The beam 'Diamond' cannot be used until it is mended: Energy:"},
            {{"bend", "--beam", "APS", "--source", "APS dipole 0.6 T", "--set", "Cur=-1"},
             "Cur: the current must not be negative"},
            {{"bend", "--beam", "APS", "--source", "APS dipole 0.6 T", "--set", "Field=0"},
             "Field: the magnetic field must be above 0 T"},
        };
        for (const Case& c : cases) {
            const CliRun run = runCli(x.cliCatalogue() + c.args);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.errText().contains(QString::fromUtf8(c.text)), qPrintable(run.errText()));
            QVERIFY(run.out.isEmpty());
        }
    }
};

QTEST_MAIN(StoredRecordsCliWindow)
#include "stored_records_cli_window_test.moc"
