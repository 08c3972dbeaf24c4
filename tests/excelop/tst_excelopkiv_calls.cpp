// What ExcelOpKiv asks of the automation object, seen through a recording stand-in server.
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "recordingserver.h"
#include "testsupport.h"

#include <QtTest>

class ExcelOpKivCallsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }
    void init() { KivMessageBox::clearShownTexts(); }

    void startHidesTheApplicationAndSilencesAlerts()
    {
        RecordingServer server;
        {
            ExcelOpKiv link;
            QCOMPARE(server.log->calls, QStringList({"app.Visible=false", "app.DisplayAlerts=false"}));
        }
        // Never opened a workbook: closing only makes the application visible.
        QCOMPARE(server.log->calls.last(), QStringLiteral("app.Visible=true"));
        QCOMPARE(server.log->calls.size(), 3);
    }

    void secondWorkbookClosesTheFirstWithoutSaving()
    {
        RecordingServer server;
        ExcelOpKiv link;
        server.log->calls.clear();
        link.openWorkBook(QStringLiteral("first.xlsx"));
        link.openWorkBook(QStringLiteral("second.xlsx"));
        const QStringList& calls = server.log->calls;
        const int first = calls.indexOf("app.WorkBooks.Open(first.xlsx)");
        const int second = calls.indexOf("app.WorkBooks.Open(second.xlsx)");
        QVERIFY(first >= 0 && second > first);
        QCOMPARE(calls.mid(first, second - first).filter(".Close(").size(), 1);
        QVERIFY2(calls.filter("Save").isEmpty(), qPrintable(calls.join(" | ")));
    }

    void versionDecidesWhetherXlsxOpens_data()
    {
        QTest::addColumn<QVariant>("version");
        QTest::addColumn<bool>("xlsx");
        QTest::newRow("11.0") << QVariant(QStringLiteral("11.0")) << false;
        QTest::newRow("12.0") << QVariant(QStringLiteral("12.0")) << true;
        QTest::newRow("16.0") << QVariant(QStringLiteral("16.0")) << true;
        QTest::newRow("number 12") << QVariant(12.0) << true;
        QTest::newRow("empty") << QVariant(QString()) << false;
        QTest::newRow("words") << QVariant(QStringLiteral("sixteen")) << false;
    }
    void versionDecidesWhetherXlsxOpens()
    {
        QFETCH(QVariant, version);
        QFETCH(bool, xlsx);
        RecordingServer server;
        server.log->version = version;
        ExcelOpKiv link;
        QCOMPARE(link.isXlsxSupported(), xlsx);
    }

    void missingApplicationOrWorkbookIsReported()
    {
        AutomationRegistry::registerServer(QStringLiteral("Excel.Application"), [] { return nullptr; });
        {
            ExcelOpKiv noApplication;
            noApplication.openSheets();
            QCOMPARE(noApplication.getSheetNames(), QStringList());
            noApplication.openWorkBook(QStringLiteral("x.xlsx"));
            QVERIFY(!noApplication.saveWorkbook());
        }
        AutomationRegistry::unregisterServer(QStringLiteral("Excel.Application"));
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList({"打开Excel文件时出错:(this->excel==null)",
                              "打开Excel文件获取sheet名字时出错:(this->excel==null)||(this->workbook==null)"}));
    }

    // The source is looked up once; its copy goes before it and is then named.
    void copySheetPlacesTheCopyBeforeItselfAndNamesIt()
    {
        RecordingServer server;
        ExcelOpKiv link;
        link.openWorkBook(QStringLiteral("book.xlsx"));
        server.log->calls.clear();
        link.copySheet(QStringLiteral("Data"), QStringLiteral("North"));
        const QStringList& calls = server.log->calls;
        QCOMPARE(calls.count("app.ActiveWorkBook.Sheets(Data)"), 1);
        const int copied = calls.indexOf("app.ActiveWorkBook.Sheets(Data).Copy(app.ActiveWorkBook.Sheets(Data))");
        const int named = calls.indexOf("app.ActiveWorkBook.ActiveSheet.Name=North");
        QVERIFY2(copied >= 0 && named > copied, qPrintable(calls.join(" | ")));
    }
};

QTEST_MAIN(ExcelOpKivCallsTest)
#include "tst_excelopkiv_calls.moc"
