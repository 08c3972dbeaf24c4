// The readers of zip and compound files without the office: one directory reader serves both the
// package reading and the check before a save, so both take and refuse the same files.
#include "fileformat/containercheck.h"
#include "fileformat/littleendian.h"
#include "fileformat/zippackage.h"
#include "testsupport.h"
#include "zipwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool isWhole(const QByteArray& bytes, bool zip, QString* why = nullptr)
{
    const uchar* data = reinterpret_cast<const uchar*>(bytes.constData());
    return zip ? ContainerCheck::isWholeZip(data, quint64(bytes.size()), why)
               : ContainerCheck::isWholeCompound(data, quint64(bytes.size()), why);
}

} // namespace

class ContainerCheckTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString writtenPackage()
    {
        const QString path = folder.filePath(QStringLiteral("package.zip"));
        ZipWriter writer(path);
        ZipPackage::Entry stored;
        stored.name = "mimetype";
        writer.add(stored, "application/vnd.oasis.opendocument.spreadsheet");
        writer.addDeflated("content.xml", QByteArray("<office:document-content>").repeated(400));
        return writer.finish() ? path : QString();
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void numbersReadAtAnyOffset()
    {
        const uchar bytes[] = {0xFF, 0x34, 0x12, 0x78, 0x56, 0xF0, 0xDE, 0xBC, 0x9A};
        QCOMPARE(LittleEndian::u16(bytes + 1), quint16(0x1234));
        QCOMPARE(LittleEndian::u32(bytes + 1), quint32(0x56781234));
        QCOMPARE(LittleEndian::u64(bytes + 1), quint64(0x9ABCDEF056781234ULL));
    }

    // A package the reader opens passes the check, and what it holds unpacks as written.
    void writtenPackagesReadBack()
    {
        const QString path = writtenPackage();
        QVERIFY(!path.isEmpty());
        ZipPackage package;
        QVERIFY2(package.open(path), qPrintable(package.problem()));
        QCOMPARE(package.entries().size(), 2);
        QCOMPARE(package.unpacked("mimetype"), QByteArray("application/vnd.oasis.opendocument.spreadsheet"));
        QCOMPARE(package.unpacked("content.xml"), QByteArray("<office:document-content>").repeated(400));
        QString why;
        QVERIFY2(isWhole(fileBytes(path), true, &why), qPrintable(why));
    }

    // Cut or changed packages are refused by both, each with a reason.
    void damagedPackagesAreRefused()
    {
        const QByteArray bytes = fileBytes(writtenPackage());
        for (const int cut : {1, 21, 22, 100, int(bytes.size() / 2), int(bytes.size() - 1)}) {
            QString why;
            QVERIFY2(!isWhole(bytes.left(cut), true, &why), qPrintable(QString::number(cut)));
            QVERIFY(!why.isEmpty());
            const QString path = folder.filePath(QStringLiteral("cut.zip"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes.left(cut)) == cut);
            file.close();
            ZipPackage package;
            QVERIFY2(!package.open(path), qPrintable(QString::number(cut)));
            QVERIFY(!package.problem().isEmpty());
        }
        // A byte of the packed data: the directory still reads, the checksum does not match.
        QByteArray changed = bytes;
        const int inData = bytes.indexOf("content.xml") + 20;
        changed[inData] = char(changed[inData] ^ 0x5A);
        QString why;
        QVERIFY(!isWhole(changed, true, &why));
        QVERIFY2(why.contains(QLatin1String("checksum")), qPrintable(why));
    }

    void compoundFilesWholeOrCut()
    {
        const QByteArray bytes = fileBytes(fixturePath(QStringLiteral("xlrd-namesdemo.xls")));
        QString why;
        QVERIFY2(isWhole(bytes, false, &why), qPrintable(why));
        QVERIFY(!isWhole(bytes.left(511), false));
        QVERIFY(!isWhole(bytes.left(bytes.size() / 2), false));
        QVERIFY(!isWhole(bytes, true));
    }
};

QTEST_MAIN(ContainerCheckTest)
#include "tst_containercheck.moc"
