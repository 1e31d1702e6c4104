// Records stored with values the program no longer accepts (written before the limits, or by
// another tool): every window and every subcommand that would calculate from them refuses
// with the same message, naming the record and the field, and nothing else is calculated.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include "../support/program_world.h"
#include "cli_support.h"
#include "windows/coherent/form_factor_window.h"
#include "windows/coherent/transition_radiation_window.h"
#include "windows/sources/single_pass_undulator_window.h"

using namespace lumerad;
using namespace lumerad::worldtest;
using namespace lumerad::clitest;

class StoredRecordsCliWindow : public QObject {
    Q_OBJECT

    // Writes into the catalogue as another tool would, with the program closed.
    static void storeOutside(ProgramWorld& x, const QStringList& statements) {
        x.program.reset();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
            db.setDatabaseName(x.dir.filePath("catalogue.sqlite"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const QString& sql : statements) QVERIFY2(q.exec(sql), qPrintable(sql));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("outside"));
        x.program = startProgram(x.dir, x.messages, x.dialogs);
    }

private slots:
    void aBadStoredBeamIsRefusedByEveryToolThatReadsIt() {
        ProgramWorld x;
        storeOutside(x, {QStringLiteral("UPDATE \"Sngl_pass\" SET \"Part/Bunch\" = -3"),
                         QStringLiteral("UPDATE \"SR_ring\" SET \"Energy\" = 0 WHERE \"SR\" = 'Diamond'")});
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
        const QString ring = QStringLiteral("The beam 'Diamond' cannot be used until it is mended: Energy:");
        const std::pair<QStringList, QString> cli[] = {
            {{"tr", "--beam", "FLASH"}, refused},
            {{"form-factor", "--beam", "FLASH", "--wavelength", "3000"}, refused},
            {{"sp-undulator", "--beam", "FLASH", "--source", "FLASH undulator U27"}, refused},
            {{"bend", "--beam", "Diamond", "--source", "Diamond dipole 1.4 T"}, ring},
        };
        for (const auto& [args, text] : cli) {
            const CliRun run = runCli(x.cliCatalogue() + args);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.errText().contains(text) && run.out.isEmpty(), qPrintable(run.errText()));
        }
    }
};

QTEST_MAIN(StoredRecordsCliWindow)
#include "stored_records_test.moc"
