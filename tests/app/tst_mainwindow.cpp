// The launcher: its form, the Windows 10 notice and the tool windows it opens.
#include "app/mainwindow.h"
#include "app/windowsversion.h"
#include "testsupport.h"
#include "tools/compare/duzozodkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }
    void cleanup() { overrideWindowsReleaseForTests(std::nullopt); }

    void formHasItsTextsAndPlaces()
    {
        MainWindow launcher;
        QCOMPARE(launcher.windowTitle(), QStringLiteral("KivExcel工具箱"));
        QCOMPARE(launcher.size(), QSize(367, 510));
        QCOMPARE(launcher.minimumSize(), QSize(350, 450));
        auto compare = launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"));
        QVERIFY(compare);
        QCOMPARE(compare->text(), QStringLiteral("Excel对比"));
        QCOMPARE(compare->geometry(), QRect(80, 180, 201, 31));
        QCOMPARE(compare->font().pointSize(), 12);
        QCOMPARE(launcher.findChild<QPushButton*>(QStringLiteral("splitExcelByColFunButtonpl"))->text(),
                 QStringLiteral("按列分割为多个表"));
        QCOMPARE(launcher.findChild<QPushButton*>(QStringLiteral("splithExcelBySeetFunButton"))->text(),
                 QStringLiteral("拆分每个表为单独的文件"));
        QCOMPARE(launcher.findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("请选择功能："));
        QCOMPARE(launcher.findChild<QLabel*>(QStringLiteral("label_4"))->text(), QStringLiteral("功能3："));
        auto information = launcher.findChild<QTextEdit*>(QStringLiteral("textEdit"));
        QVERIFY(information->isReadOnly());
        QVERIFY(information->toPlainText().startsWith(QStringLiteral("KivExcel工具箱 版本：V1.0\n主页：")));
        QVERIFY(information->toPlainText().contains(QStringLiteral("（欢迎入群讨论）")));
        QVERIFY(information->toPlainText().contains(QStringLiteral("\n\n作者：")));
    }

    void windows10NoticeShowsOnlyOnWindows10()
    {
        QCOMPARE(runningWindowsRelease(), WindowsRelease::NotWindows10); // this is not Windows
        overrideWindowsReleaseForTests(WindowsRelease::Windows10);
        MainWindow onWindows10;
        onWindows10.show();
        auto notice = onWindows10.findChild<QTextEdit*>(QStringLiteral("win10infoText"));
        QVERIFY(notice->isVisible());
        QVERIFY(notice->toPlainText().contains(QStringLiteral("兼容模式")));
        QVERIFY(notice->toHtml().contains(QStringLiteral("#ff0000")));

        overrideWindowsReleaseForTests(WindowsRelease::NotWindows10);
        MainWindow elsewhere;
        elsewhere.show();
        QVERIFY(!elsewhere.findChild<QTextEdit*>(QStringLiteral("win10infoText"))->isVisible());
    }

    void eachToolWindowIsMadeOnceAndShownModal()
    {
        MainWindow launcher;
        QVERIFY(!launcher.comparerWindow());
        launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
        DuZozodKiv* comparer = launcher.comparerWindow();
        QVERIFY(comparer);
        QVERIFY(comparer->isVisible());
        QCOMPARE(comparer->windowModality(), Qt::ApplicationModal);
        QCOMPARE(comparer->parent(), &launcher);
        comparer->close();
        launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
        QCOMPARE(launcher.comparerWindow(), comparer);
        comparer->close();

        launcher.findChild<QPushButton*>(QStringLiteral("splitExcelByColFunButtonpl"))->click();
        QVERIFY(launcher.columnSplitterWindow()->isVisible());
        launcher.columnSplitterWindow()->close();
        launcher.findChild<QPushButton*>(QStringLiteral("splithExcelBySeetFunButton"))->click();
        QVERIFY(launcher.sheetSplitterWindow()->isVisible());
        QPointer<splitExcelFromSheets> sheetSplitter = launcher.sheetSplitterWindow();
        launcher.findChild<QPushButton*>(QStringLiteral("splithExcelBySeetFunButton"))->click();
        QCOMPARE(launcher.sheetSplitterWindow(), sheetSplitter.data());
    }

    void toolWindowsGoWithTheLauncher()
    {
        QPointer<DuZozodKiv> comparer;
        {
            MainWindow launcher;
            launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
            comparer = launcher.comparerWindow();
            QVERIFY(comparer);
        }
        QVERIFY(comparer.isNull());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
