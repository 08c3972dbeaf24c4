// The combine window through the offscreen platform, driven as a user would: both ways, on real
// workbooks through the office.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "testsupport.h"
#include "tools/combine/combinetables.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

SheetContent sheet(const QString& name, const QStringList& names)
{
    SheetContent content{name, {{"名称", "数量"}}};
    for (int k = 0; k < names.size(); ++k)
        content.rows.append({names.at(k), QString::number(k + 1)});
    return content;
}

void click(CombineTables& window, const char* button)
{
    window.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// The button whose file dialog answers with the path.
void pick(CombineTables& window, const char* button, const QString& path)
{
    KivFileDialog::setNextFileName(path);
    click(window, button);
}

// Starts the run, cancelled once its first step is done; the texts the window showed.
QStringList cancelledRun(CombineTables& window)
{
    RunProgress::setCancelAtValue(1);
    KivMessageBox::clearShownTexts();
    click(window, "startButton");
    return KivMessageBox::shownTexts();
}

QAction* option(CombineTables& window, const QString& text)
{
    for (QAction* action : window.menuBar()->findChild<QMenu*>()->actions())
        if (action->text().contains(text))
            return action;
    return nullptr;
}

} // namespace

class CombineWindowTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void formHasItsTextsAndOptions()
    {
        CombineTables window;
        QCOMPARE(window.windowTitle(), QStringLiteral("KivExcel工具箱：合并多个表/工作簿"));
        QCOMPARE(window.findChild<QPushButton*>("startButton")->text(), QStringLiteral("开始合并"));
        QVERIFY(window.findChild<QRadioButton*>("sheetsModeButton")->isChecked());
        QMenu* options = window.menuBar()->findChild<QMenu*>();
        QVERIFY(options);
        QStringList texts;
        for (QAction* action : options->actions())
            texts.append(action->text());
        QVERIFY2(texts.join('|').contains(QStringLiteral("按标题对齐")), qPrintable(texts.join('|')));
    }

    void sheetsOfTheImportedWorkbook()
    {
        const QString book = folder.filePath("window.xlsx");
        QVERIFY(writeWorkbook(book, {sheet("一月", {"a", "b"}), sheet("二月", {"c"}), sheet("三月", {"d"})}));
        CombineTables window;
        window.show();
        KivFileDialog::setNextFileName(book);
        click(window, "importFileButton");
        auto* sheets = window.findChild<QListWidget*>("sheetList");
        QCOMPARE(sheets->count(), 3);
        sheets->item(1)->setCheckState(Qt::Unchecked);
        window.findChild<QCheckBox*>("sourceColumnCheckBox")->setChecked(true);
        KivMessageBox::clearShownTexts();
        click(window, "startButton");
        QVERIFY2(KivMessageBox::shownTexts().join('\n').contains(QStringLiteral("处理完毕")),
                 qPrintable(KivMessageBox::shownTexts().join('\n')));
        const QList<QStringList> rows = sheetNamed(readWorkbook(book), "合并").rows;
        QCOMPARE(rows, QList<QStringList>(
                           {{"来源", "名称", "数量"}, {"一月", "a", "1"}, {"一月", "b", "2"}, {"三月", "d", "1"}}));
    }

    void filesIntoANewWorkbook()
    {
        const QString first = folder.filePath("w1.xlsx");
        const QString second = folder.filePath("w2.ods");
        QVERIFY(writeWorkbook(first, {sheet("数据", {"a"})}));
        QVERIFY(writeWorkbook(second, {sheet("数据", {"b"}), sheet("其他", {"c"})}));
        const QString out = folder.filePath("window-files.xlsx");
        CombineTables window;
        window.show();
        KivFileDialog::setNextFileName(first);
        click(window, "addFilesButton");
        KivFileDialog::setNextFileName(second);
        click(window, "addFilesButton");
        QVERIFY(window.findChild<QRadioButton*>("filesModeButton")->isChecked());
        KivFileDialog::setNextFileName(out);
        click(window, "outputButton");
        KivMessageBox::clearShownTexts();
        click(window, "startButton");
        QVERIFY2(KivMessageBox::shownTexts().join('\n').contains(QStringLiteral("处理完毕")),
                 qPrintable(KivMessageBox::shownTexts().join('\n')));
        QCOMPARE(sheetNames(readWorkbook(out)), QStringList({"w1-数据", "w2-数据", "其他"}));
    }

    // A cancel in the progress dialog once the first copy is made: the workbook keeps its bytes,
    // and no new workbook is written.
    void cancelChangesNothing()
    {
        const QString book = folder.filePath("cancel.xlsx");
        QVERIFY(writeWorkbook(book, {sheet("一月", {"a", "b"}), sheet("二月", {"c"}), sheet("三月", {"d"})}));
        const QByteArray before = fileBytes(book);
        CombineTables window;
        window.show();
        pick(window, "importFileButton", book);
        QCOMPARE(cancelledRun(window), QStringList({QStringLiteral("合并已取消，文件没有改动。")}));
        QCOMPARE(fileBytes(book), before);

        const QString other = folder.filePath("cancel.ods");
        QVERIFY(writeWorkbook(other, {sheet("一月", {"e"})}));
        const QByteArray otherBefore = fileBytes(other);
        const QString out = folder.filePath("cancel-out.xlsx");
        for (const bool stack : {false, true}) {
            option(window, QStringLiteral("同名的表合并为一个表"))->setChecked(stack);
            pick(window, "addFilesButton", book);
            pick(window, "addFilesButton", other);
            pick(window, "outputButton", out);
            QCOMPARE(cancelledRun(window), QStringList({QStringLiteral("合并已取消，没有写入任何文件。")}));
            QVERIFY(!QFile::exists(out));
            QCOMPARE(fileBytes(book), before);
            QCOMPARE(fileBytes(other), otherBefore);
            window.findChild<QListWidget*>("filesList")->clear();
        }
    }

    void noResultIsAskedFor()
    {
        CombineTables window;
        window.findChild<QRadioButton*>("filesModeButton")->setChecked(true);
        KivMessageBox::clearShownTexts();
        click(window, "startButton");
        QCOMPARE(KivMessageBox::shownTexts(), QStringList({QStringLiteral("请选择合并后的新工作簿。")}));
    }
};

QTEST_MAIN(CombineWindowTest)
#include "tst_combinewindow.moc"
