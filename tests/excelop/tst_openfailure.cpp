// Why a file gives no workbook, told in plain words from the file itself, on real files that the
// office refuses.
#include "excelop/openfailure.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

class OpenFailureTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString written(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(bytes);
        return file.fileName();
    }

private slots:
    void reasons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QVERIFY(folder.isValid());
        QTest::newRow("missing") << folder.filePath("gone.xlsx") << "文件不存在";
        QTest::newRow("encrypted by Excel") << fixturePath("xlnt-5_encrypted_agile.xlsx") << "文件有密码保护";
        QTest::newRow("encrypted by LibreOffice") << fixturePath("xlnt-6_encrypted_libre.xlsx") << "文件有密码保护";
        QTest::newRow("a presentation") << fixturePath("xlnt-1_powerpoint_presentation.xlsx") << "不是电子表格文件";
        QTest::newRow("text") << written("notes.xlsx", "just some words\n") << "不是电子表格文件";
        QTest::newRow("empty") << written("empty.xlsx", QByteArray()) << "文件已损坏";
        const QByteArray workbook = fileBytes(fixturePath("xlrd-sample.xlsx"));
        QTest::newRow("cut short") << written("cut.xlsx", workbook.left(workbook.size() / 2)) << "文件已损坏";
        const QByteArray xls = fileBytes(fixturePath("xlrd-profiles.xls"));
        QTest::newRow("xls cut short") << written("cut.xls", xls.left(xls.size() / 3)) << "文件已损坏";
    }
    void reasons()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QCOMPARE(whyWorkbookDidNotOpen(path), reason);
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        const QString path = written("locked.xlsx", fileBytes(fixturePath("xlrd-sample.xlsx")));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QCOMPARE(whyWorkbookDidNotOpen(path), QStringLiteral("没有读取权限"));
    }
};

QTEST_MAIN(OpenFailureTest)
#include "tst_openfailure.moc"
