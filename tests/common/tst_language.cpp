// The toolbox's language follows the locale: English for en and en_*, the written Chinese texts
// for anything else. The windows, their messages, Qt's own texts and the command line's messages
// all follow it, and the English texts fit the forms laid out for the Chinese ones.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/dialogs.h"
#include "common/language.h"
#include "excelop/excelopkiv.h"
#include "excelop/openfailure.h"
#include "testsupport.h"
#include "tools/combine/combinetables.h"
#include "tools/compare/duzozodkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QtTest>

namespace {

const char* const kLocaleVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// Sets the locale variables as "NAME=value" entries say and unsets the others.
void setLocaleVariables(const QStringList& entries)
{
    for (const char* name : kLocaleVariables)
        qunsetenv(name);
    for (const QString& entry : entries)
        qputenv(entry.section(QLatin1Char('='), 0, 0).toLatin1().constData(),
                entry.section(QLatin1Char('='), 1).toUtf8());
}

bool hasChinese(const QString& text)
{
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if ((code >= 0x3000 && code <= 0x9FFF) || (code >= 0xFF00 && code <= 0xFFEF))
            return true;
    }
    return false;
}

// What the window shows in words: its title, labels, buttons, check boxes, menus and text boxes.
QStringList wordsOf(QWidget* window)
{
    QStringList words{window->windowTitle()};
    for (const QLabel* label : window->findChildren<QLabel*>())
        words.append(label->text());
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        words.append(button->text());
    for (const QMenu* menu : window->findChildren<QMenu*>()) {
        words.append(menu->title());
        for (const QAction* action : menu->actions())
            words.append(action->text());
    }
    for (const QTextEdit* box : window->findChildren<QTextEdit*>())
        words.append(box->toPlainText());
    words.removeAll(QString());
    return words;
}

// Labels and buttons whose text is cut off: wider than the widget, reaching past the window, or
// overlapping another.
QStringList cutOffTexts(QWidget* window)
{
    QStringList cut;
    const auto check = [&](QWidget* widget, const QString& text) {
        if (text.isEmpty() || !widget->isVisibleTo(window))
            return;
        const int right = widget->mapTo(window, QPoint(widget->width(), 0)).x();
        if (widget->sizeHint().width() > widget->width() || right > window->width())
            cut.append(QStringLiteral("%1 (%2 px needed, %3 px wide, right edge %4 of %5)")
                           .arg(text)
                           .arg(widget->sizeHint().width())
                           .arg(widget->width())
                           .arg(right)
                           .arg(window->width()));
    };
    QList<QWidget*> worded;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        check(label, label->text());
        worded.append(label);
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        check(button, button->text());
        worded.append(button);
    }
    // A label widened to fit its text must not run into its neighbour.
    for (QWidget* one : worded) {
        for (QWidget* other : worded) {
            if (one < other && one->parentWidget() == other->parentWidget() && one->isVisibleTo(window)
                && other->isVisibleTo(window) && one->geometry().intersects(other->geometry()))
                cut.append(QStringLiteral("%1 overlaps %2").arg(one->objectName(), other->objectName()));
        }
    }
    return cut;
}

QString optionsMenuTitle(QMainWindow& window)
{
    const QMenu* menu = window.findChild<QMenu*>(QStringLiteral("optionsMenu"));
    return menu ? menu->title() : QString();
}

void click(QWidget& window, const char* name)
{
    window.findChild<QPushButton*>(name)->click();
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT
private:
    QStringList savedEnvironment;
    QTemporaryDir folder;

    // Shown and laid out, as the user sees it.
    template <typename Window>
    static void show(Window& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        for (const char* name : kLocaleVariables) {
            if (qEnvironmentVariableIsSet(name))
                savedEnvironment.append(QString::fromLatin1(name) + QLatin1Char('=') + qEnvironmentVariable(name));
        }
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }
    void cleanupTestCase()
    {
        setLocaleVariables(savedEnvironment);
        installTranslations();
    }

    void languageFollowsTheLocale_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("english");
        QTest::newRow("nothing set") << QStringList() << false;
        QTest::newRow("C") << QStringList{"LANG=C"} << false;
        QTest::newRow("POSIX") << QStringList{"LC_ALL=POSIX"} << false;
        QTest::newRow("C.UTF-8") << QStringList{"LANG=C.UTF-8"} << false;
        QTest::newRow("zh_CN") << QStringList{"LANG=zh_CN.UTF-8"} << false;
        QTest::newRow("en_US") << QStringList{"LANG=en_US.UTF-8"} << true;
        QTest::newRow("en_GB@euro") << QStringList{"LANG=en_GB@euro"} << true;
        QTest::newRow("en") << QStringList{"LANG=en"} << true;
        QTest::newRow("not English: eo, es") << QStringList{"LANG=eo.UTF-8", "LANGUAGE=es"} << false;
        QTest::newRow("LANGUAGE first") << QStringList{"LANGUAGE=en", "LANG=zh_CN.UTF-8"} << true;
        QTest::newRow("LANGUAGE's first entry") << QStringList{"LANGUAGE=zh_CN:en", "LANG=en_US.UTF-8"} << false;
        QTest::newRow("LANGUAGE's first entry is English") << QStringList{"LANGUAGE=en_GB:zh_CN"} << true;
        QTest::newRow("empty LANGUAGE") << QStringList{"LANGUAGE=", "LANG=en_US.UTF-8"} << true;
        QTest::newRow("LC_ALL over LANG") << QStringList{"LC_ALL=zh_CN.UTF-8", "LANG=en_US.UTF-8"} << false;
        QTest::newRow("LC_ALL over LC_MESSAGES")
            << QStringList{"LC_ALL=en_US.UTF-8", "LC_MESSAGES=zh_CN.UTF-8"} << true;
        QTest::newRow("LC_MESSAGES over LANG") << QStringList{"LC_MESSAGES=en_US.UTF-8", "LANG=zh_CN.UTF-8"} << true;
        QTest::newRow("LC_MESSAGES C") << QStringList{"LC_MESSAGES=C", "LANG=en_US.UTF-8"} << false;
    }
    void languageFollowsTheLocale()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, english);
        setLocaleVariables(variables);
        QCOMPARE(userWantsEnglish(), english);
    }

    // The comparer in English: its form, its menu, its refusal and Qt's own texts.
    void englishComparer()
    {
        setLocaleVariables({"LANG=en_US.UTF-8"});
        QVERIFY(installWindowLanguage());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        DuZozodKiv comparer;
        QCOMPARE(comparer.windowTitle(), QStringLiteral("KivExcel Toolbox: Excel Comparer"));
        QCOMPARE(comparer.findChild<QPushButton*>("startCompareButton")->text(), QStringLiteral("Compare"));
        QCOMPARE(comparer.findChild<QPushButton*>("importDirectFile")->text(), QStringLiteral("Import Excel file"));
        QCOMPARE(comparer.findChild<QLabel*>("label")->text(), QStringLiteral("Step 1: import an Excel file:"));
        QCOMPARE(optionsMenuTitle(comparer), QStringLiteral("Options"));
        QVERIFY(
            comparer.findChild<QTextBrowser*>("textBrowser")->toPlainText().startsWith(QStringLiteral("Notes:\n1. ")));
        click(comparer, "startCompareButton");
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList(QStringLiteral("No Excel file has been imported; nothing to compare.")));
    }

    // Every window shows English only, and no English text is cut off by the forms' fixed sizes.
    void everyWindowInEnglish()
    {
        setLocaleVariables({"LANGUAGE=en"});
        QVERIFY(installTranslations());
        MainWindow launcher;
        DuZozodKiv comparer;
        SplitSheetFromColumn columnSplitter;
        splitExcelFromSheets sheetSplitter;
        CombineTables combiner;
        for (QMainWindow* window :
             std::initializer_list<QMainWindow*>{&launcher, &comparer, &columnSplitter, &sheetSplitter, &combiner}) {
            show(*window);
            const QStringList words = wordsOf(window);
            QVERIFY(!words.isEmpty());
            for (const QString& text : words)
                QVERIFY2(!hasChinese(text), qPrintable(window->objectName() + ": " + text));
            const QStringList cut = cutOffTexts(window);
            QVERIFY2(cut.isEmpty(), qPrintable(window->objectName() + ": " + cut.join(QStringLiteral("; "))));
            window->hide();
        }
        // The launcher's information box still shows every line without a scroll bar.
        QCOMPARE(launcher.findChild<QTextEdit*>("textEdit")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    // Messages from below the windows: a refusal, why a file did not open, a sheet's name.
    void englishMessages()
    {
        setLocaleVariables({"LC_ALL=en_GB.UTF-8"});
        QVERIFY(installTranslations());
        splitExcelFromSheets sheetSplitter;
        click(sheetSplitter, "startButton");
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList(QStringLiteral("The “target file” does not exist; please choose it again.")));
        QCOMPARE(whyWorkbookDidNotOpen(folder.filePath(QStringLiteral("none.xlsx"))),
                 QStringLiteral("The file does not exist"));
        QCOMPARE(legalSheetName(QString()), QStringLiteral("(empty)"));
        QCOMPARE(officeLostText(OfficeState::Ended),
                 QStringLiteral("The spreadsheet program quit unexpectedly. This workbook was not finished, and the "
                                "results were not saved."));
    }

    // The written Chinese texts, whatever was installed before.
    void chineseWindows_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::newRow("zh_CN.UTF-8") << QStringList{"LANG=zh_CN.UTF-8"};
        QTest::newRow("C") << QStringList{"LC_ALL=C"};
        QTest::newRow("nothing set") << QStringList();
    }
    void chineseWindows()
    {
        QFETCH(QStringList, variables);
        setLocaleVariables({"LANG=en_US.UTF-8"});
        QVERIFY(installWindowLanguage());
        setLocaleVariables(variables);
        QVERIFY(!installWindowLanguage());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
        DuZozodKiv comparer;
        QCOMPARE(comparer.windowTitle(), QStringLiteral("KivEcel工具箱：Excel对比器"));
        QCOMPARE(comparer.findChild<QPushButton*>("startCompareButton")->text(), QStringLiteral("开始对比"));
        QCOMPARE(comparer.findChild<QPushButton*>("importDirectFile")->text(), QStringLiteral("导入Excel文件"));
        QCOMPARE(optionsMenuTitle(comparer), QStringLiteral("选项"));
        click(comparer, "startCompareButton");
        splitExcelFromSheets sheetSplitter;
        click(sheetSplitter, "startButton");
        QCOMPARE(KivMessageBox::shownTexts(), QStringList({QStringLiteral("没有导入Excel文件，无法比对。"),
                                                           QStringLiteral("“目标文件”不存在，请重新选择。")}));
        QCOMPARE(whyWorkbookDidNotOpen(folder.filePath(QStringLiteral("none.xlsx"))), QStringLiteral("文件不存在"));
        QCOMPARE(legalSheetName(QString()), QStringLiteral("空"));
    }

    // The command line prints the tools' messages in the user's language; its own help stays English.
    void commandLineMessages()
    {
        const QString missing = folder.filePath(QStringLiteral("none.xlsx"));
        const QStringList arguments{QStringLiteral("split-sheets"), missing, QStringLiteral("--out"), folder.path()};
        // LANGUAGE picks the language while the locale itself stays one this machine has.
        setLocaleVariables({"LANGUAGE=en", "LANG=C.UTF-8"});
        const CliRun english = runCli(arguments);
        QCOMPARE(english.exitCode, 1);
        QVERIFY2(english.err.contains(QStringLiteral("The “target file” does not exist; please choose it again.")),
                 qPrintable(english.err));
        QVERIFY2(!hasChinese(english.err), qPrintable(english.err));
        QVERIFY(runCli({QStringLiteral("--help")}).out.startsWith(QStringLiteral("Usage: kivexcel-cli")));
        setLocaleVariables({"LANG=C.UTF-8"});
        const CliRun chinese = runCli(arguments);
        QCOMPARE(chinese.exitCode, 1);
        QVERIFY2(chinese.err.contains(QStringLiteral("“目标文件”不存在，请重新选择。")), qPrintable(chinese.err));
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
