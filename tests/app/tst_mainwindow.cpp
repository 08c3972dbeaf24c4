// The launcher: its form, the Windows 10 notice and the tool windows it opens.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/bannerseam.h"
#include "app/windowsversion.h"
#include "formchecks.h"
#include "testsupport.h"
#include "tools/combine/combinetables.h"
#include "tools/compare/duzozodkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTemporaryDir>
#include <QLabel>
#include <QScrollBar>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }
    void cleanup() { overrideWindowsReleaseForTests(std::nullopt); }

    void formHasItsTexts()
    {
        MainWindow launcher;
        QCOMPARE(launcher.windowTitle(), QStringLiteral("KivExcel工具箱"));
        auto compare = launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"));
        QVERIFY(compare);
        QCOMPARE(compare->text(), QStringLiteral("Excel对比"));
        QCOMPARE(launcher.findChild<QPushButton*>(QStringLiteral("splitExcelByColFunButtonpl"))->text(),
                 QStringLiteral("按列分割为多个表"));
        QCOMPARE(launcher.findChild<QPushButton*>(QStringLiteral("splithExcelBySeetFunButton"))->text(),
                 QStringLiteral("拆分每个表为单独的文件"));
        QCOMPARE(launcher.findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("请选择功能："));
        QCOMPARE(launcher.findChild<QLabel*>(QStringLiteral("label_4"))->text(), QStringLiteral("功能3："));
        QCOMPARE(launcher.findChild<QPushButton*>(QStringLiteral("combineFunButton"))->text(),
                 QStringLiteral("合并多个表/工作簿"));
        QCOMPARE(launcher.findChild<QLabel*>(QStringLiteral("label_5"))->text(), QStringLiteral("功能4："));
        auto information = launcher.findChild<QTextEdit*>(QStringLiteral("textEdit"));
        QVERIFY(information->isReadOnly());
        QVERIFY(information->toPlainText().startsWith(QStringLiteral("KivExcel工具箱 版本：V1.0\n主页：")));
        QVERIFY(information->toPlainText().contains(QStringLiteral("（欢迎入群讨论）")));
        QVERIFY(information->toPlainText().contains(QStringLiteral("\n\n作者：")));
    }

    // Every line of the information box shows at its fixed size: 作者 is not behind a scroll bar.
    void informationShowsEveryLine()
    {
        MainWindow launcher;
        auto information = launcher.findChild<QTextEdit*>(QStringLiteral("textEdit"));
        QVERIFY(information->toPlainText().endsWith(QStringLiteral("作者：Kiv")));
        QCOMPARE(information->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        const int visible = information->height() - 2 * information->frameWidth();
        QVERIFY2(information->document()->size().height() <= visible,
                 qPrintable(QString::number(information->document()->size().height())));
    }

    // As it opens, with and without the Windows 10 notice: every text shows whole, nothing reaches
    // out of the window, nothing covers anything else.
    void formFitsItsWindow_data()
    {
        QTest::addColumn<bool>("windows10");
        QTest::newRow("elsewhere") << false;
        QTest::newRow("Windows 10") << true;
    }
    void formFitsItsWindow()
    {
        QFETCH(bool, windows10);
        overrideWindowsReleaseForTests(windows10 ? WindowsRelease::Windows10 : WindowsRelease::NotWindows10);
        ProgramFont font;
        MainWindow launcher;
        const QStringList faults = layoutFaultsOnScreen(launcher);
        QCOMPARE(launcher.findChild<QTextEdit*>(QStringLiteral("win10infoText"))->isVisible(), windows10);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Qt's own dialogs and buttons speak Chinese.
    void qtsOwnTextsAreChinese()
    {
        QVERIFY2(installQtChineseTexts(), "qtbase_zh_CN.qm is missing (qttranslations5-l10n)");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
        QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != QStringLiteral("Look in:"));
    }

    // The comparer lets its banner go when closed; shown again by the launcher, it has one again.
    void theComparersBannerRunsAgainAfterAReopen()
    {
        int started = 0;
        setBannerStarter([&started](QAbstractButton* button, const QString&) -> QObject* {
            ++started;
            return new QObject(button);
        });
        {
            MainWindow launcher;
            launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
            auto comparer = launcher.findChild<DuZozodKiv*>();
            QCOMPARE(started, 1);
            comparer->close();
            launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
            QVERIFY(comparer->isVisible());
            QCOMPARE(started, 2);
            comparer->close();
        }
        setBannerStarter(nullptr);
    }

    // "Open with": the workbook the program was started with goes to the first tool opened.
    void aWorkbookGivenAtStartGoesToTheFirstTool()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("given.xlsx");
        QVERIFY(writeWorkbook(path, {SheetContent{"甲", {{"a"}, {"1"}}}, SheetContent{"乙", {{"b"}}}}));
        MainWindow launcher;
        launcher.setWorkbookToOpen(path);
        launcher.findChild<QPushButton*>(QStringLiteral("splitExcelByColFunButtonpl"))->click();
        auto splitter = launcher.columnSplitterWindow();
        QCOMPARE(splitter->findChild<QTextEdit*>(QStringLiteral("importFilePath"))->toPlainText(), path);
        QCOMPARE(splitter->findChild<QComboBox*>(QStringLiteral("comboBoxSheets"))->count(), 2);
        splitter->close();
        launcher.findChild<QPushButton*>(QStringLiteral("ExcelCompareFunButton"))->click();
        QVERIFY(launcher.comparerWindow()
                    ->findChild<QTextEdit*>(QStringLiteral("directFilePath"))
                    ->toPlainText()
                    .isEmpty());
        launcher.comparerWindow()->close();
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
        sheetSplitter->close();
        launcher.findChild<QPushButton*>(QStringLiteral("combineFunButton"))->click();
        QVERIFY(launcher.combinerWindow()->isVisible());
        QCOMPARE(launcher.combinerWindow()->parent(), &launcher);
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
