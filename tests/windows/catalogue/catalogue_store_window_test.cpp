// The catalogue store and its bound controls: the shared current record, the filter, field
// look-up, navigator operations, and damaged, foreign or read-only catalogue files.
#include <deque>

#include "../../support/program_world.h"
#include "core/numerics/errors.h"
#include "ui/action_runner.h"
#include "ui/current_records.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class CatalogueStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    Session session;
    RecordingMessages messages;
    QString file() { return dir.filePath(QStringLiteral("store.sqlite")); }

private slots:
    void init() {
        messages.clear();
        QFile::remove(file());
    }

    void newFileIsSeededAndFieldsAreFoundWithoutRegardToCase() {
        TSRModule m(session, messages, file());
        QCOMPARE(int(messages.log.size()), 0);
        QVERIFY(!m.inMemory() && !m.readOnly());
        QVERIFY(m.CircBeam->rowCount() >= 8);
        QVERIFY(m.SnglBeam->rowCount() >= 4);
        m.InsDevice->moveTo(0);
        QVERIFY(m.InsDevice->asNumber(QStringLiteral("fIELD")) > 0);
        m.CircBeam->moveTo(0);
        QVERIFY(!m.CircBeam->displayText(QStringLiteral("sig_xb")).isEmpty());  // calculated: Sig_xb
        // the calculated fields are not stored
        const QStringList cols =
            runSql(file(), {QStringLiteral("SELECT name FROM pragma_table_info('SR_ring')")});
        QVERIFY(cols.contains(QStringLiteral("DE/E")));
        QVERIFY(!cols.contains(QStringLiteral("Sig_xb")));
    }

    void filterComparesWithoutRegardToCase() {
        TSRModule m(session, messages, file());
        Table& src = *m.InsDevice;
        const int all = src.rowCount();
        src.setFilter(QStringLiteral("SrceType='bend'"));
        QVERIFY(src.rowCount() > 0 && src.rowCount() < all);
        for (int r = 0; r < src.rowCount(); ++r)
            QCOMPARE(src.row(r).text(QStringLiteral("SrceType")), QStringLiteral("Bend"));
        FilterSources(src, "WIG");
        QVERIFY(src.filtered() && src.rowCount() >= 3);
        for (const char* kind : {"All", ""}) {
            FilterSources(src, "Und");
            FilterSources(src, kind);
            QVERIFY(!src.filtered());
            QCOMPARE(src.rowCount(), all);
        }
        FilterSources(src, "it's");  // a quote inside the kind: no record, no failure
        QCOMPARE(src.rowCount(), 0);
        QCOMPARE(src.asText(QStringLiteral("Name")), QString());
    }

    void navigatorEditsInsertsCancelsAndDeletesWithConfirmation() {
        TSRModule m(session, messages, file());
        ActionRunner runner(messages);
        Table& t = *m.SnglBeam;
        DBNavigator nav(t, runner, nullptr, "DBNavigator1");
        const int n = t.rowCount();
        press(&nav, DBNavigator::Last);
        QCOMPARE(t.currentRow(), n - 1);
        QVERIFY(!nav.button(DBNavigator::Next)->isEnabled());
        press(&nav, DBNavigator::First);
        QVERIFY(!nav.button(DBNavigator::Prior)->isEnabled());
        QVERIFY(!nav.button(DBNavigator::Post)->isEnabled());
        press(&nav, DBNavigator::Insert);
        QCOMPARE(t.rowCount(), n + 1);
        QVERIFY(nav.button(DBNavigator::Post)->isEnabled());
        press(&nav, DBNavigator::Cancel);
        QCOMPARE(t.rowCount(), n);

        const QString first = t.asText(QStringLiteral("Name"));
        messages.answers = {false};
        press(&nav, DBNavigator::Delete);
        QCOMPARE(t.rowCount(), n);
        QCOMPARE(messages.log.back().text, std::string("Delete record?"));
        messages.answers = {true};
        press(&nav, DBNavigator::Delete);
        press(&nav, DBNavigator::Refresh);  // the deletion is stored
        QCOMPARE(t.rowCount(), n - 1);
        QVERIFY(t.asText(QStringLiteral("Name")) != first);

        // a text that is not a number is refused with the usual message; nothing is written
        messages.clear();
        DBEdit energy(t, QStringLiteral("Energy"), runner, nullptr, "DBEdtEnergy");
        const double before = t.asNumber(QStringLiteral("Energy"));
        typeInto(&energy, QStringLiteral("12,5"));
        QCOMPARE(messages.log.back().text, std::string("'12,5' is not a valid floating point value"));
        QCOMPARE(energy.text(), QStringLiteral("12,5"));
        QCOMPARE(t.asNumber(QStringLiteral("Energy")), before);
        // the post runs the pending text again: still refused, still editing
        press(&nav, DBNavigator::Post);
        QCOMPARE(t.state(), TableState::Edit);
        typeInto(&energy, QStringLiteral("12.5"));
        press(&nav, DBNavigator::Post);
        QCOMPARE(t.state(), TableState::Browse);
        QCOMPARE(t.asNumber(QStringLiteral("Energy")), 12.5);
    }

    void typingIntoAFieldThatPostsOnEveryChangeKeepsTheText() {
        // The way a source window reads its record on every change of the field text.
        TSRModule m(session, messages, file());
        ActionRunner runner(messages);
        Table& t = *m.InsDevice;
        QWidget w;
        DBEdit field(t, QStringLiteral("Field"), runner, &w, "DBEdtField");
        connect(&field, &DBEdit::fieldTextChanged, &w, [&] {
            runner.run([&] {
                if (t.editing()) t.post();
                t.edit();
            });
        });
        w.show();
        QApplication::setActiveWindow(&w);
        field.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        field.selectAll();
        QTest::keyClicks(&field, QStringLiteral("1.25"));
        QCOMPARE(field.text(), QStringLiteral("1.25"));
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(t.asNumber(QStringLiteral("Field")), 1.25);
        QCOMPARE(int(messages.log.size()), 0);
    }

    void gridCellsEditTheirRecord() {
        TSRModule m(session, messages, file());
        ActionRunner runner(messages);
        Table& t = *m.SnglBeam;
        DBGrid grid(t, runner, nullptr, "SPGrid");
        int distr = -1, gamma = -1;
        for (int c = 0; c < int(t.fields().size()); ++c) {  // one column per field
            if (t.fields()[c].name == QLatin1String("PartDistribution")) distr = c;
            if (t.fields()[c].name == QLatin1String("gamma")) gamma = c;
        }
        QVERIFY(distr >= 0 && gamma >= 0);
        QAbstractItemModel* model = grid.model();
        QVERIFY(model->setData(model->index(2, distr), QStringLiteral("r"), Qt::EditRole));
        QCOMPARE(t.currentRow(), 2);
        QCOMPARE(cellText(&grid, 2, distr), QStringLiteral("r"));
        QVERIFY(!(model->flags(model->index(2, gamma)) & Qt::ItemIsEditable));
        // a text longer than the field is refused with the field named
        QVERIFY(!model->setData(model->index(2, distr), QStringLiteral("gauss"), Qt::EditRole));
        QVERIFY(QString::fromStdString(messages.log.back().text).contains(QLatin1String("PartDistribution")));
        // moving to another row stores the edit
        clickRow(&grid, 0);
        QCOMPARE(t.state(), TableState::Browse);
        t.refresh();
        QCOMPARE(t.row(2).text(QStringLiteral("PartDistribution")), QStringLiteral("r"));
        // a filter that cannot be read is refused, the old one stays
        QVERIFY(!runner.run([&] { m.InsDevice->setFilter(QStringLiteral("SrceType=Bend")); }));
        QVERIFY(!runner.run([&] { m.InsDevice->setFilter(QStringLiteral("Colour='red'")); }));
        QCOMPARE(m.InsDevice->filter(), QString());
    }

    void calculatedFieldsRefuseTyping() {
        TSRModule m(session, messages, file());
        ActionRunner runner(messages);
        DBEdit gamma(*m.CircBeam, QStringLiteral("Gamma"), runner, nullptr, "DBEdtGamma");
        QVERIFY(gamma.isReadOnly());
        QVERIFY(!runner.run([&] { m.CircBeam->setText(QStringLiteral("Gamma"), QStringLiteral("3")); }));
        QCOMPARE(m.CircBeam->state(), TableState::Browse);
    }

    // A text file, and an SQLite file whose header is intact but whose pages are not: the
    // program goes on with a seeded catalogue in memory and leaves the file as it was.
    void damagedFileIsReportedAndLeftUntouched() {
        for (const bool pages : {false, true}) {
            QFile::remove(file());
            QByteArray bytes("this is a text file, not a catalogue\n");
            if (pages) {
                { TSRModule m(session, messages, file()); }
                bytes = readFile(file());
                QVERIFY(bytes.size() > 4096);
                for (int i = 100; i < bytes.size(); ++i) bytes[i] = char(0xA5);
            }
            writeFile(file(), bytes);
            messages.clear();
            {
                TSRModule m(session, messages, file());
                QCOMPARE(int(messages.log.size()), 1);
                QVERIFY(QString::fromStdString(messages.log[0].text).contains(file()));
                QVERIFY(m.inMemory());
                QVERIFY(m.CircBeam->rowCount() >= 8);
                m.CircBeam->setText(QStringLiteral("Energy"), QStringLiteral("2"));
                m.CircBeam->post();
            }
            QCOMPARE(readFile(file()), bytes);
        }
    }

    // The whole file is judged before anything is written: a file with some of the tables
    // and a later one of wrong columns, or one with only tables of its own, is left byte
    // for byte as it was; a database of someone else's becomes a catalogue only on Yes.
    void fileIsJudgedWholeBeforeAnythingIsWritten() {
        struct Case {
            const char* statement;
            int answer;        // to "Add the catalogue's tables?": -1 not asked, 0 No, 1 Yes
            const char* said;  // in the error; nullptr: no error, the file becomes a catalogue
        } cases[] = {
            {"CREATE TABLE \"SR_ring\" (id INTEGER PRIMARY KEY, name TEXT)", -1,
             "its table SR_ring has no field"},
            {"CREATE TABLE \"Sngl_pass\" (id INTEGER PRIMARY KEY, x TEXT)", -1,
             "its table Sngl_pass has no field"},
            {"CREATE TABLE notes (id INTEGER PRIMARY KEY, t TEXT)", 0, "it is not a Lumerad catalogue"},
            {"CREATE TABLE notes (id INTEGER PRIMARY KEY, t TEXT)", 1, nullptr},
        };
        for (const Case& c : cases) {
            QFile::remove(file());
            messages.clear();
            runSql(file(), {QLatin1String(c.statement)});
            const QByteArray before = readFile(file());
            messages.answers = c.answer < 0 ? std::deque<bool>{} : std::deque<bool>{c.answer == 1};
            {
                TSRModule m(session, messages, file());
                QCOMPARE(m.inMemory(), c.said != nullptr);
                QVERIFY2(m.CircBeam->rowCount() >= 8, c.statement);  // seeded, in memory or in the file
            }
            if (c.said) QVERIFY2(readFile(file()) == before, c.statement);
            int errors = 0;
            for (const auto& e : messages.log) {
                if (e.kind != RecordingMessages::Entry::Error) continue;
                ++errors;
                QVERIFY2(c.said && QString::fromStdString(e.text).contains(QLatin1String(c.said)),
                         e.text.c_str());
                QVERIFY(QString::fromStdString(e.text).contains(QLatin1String("left as it is")));
            }
            QCOMPARE(errors, c.said ? 1 : 0);
            QCOMPARE(c.answer >= 0, std::any_of(messages.log.begin(), messages.log.end(), [](const auto& e) {
                         return e.kind == RecordingMessages::Entry::Question;
                     }));
        }
        // A catalogue that lacks a table (all others sound) gets it, keeping its own rows.
        QFile::remove(file());
        {
            TSRModule m(session, messages, file());
            m.CircBeam->setText(QStringLiteral("SR"), QStringLiteral("my ring"));
            m.CircBeam->post();
        }
        runSql(file(), {QStringLiteral("DROP TABLE \"Rad_Srce\"")});
        messages.clear();
        {
            TSRModule m(session, messages, file());
            QVERIFY(!m.inMemory());
            QVERIFY(messages.log.empty());
            QCOMPARE(m.CircBeam->asText(QStringLiteral("SR")), QStringLiteral("my ring"));
            QVERIFY(m.InsDevice->rowCount() > 5);
        }
    }

    // A record outside the physical limits is refused when posted, naming the field, the
    // edit kept; one stored by something else opens, but is refused for calculation.
    void recordLimitsOnPostAndOnUse() {
        QFile::remove(file());
        {
            TSRModule m(session, messages, file());
            Table& t = *m.CircBeam;
            const QString stored = t.asText(QStringLiteral("Energy"));
            // refused as soon as it is written into the record being edited, and when posted
            QVERIFY_THROWS_EXCEPTION(InputError, t.setText(QStringLiteral("Energy"), QStringLiteral("0")));
            try {
                t.post();
                QFAIL("a beam of 0 GeV was posted");
            } catch (const InputError& e) {
                QCOMPARE(e.field(), std::string("DBEdtEnergy"));
            }
            QVERIFY(t.editing());
            QCOMPARE(t.asText(QStringLiteral("Energy")), QStringLiteral("0"));
            t.cancel();
            QCOMPARE(t.asText(QStringLiteral("Energy")), stored);
            // a new beam without name and energy
            t.append();
            t.setText(QStringLiteral("Cur"), QStringLiteral("100"));
            QVERIFY_THROWS_EXCEPTION(InputError, t.post());
            t.cancel();
        }
        runSql(file(),
               {QStringLiteral("UPDATE \"SR_ring\" SET \"Energy\" = 0")});  // stored outside the program
        Session fresh;
        messages.clear();
        TSRModule m(fresh, messages, file());
        QVERIFY(messages.log.empty());
        QCOMPARE(m.CircBeam->asText(QStringLiteral("Energy")), QStringLiteral("0"));
        QCOMPARE(m.CircBeam->asText(QStringLiteral("Gamma")), QString());  // not calculated
        QVERIFY(fresh.beam.BeamName != m.CircBeam->asText(QStringLiteral("SR")).toStdString());  // nor used
        QVERIFY_THROWS_EXCEPTION(InputError, requireUsableRecord(*m.CircBeam));
        m.CircBeam->next();  // and it can be left
        QVERIFY(m.CircBeam->currentRow() == 1);
    }

    void readOnlyFileOpensAndAFailedWriteKeepsTheEdit() {
        { TSRModule m(session, messages, file()); }
        QFile::setPermissions(file(),
                              QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const QByteArray before = readFile(file());
        {
            TSRModule m(session, messages, file());
            QCOMPARE(int(messages.log.size()), 1);
            QVERIFY(QString::fromStdString(messages.log[0].text).contains(QLatin1String("read-only")));
            QVERIFY(m.readOnly() && !m.inMemory());
            QVERIFY(m.CircBeam->rowCount() >= 8);
            ActionRunner runner(messages);
            messages.clear();
            QVERIFY(
                runner.run([&] { m.CircBeam->setText(QStringLiteral("Energy"), QStringLiteral("2.5")); }));
            QVERIFY(!runner.run([&] { m.CircBeam->post(); }));
            QCOMPARE(int(messages.log.size()), 1);
            QVERIFY(
                QString::fromStdString(messages.log[0].text).contains(QLatin1String("could not be written")));
            QCOMPARE(m.CircBeam->state(), TableState::Edit);
            QCOMPARE(m.CircBeam->asNumber(QStringLiteral("Energy")), 2.5);
        }
        QCOMPARE(readFile(file()), before);
        QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void unreachableFolderStillStartsTheProgram() {
        writeFile(dir.filePath(QStringLiteral("plainfile")), "x");
        TSRModule m(session, messages, dir.filePath(QStringLiteral("plainfile/sub/cat.sqlite")));
        QCOMPARE(int(messages.log.size()), 1);
        QVERIFY(m.inMemory());
        QVERIFY(m.InsDevice->rowCount() > 0);
    }
};

QTEST_MAIN(CatalogueStoreTest)
#include "catalogue_store_window_test.moc"
