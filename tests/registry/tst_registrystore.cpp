#include "platform/registry/RegistryStore.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar::platform;

namespace {

const QByteArray Header = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray Key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                       "Paths\\Folimar.exe]\r\n";

QString readAppPath(const QString& storePath, const QString& valueName = {}) {
    return ReadRegistryString(storePath, QLatin1String(LocalMachineRoot),
                              QLatin1String(AppPathsKey), valueName);
}

} // namespace

class TestRegistryStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsOnlyPlainStringsThatFit_data() {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("expected");
        const QByteArray ok = "@=\"/opt/folimar/Folimar.exe\"\r\n";
        const QString okPath = QStringLiteral("/opt/folimar/Folimar.exe");

        QTest::newRow("plain string") << Header + Key + ok << okPath;
        QTest::newRow("REGEDIT4, LF only, lower-case key")
            << QByteArray("REGEDIT4\n\n") + Key.toLower().replace("\r\n", "\n") + "@=\"/a/b\"\n"
            << "/a/b";
        QTest::newRow("escapes") << Header + Key + "@=\"/x \\\"y\\\"\\\\z\"\r\n"
                                 << "/x \"y\"\\z";
        QTest::newRow("comments and other values")
            << Header + "; made by the installer\r\n" + Key + "\"Path\"=\"/opt\"\r\n" + ok
            << okPath;
        QTest::newRow("hex value over several lines")
            << Header + Key + "\"Path\"=hex(2):2f,00,6f,00,\\\r\n  70,00,74,00,\\\r\n  00,00\r\n" +
                   ok
            << okPath;
        QTest::newRow("later assignment wins") << Header + Key + "@=\"/first\"\r\n" + ok << okPath;
        QTest::newRow("value under another key")
            << Header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n" + ok << QString();
        QTest::newRow("key deleted afterwards")
            << Header + Key + ok + "[-" + Key.mid(1) << QString();
        QTest::newRow("expandable string") << Header + Key + "@=hex(2):2f,00,61,00,00,00\r\n"
                                           << QString();
        QTest::newRow("number") << Header + Key + "@=dword:00000001\r\n" << QString();
        QTest::newRow("quote left open") << Header + Key + "@=\"/opt/folimar\r\n" << QString();
        QTest::newRow("unknown escape") << Header + Key + "@=\"/opt\\n\"\r\n" << QString();
        QTest::newRow("no header") << Key + ok << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x81\x00[\xc3", 7) << QString();

        const QByteArray fits = '/' + QByteArray(254, 'a');
        QTest::newRow("255 bytes") << Header + Key + "@=\"" + fits + "\"\r\n"
                                   << QString::fromLatin1(fits);
        QTest::newRow("256 bytes") << Header + Key + "@=\"" + fits + "a\"\r\n" << QString();
        // 128 characters, but 256 bytes: the buffer counts bytes.
        QTest::newRow("256 bytes of accented letters")
            << Header + Key + "@=\"" + QString(128, QChar(0xe9)).toUtf8() + "\"\r\n"
            << QString();
    }
    void readsOnlyPlainStringsThatFit() {
        QFETCH(QByteArray, store);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.reg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(store), store.size());
        file.close();
        QCOMPARE(readAppPath(path), expected);
    }

    void readsExportsInUtf16AndNamedValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.reg"));
        QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
        const QString text =
            QString::fromLatin1(Header + Key) +
            QStringLiteral("@=\"/opt/f\u00e9/Folimar.exe\"\r\n\"PATH\"=\"/p\"\r\n");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(toUtf16(text)) > 0);
        file.close();
        QCOMPARE(readAppPath(path), QStringLiteral("/opt/f\u00e9/Folimar.exe"));
        QCOMPARE(readAppPath(path, QStringLiteral("Path")), QStringLiteral("/p"));
        QCOMPARE(readAppPath(path, QStringLiteral("Missing")), QString());
    }

    void missingStoreGivesEmptyText() {
        QTemporaryDir dir;
        QCOMPARE(readAppPath(dir.filePath(QStringLiteral("none.reg"))), QString());
        QCOMPARE(readAppPath(dir.path()), QString()); // a folder, not a file
    }
};

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
