#include "platform/database/ConnectString.h"
#include "platform/database/RecordFields.h"
#include "platform/database/Transaction.h"
#include "platform/database/Workspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace folimar::database;

namespace {

const QString Create = QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0;pwd=secret");
const QString Open = QStringLiteral(";pwd=secret");

TableDef topicsTable() {
    TableDef table{QStringLiteral("Items"), {}, {}};
    table.field(QStringLiteral("No"), FieldType::Integer16)
        .field(QStringLiteral("Name"), FieldType::Text)
        .field(QStringLiteral("Picture"), FieldType::LongBinary, true)
        .field(QStringLiteral("Body"), FieldType::LongBinary);
    return table.index(QStringLiteral("NoIdx"), QStringLiteral("No"))
        .index(QStringLiteral("NameIdx"), QStringLiteral("Name"));
}

void addItem(View& view, int no, const QString& name, const QVariant& body = {}) {
    QVERIFY(view.addNew());
    QVERIFY(view.setValue(QStringLiteral("No"), no));
    QVERIFY(view.setValue(QStringLiteral("Name"), name));
    if (body.isValid())
        QVERIFY(view.setValue(QStringLiteral("Body"), body));
    QVERIFY(view.update());
}

QStringList namesInOrder(View& view) {
    QStringList names;
    for (view.moveFirst(); !view.eof(); view.moveNext())
        names.append(view.value(QStringLiteral("Name")).toString());
    return names;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file made with plain engine calls, without incremental vacuum: as another tool makes it.
void makePlainFile(const QString& path, int rows) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_key(db, "secret", 6), SQLITE_OK);
    QString sql = QStringLiteral("CREATE TABLE Items (No INTEGER, Name TEXT, Picture BLOB, Body BLOB);");
    for (int i = 1; i <= rows; ++i)
        sql += QStringLiteral("INSERT INTO Items VALUES (%1, 'n%1', randomblob(3000), 'b%1');").arg(i);
    QCOMPARE(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_close(db), SQLITE_OK);
}

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Workspace workspace;

    QString path(const QString& name) const { return dir.filePath(name); }

    std::unique_ptr<Database> newDatabase(const QString& name) {
        Status status;
        auto db = workspace.createDatabase(path(name), Create, &status);
        if (db)
            status = db->appendTable(topicsTable());
        return status ? std::move(db) : nullptr;
    }

private Q_SLOTS:
    void passwordIsTakenFromTheConnectText_data();
    void passwordIsTakenFromTheConnectText();
    void newFileIsEncryptedAndOpensOnlyWithItsPassword();
    void fieldsKeepTheirOrderWhileTheLargeFieldIsKeptApart();
    void partsOfAValueAreReadWithoutTheRest();
    void tableViewFollowsItsIndexAndSeeks();
    void orderedQuerySortsWithoutCaseAndTiesByAge();
    void editingWritesOnUpdateAndRefusesWhatDoesNotFit();
    void deletingMovesOnToTheNextRecord();
    void snapshotsAndReadOnlyFilesCannotBeChanged();
    void closingTheDatabaseClosesItsViews();
    void transactionUndoesUnlessCommitted();
    void compactionKeepsPasswordAndRecords_data();
    void compactionKeepsPasswordAndRecords();
    void failedCompactionLeavesNoCopy();
};

void DatabaseTest::passwordIsTakenFromTheConnectText_data() {
    QTest::addColumn<QString>("connect");
    QTest::addColumn<QByteArray>("password");
    QTest::newRow("create") << ";LANGID=0x0409;CP=1252;COUNTRY=0;pwd=58K31pR" << QByteArray("58K31pR");
    QTest::newRow("open") << ";pwd=58K31pR" << QByteArray("58K31pR");
    QTest::newRow("upper case") << ";PWD=x;y=1" << QByteArray("x");
    QTest::newRow("none") << ";LANGID=0x0409" << QByteArray();
}

void DatabaseTest::passwordIsTakenFromTheConnectText() {
    QFETCH(QString, connect);
    QFETCH(QByteArray, password);
    QCOMPARE(passwordOf(connect), password);
}

void DatabaseTest::newFileIsEncryptedAndOpensOnlyWithItsPassword() {
    QVERIFY(newDatabase(QStringLiteral("new.db")));
    const QByteArray bytes = contentOf(path(QStringLiteral("new.db")));
    QVERIFY(!bytes.isEmpty());
    QVERIFY(!bytes.contains("SQLite format 3"));
    QVERIFY(!bytes.contains("Items"));

    Status status;
    QVERIFY(workspace.openDatabase(path(QStringLiteral("new.db")), {}, Open, &status));
    for (const QString& wrong : {QStringLiteral(";pwd=other"), QString()}) {
        QVERIFY(!workspace.openDatabase(path(QStringLiteral("new.db")), {}, wrong, &status));
        QVERIFY(!status);
    }
    QCOMPARE(contentOf(path(QStringLiteral("new.db"))), bytes);
    QVERIFY(!workspace.createDatabase(path(QStringLiteral("new.db")), Create, &status));
    QCOMPARE(status.code(), errors::Exists);
    QVERIFY(!workspace.openDatabase(path(QStringLiteral("missing.db")), {}, Open, &status));
    QVERIFY(!QFile::exists(path(QStringLiteral("missing.db"))));
}

void DatabaseTest::fieldsKeepTheirOrderWhileTheLargeFieldIsKeptApart() {
    auto db = newDatabase(QStringLiteral("order.db"));
    QVERIFY(db);
    auto names = [&] {
        QStringList list;
        for (const FieldDef& field : db->fields(QStringLiteral("Items")))
            list.append(field.name);
        return list;
    };
    QCOMPARE(names(), QStringList({"No", "Name", "Picture", "Body"}));
    const QList<FieldDef> fields = db->fields(QStringLiteral("Items"));
    QCOMPARE(fields[0].type, FieldType::Integer16);
    QCOMPARE(fields[1].type, FieldType::Text);
    QCOMPARE(fields[1].size, 255);
    QCOMPARE(fields[2].type, FieldType::LongBinary);
    QVERIFY(fields[2].storedApart && !fields[3].storedApart);
    QCOMPARE(db->indexNames(QStringLiteral("Items")), QStringList({"NoIdx", "NameIdx"}));

    // The picture lives in its own table: the record's column stays empty, renumbering
    // the record leaves the picture where it is, and deleting the record drops it.
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    QVERIFY(view->addNew());
    view->setValue(QStringLiteral("No"), 1);
    view->setValue(QStringLiteral("Picture"), QByteArray(5000, 'p'));
    QVERIFY(view->update());
    Connection& connection = db->connection();
    const auto count = [&](const QString& sql) { return connection.scalar(sql).toInt(); };
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Items WHERE Picture IS NULL")), 1);
    QCOMPARE(count(QStringLiteral("SELECT length(Value) FROM Items_Picture")), 5000);
    view->moveFirst();
    QVERIFY(view->edit());
    view->setValue(QStringLiteral("No"), 2);
    QVERIFY(view->update());
    QCOMPARE(view->value(QStringLiteral("Picture")).toByteArray(), QByteArray(5000, 'p'));
    QVERIFY(view->remove());
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Items_Picture")), 0);
    Status status;

    // An existing field fails without harm; a new one comes last.
    status = db->appendField(QStringLiteral("Items"), {QStringLiteral("name"), FieldType::Text});
    QCOMPARE(status.code(), errors::Exists);
    status = db->appendField(QStringLiteral("Items"), {QStringLiteral("Extra"), FieldType::Text});
    QVERIFY2(status, qPrintable(status.message()));
    QCOMPARE(names(), QStringList({"No", "Name", "Picture", "Body", "Extra"}));
}

void DatabaseTest::partsOfAValueAreReadWithoutTheRest() {
    auto db = newDatabase(QStringLiteral("parts.db"));
    QVERIFY(db);
    QByteArray picture(70000, Qt::Uninitialized);
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7 % 251);
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    addItem(*view, 1, QStringLiteral("with"), QByteArray("body bytes"));
    view->moveFirst();
    QVERIFY(view->edit() && view->setValue(QStringLiteral("Picture"), picture) && view->update());
    addItem(*view, 2, QStringLiteral("without"));
    Connection& connection = db->connection();
    const auto rowOf = [&](const QString& name) {
        return connection.scalar(QStringLiteral("SELECT rowid FROM Items WHERE Name = '%1'").arg(name))
            .toLongLong();
    };
    const QList<FieldDef> fields = db->fields(QStringLiteral("Items"));
    const FieldDef& apart = fields[2];
    const FieldDef& inRecord = fields[3];
    const qint64 with = rowOf(QStringLiteral("with"));
    const qint64 without = rowOf(QStringLiteral("without"));
    struct Case {
        const FieldDef& field;
        qint64 row, offset, count;
        QByteArray bytes;
        qint64 size;
        bool ok;
    };
    const Case cases[] = {
        {apart, with, 0, 16384, picture.first(16384), 70000, true},
        {apart, with, 65000, 4000, picture.mid(65000, 4000), 70000, true},
        {apart, with, 69000, 4000, picture.mid(69000), 70000, true}, // cut at the end
        {apart, with, 80000, 10, {}, 70000, true},                   // past the end
        {apart, with, 0, 100000, picture, 70000, true},
        {inRecord, with, 5, 100, "bytes", 10, true},
        {apart, without, 0, 10, {}, 0, true}, // no value
        {inRecord, without, 0, 10, {}, 0, true},
        {apart, 999, 0, 10, {}, 0, false}, // no record
        {inRecord, 999, 0, 10, {}, 0, false},
    };
    for (const Case& c : cases) {
        Status status;
        const FieldPart part = readRecordFieldPart(connection, QStringLiteral("Items"), c.field,
                                                   c.row, c.offset, c.count, &status);
        const QByteArray what = QStringLiteral("%1 row %2 from %3").arg(c.field.name).arg(c.row)
                                    .arg(c.offset).toUtf8();
        QVERIFY2(part.bytes == c.bytes, what.constData());
        QVERIFY2(part.size == c.size, what.constData());
        QVERIFY2(status.isOk() == c.ok, what.constData());
    }
}

void DatabaseTest::tableViewFollowsItsIndexAndSeeks() {
    auto db = newDatabase(QStringLiteral("seek.db"));
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    QVERIFY(view);
    QVERIFY(view->bof() && view->eof());
    addItem(*view, 5, QStringLiteral("five"));
    addItem(*view, 2, QStringLiteral("two"));
    addItem(*view, 5, QStringLiteral("second five"));
    addItem(*view, -3, QStringLiteral("minus"));
    QCOMPARE(view->recordCount(), 4);

    QVERIFY(!view->seek(2)); // no index yet
    QVERIFY(view->setIndex(QStringLiteral("NoIdx")));
    QCOMPARE(namesInOrder(*view), QStringList({"minus", "two", "five", "second five"}));
    QVERIFY(view->seek(5));
    QVERIFY(!view->noMatch());
    QCOMPARE(view->value(QStringLiteral("Name")).toString(), QStringLiteral("five"));
    QVERIFY(view->seek(7));
    QVERIFY(view->noMatch());
    QCOMPARE(view->value(QStringLiteral("Name")).toString(), QStringLiteral("five"));

    // A changed key moves the record within the order, and it stays current.
    QVERIFY(view->edit());
    QVERIFY(view->setValue(QStringLiteral("No"), 1));
    QVERIFY(view->update());
    QCOMPARE(view->value(QStringLiteral("No")).toInt(), 1);
    view->moveNext();
    QCOMPARE(view->value(QStringLiteral("Name")).toString(), QStringLiteral("two"));

    QVERIFY(view->setIndex(QStringLiteral("NameIdx")));
    QVERIFY(view->seek(QStringLiteral("TWO")));
    QVERIFY(!view->noMatch());
    QCOMPARE(view->value(QStringLiteral("No")).toInt(), 2);
    QCOMPARE(view->setIndex(QStringLiteral("Nope")).code(), errors::NoIndex);

    const Bookmark mark = view->bookmark();
    view->moveFirst();
    QVERIFY(view->setBookmark(mark));
    QCOMPARE(view->value(QStringLiteral("Name")).toString(), QStringLiteral("two"));
}

void DatabaseTest::orderedQuerySortsWithoutCaseAndTiesByAge() {
    auto db = newDatabase(QStringLiteral("query.db"));
    auto table = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    for (const char* name : {"beta", "Alpha", "alpha", "Beta", "gamma"})
        addItem(*table, 1, QString::fromLatin1(name));
    auto byName = db->openQuery(QStringLiteral("Select * From Items Order by Name ;"), ViewKind::Dynaset);
    QVERIFY(byName);
    QCOMPARE(byName->kind(), ViewKind::Dynaset);
    QCOMPARE(namesInOrder(*byName), QStringList({"Alpha", "alpha", "beta", "Beta", "gamma"}));
    // A dynaset keeps its records; what it adds itself comes last.
    addItem(*byName, 9, QStringLiteral("aardvark"));
    QCOMPARE(namesInOrder(*byName).last(), QStringLiteral("aardvark"));
    QVERIFY(byName->requery());
    QCOMPARE(namesInOrder(*byName).first(), QStringLiteral("aardvark"));

    Status status;
    QVERIFY(!db->openQuery(QStringLiteral("Delete From Items"), ViewKind::Dynaset, &status));
    QCOMPARE(status.code(), errors::BadQuery);
    QVERIFY(!db->openQuery(QStringLiteral("Select * From Items Order by Nothing"), ViewKind::Dynaset, &status));
}

void DatabaseTest::editingWritesOnUpdateAndRefusesWhatDoesNotFit() {
    auto db = newDatabase(QStringLiteral("edit.db"));
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    const QByteArray picture("\xff\xd8\x00jpeg\x00bytes", 13);
    QVERIFY(view->addNew());
    QVERIFY(view->setValue(QStringLiteral("No"), 32767));
    QVERIFY(view->setValue(QStringLiteral("Picture"), picture));
    QVERIFY(view->setValue(QStringLiteral("Body"), QStringLiteral("text in a binary field")));
    QCOMPARE(view->setValue(QStringLiteral("No"), 32768).code(), errors::Overflow);
    QCOMPARE(view->setValue(QStringLiteral("No"), -32769).code(), errors::Overflow);
    QCOMPARE(view->setValue(QStringLiteral("Name"), QString(256, QLatin1Char('x'))).code(), errors::Overflow);
    QCOMPARE(view->setValue(QStringLiteral("Missing"), 1).code(), errors::NoSuchField);
    QCOMPARE(view->recordCount(), 0); // nothing written before update
    QVERIFY(view->update());
    view->moveFirst();
    QCOMPARE(view->value(QStringLiteral("No")), QVariant(32767));
    QCOMPARE(view->value(QStringLiteral("Picture")).toByteArray(), picture);
    QCOMPARE(view->value(QStringLiteral("Body")), QVariant(QStringLiteral("text in a binary field")));
    QCOMPARE(view->fieldSize(QStringLiteral("Picture")), qint64(picture.size()));
    Status status;
    QVERIFY(!view->value(QStringLiteral("Name"), &status).isValid());
    QVERIFY(status); // NULL reads fine
    view->value(QStringLiteral("Missing"), &status);
    QCOMPARE(status.code(), errors::NoSuchField);

    QCOMPARE(view->setValue(QStringLiteral("Name"), QStringLiteral("x")).code(), errors::NotEditing);
    QVERIFY(view->edit());
    QVERIFY(view->setValue(QStringLiteral("Picture"), QByteArray()));
    view->cancelUpdate();
    QCOMPARE(view->value(QStringLiteral("Picture")).toByteArray(), picture);
    QVERIFY(view->edit());
    QVERIFY(view->setValue(QStringLiteral("Picture"), QByteArray()));
    QVERIFY(view->update());
    QCOMPARE(view->fieldSize(QStringLiteral("Picture")), qint64(0));
    QVERIFY(view->value(QStringLiteral("Picture")).isValid()); // empty, not NULL
}

void DatabaseTest::deletingMovesOnToTheNextRecord() {
    auto db = newDatabase(QStringLiteral("delete.db"));
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    for (int i = 1; i <= 4; ++i)
        addItem(*view, i, QString::number(i));
    QVERIFY(view->setIndex(QStringLiteral("NoIdx")));
    // Delete every second record while walking the table.
    for (view->moveFirst(); !view->eof(); view->moveNext()) {
        if (view->value(QStringLiteral("No")).toInt() % 2 == 0)
            QVERIFY(view->remove());
    }
    QCOMPARE(namesInOrder(*view), QStringList({"1", "3"}));
    view->moveLast();
    QVERIFY(view->remove());
    QCOMPARE(view->value(QStringLiteral("No"), nullptr), QVariant());
    view->moveNext();
    QVERIFY(view->eof());
    QCOMPARE(view->edit().code(), errors::NoCurrentRecord);
}

void DatabaseTest::snapshotsAndReadOnlyFilesCannotBeChanged() {
    {
        auto db = newDatabase(QStringLiteral("ro.db"));
        addItem(*db->openTable(QStringLiteral("Items"), ViewKind::Table), 1, QStringLiteral("one"));
        auto snapshot = db->openTable(QStringLiteral("Items"), ViewKind::Snapshot);
        QCOMPARE(snapshot->addNew().code(), errors::NotUpdatable);
        QCOMPARE(snapshot->edit().code(), errors::NotUpdatable);
        QCOMPARE(snapshot->remove().code(), errors::NotUpdatable);
        QVERIFY(!snapshot->setIndex(QStringLiteral("NoIdx")));
        QCOMPARE(snapshot->value(QStringLiteral("Name")).toString(), QStringLiteral("one"));
    }
    const QByteArray before = contentOf(path(QStringLiteral("ro.db")));
    auto db = workspace.openDatabase(path(QStringLiteral("ro.db")), {true, true}, Open);
    QVERIFY(db && db->isReadOnly());
    auto table = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    QVERIFY(!table->isUpdatable());
    QCOMPARE(table->addNew().code(), errors::NotUpdatable);
    QVERIFY(!db->appendField(QStringLiteral("Items"), {QStringLiteral("New"), FieldType::Text}));
    db->close();
    QCOMPARE(contentOf(path(QStringLiteral("ro.db"))), before);
}

void DatabaseTest::closingTheDatabaseClosesItsViews() {
    auto db = newDatabase(QStringLiteral("close.db"));
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    addItem(*view, 1, QStringLiteral("one"));
    QVERIFY(db->close());
    QVERIFY(!view->isOpen());
    QVERIFY(view->eof());
    Status status;
    QVERIFY(!view->value(QStringLiteral("Name"), &status).isValid());
    QCOMPARE(status.code(), errors::NoView);
    QVERIFY(!view->addNew() || !view->update());
    QCOMPARE(view->setIndex(QStringLiteral("NoIdx")).code(), errors::NoView);
    db.reset();
    view->moveNext(); // the view outlives its database without harm
}

void DatabaseTest::transactionUndoesUnlessCommitted() {
    auto db = newDatabase(QStringLiteral("tx.db"));
    auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
    {
        Transaction transaction(db->connection());
        QVERIFY(transaction.status());
        addItem(*view, 1, QStringLiteral("undone"));
    }
    QCOMPARE(view->recordCount(), 0);
    {
        Transaction transaction(db->connection());
        addItem(*view, 2, QStringLiteral("kept"));
        QVERIFY(transaction.commit());
    }
    QCOMPARE(namesInOrder(*view), QStringList({"kept"}));
}

void DatabaseTest::compactionKeepsPasswordAndRecords_data() {
    QTest::addColumn<bool>("madeHere");
    QTest::newRow("made here (copied and vacuumed)") << true;
    QTest::newRow("made elsewhere (exported)") << false;
}

void DatabaseTest::compactionKeepsPasswordAndRecords() {
    QFETCH(bool, madeHere);
    const QString source = path(QStringLiteral("compact-%1.db").arg(madeHere));
    const QString target = path(QStringLiteral("compact-%1.mdb").arg(madeHere));
    if (madeHere) {
        auto db = workspace.createDatabase(source, Create);
        QVERIFY(db->appendTable(topicsTable()));
        auto view = db->openTable(QStringLiteral("Items"), ViewKind::Table);
        for (int i = 1; i <= 40; ++i) {
            QVERIFY(view->addNew());
            view->setValue(QStringLiteral("No"), i);
            view->setValue(QStringLiteral("Name"), QStringLiteral("n%1").arg(i));
            view->setValue(QStringLiteral("Picture"), QByteArray(3000, char(i)));
            QVERIFY(view->update());
        }
    } else {
        makePlainFile(source, 40);
    }
    {
        auto db = workspace.openDatabase(source, {}, Open);
        QVERIFY(db->connection().exec(QStringLiteral("DELETE FROM Items WHERE No > 10 OR No = 3")));
    }
    const qint64 sourceSize = QFileInfo(source).size();
    QVERIFY(workspace.compactDatabase(source, target, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), Open));
    QVERIFY(QFileInfo(target).size() < sourceSize / 2);
    QVERIFY(!workspace.openDatabase(target, {}, QStringLiteral(";pwd=other")));
    auto compacted = workspace.openDatabase(target, {}, Open);
    QVERIFY(compacted);
    auto view = compacted->openTable(QStringLiteral("Items"), ViewKind::Table);
    QCOMPARE(view->recordCount(), 9);
    QCOMPARE(namesInOrder(*view).first(), QStringLiteral("n1"));
    // Each record keeps its own picture, past the gap the deletion left.
    for (view->moveFirst(); madeHere && !view->eof(); view->moveNext()) {
        const int no = view->value(QStringLiteral("No")).toInt();
        QCOMPARE(view->value(QStringLiteral("Picture")).toByteArray(), QByteArray(3000, char(no)));
    }
    // Every compacted file can be compacted quickly the next time.
    QCOMPARE(compacted->connection().scalar(QStringLiteral("PRAGMA auto_vacuum")).toInt(), 2);
}

void DatabaseTest::failedCompactionLeavesNoCopy() {
    QVERIFY(newDatabase(QStringLiteral("keep.db")));
    const QByteArray before = contentOf(path(QStringLiteral("keep.db")));
    // Another password: the copy cannot be read, so it is not kept.
    QVERIFY(!workspace.compactDatabase(path(QStringLiteral("keep.db")), path(QStringLiteral("out.mdb")),
                                       {}, QStringLiteral(";pwd=other")));
    QVERIFY(!QFile::exists(path(QStringLiteral("out.mdb"))));
    // A target that exists is not overwritten.
    QFile existing(path(QStringLiteral("taken.mdb")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    QCOMPARE(workspace.compactDatabase(path(QStringLiteral("keep.db")), path(QStringLiteral("taken.mdb")), {}, Open).code(),
             errors::Exists);
    QCOMPARE(contentOf(path(QStringLiteral("taken.mdb"))), QByteArray("mine"));
    QCOMPARE(contentOf(path(QStringLiteral("keep.db"))), before);
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
