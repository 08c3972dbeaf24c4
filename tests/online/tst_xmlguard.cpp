// The check a download passes before it is kept as one of the site's documents: any document
// element but a web page's, well-formed, not nested too deep.

#include "online/xmlguard.h"
#include "testsupport.h"

#include <QtTest>

class TestXmlGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void siteDocuments_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("accepted");
        const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        QTest::newRow("the list's own element") << declaration + "<pcad><ad/></pcad>" << true;
        QTest::newRow("the update document's own element")
            << declaration + "<updateKiv><VERSIONCODE>2</VERSIONCODE></updateKiv>" << true;
        QTest::newRow("another name") << QByteArray("<update><VERSIONCODE>2</VERSIONCODE></update>") << true;
        QTest::newRow("a name that only starts like html") << QByteArray("<htmlads/>") << true;
        QTest::newRow("a prefixed name") << QByteArray("<k:list xmlns:k=\"urn:k\"/>") << true;
        QTest::newRow("GBK, as its declaration says")
            << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><\xb9\xe3\xb8\xe6/>") << true;

        QTest::newRow("html") << QByteArray("<html><VERSIONCODE>9</VERSIONCODE></html>") << false;
        QTest::newRow("HTML") << QByteArray("<HTML><BODY>Log in</BODY></HTML>") << false;
        QTest::newRow("XHTML with its doctype")
            << QByteArray("<!DOCTYPE html><html xmlns=\"http://www.w3.org/1999/xhtml\"><body/></html>") << false;
        QTest::newRow("prefixed html") << QByteArray("<h:Html xmlns:h=\"http://www.w3.org/1999/xhtml\"/>") << false;
        QTest::newRow("a page that is not XML")
            << QByteArray("<!DOCTYPE html><html><head><meta charset=utf-8></head></html>") << false;
        QTest::newRow("cut short") << QByteArray("<pcad><ad><NAME>x</NAME>") << false;
        QTest::newRow("two document elements") << QByteArray("<pcad/><pcad/>") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false;
        QTest::newRow("nested deeper than any site document")
            << "<pcad>" + QByteArray("<a>").repeated(deepestDownloadedXml)
                   + QByteArray("</a>").repeated(deepestDownloadedXml) + "</pcad>"
            << false;
    }
    void siteDocuments()
    {
        QFETCH(QByteArray, xml);
        QFETCH(bool, accepted);
        QCOMPARE(isSiteDocument(xml), accepted);
    }
};

QTEST_MAIN(TestXmlGuard)
#include "tst_xmlguard.moc"
