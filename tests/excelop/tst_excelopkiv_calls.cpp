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
        QCOMPARE(server.log->calls,
                 QStringList({"app.WorkBooks.Open(first.xlsx)", "app.ActiveWorkBook.Close()",
                              "app.WorkBooks.Open(second.xlsx)"}));
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

    void copySheetPlacesTheCopyBeforeItselfAndNamesIt()
    {
        RecordingServer server;
        ExcelOpKiv link;
        link.openWorkBook(QStringLiteral("book.xlsx"));
        server.log->calls.clear();
        link.copySheet(QStringLiteral("Data"), QStringLiteral("North"));
        QCOMPARE(server.log->calls.mid(0, 4),
                 QStringList({"app.ActiveWorkBook.Sheets(Data)", "app.ActiveWorkBook.Sheets(Data)",
                              "app.ActiveWorkBook.Sheets.Copy(<object>)",
                              "app.ActiveWorkBook.ActiveSheet.Name=North"}));
    }
};

QTEST_MAIN(ExcelOpKivCallsTest)
#include "tst_excelopkiv_calls.moc"
