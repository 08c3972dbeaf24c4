// The comparer window on real workbooks: form, layout and bindings, import, the queued sheet-change
// slots, pickers that stand for nothing, close handling and destruction.

#include "comparerdriver.h"
#include "formchecks.h"

#include <QMimeData>
#include <QUrl>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestDuZozodKivWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void formCarriesNamesAndBindsSlotsByName();
    void formFitsItsWindow();
    void importFillsPickersAndQueuedSlotsFillColumns();
    void oneSheetWorkbookLeavesSecondPickerEmpty();
    void clearedPickerRefilledBeforeSlotRunsUsesCurrentIndex();
    void unreadableWorkbookLeavesPickersEmptyAndWindowEnabled();
    void cancelledImportKeepsTheLoadedWorkbook();
    void typedPickerEntriesAreRefused();
    void closeClosesWorkbookAndEmptiesWindowForReuse();
    void destructionClosesWorkbook();
    void pickingASheetFillsItsRowCount();
    void fieldsHoldOneLine();
    void droppedWorkbookIsImported();
    void boxesHaveTheirKindAndWindow();
    void finishedButNotSavedIsAFailure();
    void runDialogSaysWhatHappensUntilSaved();
    void instructionsNameTheOfficeInUse();

private:
    QString threeSheetWorkbook(const QString& name);

    QTemporaryDir folder;
};

void TestDuZozodKivWindow::initTestCase()
{
    initTestEnvironment();
    QVERIFY(folder.isValid());
}

void TestDuZozodKivWindow::init()
{
    KivMessageBox::clearShownTexts();
}

QString TestDuZozodKivWindow::threeSheetWorkbook(const QString& name)
{
    const QString path = folder.filePath(name);
    const bool written =
        writeWorkbook(path, {SheetContent{"North", {{"Name", "City", "", "", "Age"}, {"x", "a", "", "", "3"}}},
                             SheetContent{"South", {{"Key"}, {"k"}}}, SheetContent{"Empty", {{"", "v"}, {"", "w"}}}});
    return written ? path : QString();
}

void TestDuZozodKivWindow::formCarriesNamesAndBindsSlotsByName()
{
    ComparerDriver comparer;
    QCOMPARE(comparer.win()->objectName(), QString("DuZozodKiv"));
    QCOMPARE(comparer.win()->windowTitle(), QString("KivEcel工具箱：Excel对比器"));
    for (const char* name : {"comboBoxSheet1", "comboBoxSheet2", "comboBoxTitle1", "comboBoxTitle2"})
        QVERIFY2(comparer.box(name) && comparer.box(name)->isEditable(), name);
    for (const char* name : {"directFilePath", "sheet1RowsTextEdit", "sheet2RowsTextEdit"})
        QVERIFY2(comparer.edit(name), name);
    QVERIFY(comparer.win()->findChild<QTextBrowser*>("textBrowser")->toPlainText().startsWith("说明："));

    // Both buttons reach their slots by name, each once: the import asks for a file, the run
    // checks its inputs and says so in one message. The banner's button does nothing.
    comparer.click("importDirectFile");
    QCOMPARE(KivFileDialog::lastCaption(), QString("请选择Excel文件"));
    QVERIFY(KivFileDialog::lastFilter().startsWith("Excel Files (*.xls *.xlsx);;"));
    comparer.click("startCompareButton");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList("没有导入Excel文件，无法比对。"));
    comparer.click("adViewButton");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList("没有导入Excel文件，无法比对。"));
    QVERIFY(comparer.win()->isEnabled());
}

// As it opens: every text shows whole, nothing reaches out of the window, nothing covers
// anything else.
void TestDuZozodKivWindow::formFitsItsWindow()
{
    ProgramFont font;
    ComparerDriver comparer;
    const QStringList faults = layoutFaultsOnScreen(*comparer.win());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestDuZozodKivWindow::importFillsPickersAndQueuedSlotsFillColumns()
{
    const QString path = threeSheetWorkbook("three.xlsx");
    QVERIFY(!path.isEmpty());
    ComparerDriver comparer;
    KivFileDialog::setNextFileName(path);
    comparer.click("importDirectFile");

    QCOMPARE(comparer.edit("directFilePath")->toPlainText(), path);
    QCOMPARE(comparer.items("comboBoxSheet1"), QStringList({"North", "South", "Empty"}));
    QCOMPARE(comparer.items("comboBoxSheet2"), QStringList({"North", "South", "Empty"}));
    QCOMPARE(comparer.box("comboBoxSheet1")->currentIndex(), 0);
    QCOMPARE(comparer.box("comboBoxSheet2")->currentIndex(), 1);
    QVERIFY(comparer.win()->isEnabled());
    // The column pickers are filled by the queued slots, after the import returned.
    QCOMPARE(comparer.box("comboBoxTitle1")->count(), 0);
    ComparerDriver::settle();
    // Empty title cells keep their place: entry k stands for column k + 1.
    QCOMPARE(comparer.items("comboBoxTitle1"), QStringList({"Name", "City", "", "", "Age"}));
    QCOMPARE(comparer.items("comboBoxTitle2"), QStringList({"Key"}));

    comparer.box("comboBoxSheet2")->setCurrentIndex(2);
    ComparerDriver::settle();
    QCOMPARE(comparer.items("comboBoxTitle2"), QStringList({"", "v"}));
    QVERIFY(KivMessageBox::shownTexts().isEmpty());
}

void TestDuZozodKivWindow::oneSheetWorkbookLeavesSecondPickerEmpty()
{
    const QString path = folder.filePath("one.xlsx");
    QVERIFY(writeWorkbook(path, {SheetContent{"Only", {{"A"}, {"1"}}}}));
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    QCOMPARE(comparer.items("comboBoxSheet1"), QStringList("Only"));
    QCOMPARE(comparer.box("comboBoxSheet2")->count(), 0);
    QCOMPARE(comparer.items("comboBoxTitle1"), QStringList("A"));
    comparer.compare(0, -1, "2", "2");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList("没有表2，无法比对。"));
}

void TestDuZozodKivWindow::clearedPickerRefilledBeforeSlotRunsUsesCurrentIndex()
{
    const QString path = threeSheetWorkbook("refill.xlsx");
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    QComboBox* sheetBox = comparer.box("comboBoxSheet1");
    comparer.box("comboBoxTitle1")->clear();
    // Both signals (-1, then 0 and 2) are delivered after the picker was refilled.
    sheetBox->clear();
    sheetBox->addItems({"North", "South", "Empty"});
    sheetBox->setCurrentIndex(2);
    ComparerDriver::settle();
    QCOMPARE(comparer.items("comboBoxTitle1"), QStringList({"", "v"}));
}

void TestDuZozodKivWindow::unreadableWorkbookLeavesPickersEmptyAndWindowEnabled()
{
    const QString path = copyFixture("xlnt-1_powerpoint_presentation.xlsx", folder.path());
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    // One box: the written text and why.
    QCOMPARE(KivMessageBox::shownTexts(), QStringList("打开Excel文件时出错:(this->workbook==null)\n不是电子表格文件"));
    QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Failure);
    QCOMPARE(KivMessageBox::lastParent(), comparer.win());
    QCOMPARE(comparer.box("comboBoxSheet1")->count(), 0);
    QCOMPARE(comparer.box("comboBoxSheet2")->count(), 0);
    QVERIFY(comparer.win()->isEnabled());
}

void TestDuZozodKivWindow::cancelledImportKeepsTheLoadedWorkbook()
{
    const QString path = threeSheetWorkbook("cancelled.xlsx");
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    const QStringList sheets = comparer.items("comboBoxSheet1");
    KivFileDialog::setNextFileName(QString()); // the user cancels the second import
    comparer.click("importDirectFile");
    ComparerDriver::settle();
    QVERIFY(isOpenInOffice(path));
    QCOMPARE(comparer.edit("directFilePath")->toPlainText(), path);
    QCOMPARE(comparer.items("comboBoxSheet1"), sheets);

    comparer.compare(0, 0, "2", "2");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
}

void TestDuZozodKivWindow::typedPickerEntriesAreRefused()
{
    const QString path = threeSheetWorkbook("typed.xlsx");
    const QList<SheetContent> before = readWorkbook(path);
    ComparerDriver comparer;
    comparer.importWorkbook(path);

    // A name typed into the sheet picker becomes an entry of its own, with no sheet behind it.
    comparer.box("comboBoxSheet2")->addItem("Typed");
    comparer.box("comboBoxSheet2")->setCurrentIndex(3);
    ComparerDriver::settle();
    QCOMPARE(comparer.box("comboBoxTitle2")->count(), 0);
    comparer.box("comboBoxTitle2")->addItem("Key");
    comparer.compare(0, 0, "2", "2");
    // Text typed over an existing entry without choosing it does not stand for that entry.
    comparer.box("comboBoxSheet2")->setCurrentIndex(1);
    ComparerDriver::settle();
    comparer.box("comboBoxSheet2")->setEditText("Empty");
    comparer.compare(0, 0, "2", "2");
    // A typed column beyond the titles of row 1.
    comparer.box("comboBoxSheet2")->setEditText("South");
    comparer.box("comboBoxTitle1")->addItem("Typed column");
    comparer.compare(5, 0, "2", "2");
    // More rows than a sheet holds.
    comparer.compare(0, 0, "2", "99999999");

    QCOMPARE(KivMessageBox::shownTexts(),
             QStringList({"表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。",
                          "表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。",
                          "表1选择的列不在表1的第一行里，请重新选择表1的列。",
                          "表2的总行数超过了表格能容纳的行数，请重新输入。"}));
    comparer.destroyWindow();
    QCOMPARE(dump(readWorkbook(path)), dump(before));
}

void TestDuZozodKivWindow::closeClosesWorkbookAndEmptiesWindowForReuse()
{
    const QString path = threeSheetWorkbook("close.xlsx");
    ComparerDriver comparer;
    comparer.win()->show();
    comparer.importWorkbook(path);
    comparer.choose(0, 0, "5", "6");
    QVERIFY(isOpenInOffice(path));

    QVERIFY(comparer.win()->close());
    ComparerDriver::settle();
    QVERIFY(!comparer.win()->isVisible());
    QVERIFY(!comparer.win()->hasExcelLink());
    QVERIFY(!isOpenInOffice(path));
    for (const char* name : {"directFilePath", "sheet1RowsTextEdit", "sheet2RowsTextEdit"})
        QVERIFY2(comparer.edit(name)->toPlainText().isEmpty(), name);
    for (const char* name : {"comboBoxSheet1", "comboBoxSheet2", "comboBoxTitle1", "comboBoxTitle2"})
        QVERIFY2(comparer.box(name)->count() == 0, name);

    // Shown again, the same window imports afresh.
    comparer.win()->show();
    comparer.importWorkbook(path);
    QCOMPARE(comparer.items("comboBoxTitle2"), QStringList({"Key"}));
    QVERIFY(KivMessageBox::shownTexts().isEmpty());
}

void TestDuZozodKivWindow::destructionClosesWorkbook()
{
    const QString path = threeSheetWorkbook("destroy.xlsx");
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    QVERIFY(isOpenInOffice(path));
    comparer.destroyWindow();
    QVERIFY(!isOpenInOffice(path));
}

// 总行数 counts the title row: the picked sheet's last used row, which the user can still change.
void TestDuZozodKivWindow::pickingASheetFillsItsRowCount()
{
    const QString path = folder.filePath("rows.xlsx");
    QVERIFY(twoSheetWorkbook(path, {{"name"}, {"a"}, {"b"}, {"c"}}, {{"name"}, {"a"}}) == path);
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    QCOMPARE(comparer.edit("sheet1RowsTextEdit")->toPlainText(), QString("4"));
    QCOMPARE(comparer.edit("sheet2RowsTextEdit")->toPlainText(), QString("2"));
    comparer.box("comboBoxSheet2")->setCurrentIndex(0);
    ComparerDriver::settle();
    QCOMPARE(comparer.edit("sheet2RowsTextEdit")->toPlainText(), QString("4"));
    // Counted with the filled-in numbers: every data row, none of the empty rows below.
    comparer.box("comboBoxSheet2")->setCurrentIndex(1);
    ComparerDriver::settle();
    comparer.box("comboBoxTitle1")->setCurrentIndex(0);
    comparer.box("comboBoxTitle2")->setCurrentIndex(0);
    comparer.click("startCompareButton");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();
    const QList<SheetContent> after = readWorkbook(path);
    QCOMPARE(after.value(0).rows.size(), 4);
    QCOMPARE(after.value(0).rows.value(1).value(0), QString("1"));
    QCOMPARE(after.value(0).rows.value(3).value(0), QString("0"));
}

// Tab and Enter move on; a long text stays on its one line.
void TestDuZozodKivWindow::fieldsHoldOneLine()
{
    ComparerDriver comparer;
    comparer.win()->show();
    QVERIFY(QTest::qWaitForWindowActive(comparer.win()));
    for (const char* name : {"directFilePath", "sheet1RowsTextEdit", "sheet2RowsTextEdit"}) {
        QTextEdit* field = comparer.edit(name);
        QVERIFY(field->tabChangesFocus());
        QCOMPARE(field->lineWrapMode(), QTextEdit::NoWrap);
    }
    QTextEdit* rows = comparer.edit("sheet1RowsTextEdit");
    rows->setFocus();
    QTest::keyClicks(rows, "123456");
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(rows->toPlainText(), QString("123456"));
    QVERIFY(!rows->hasFocus());
    rows->setFocus();
    QTest::keyClick(rows, Qt::Key_Tab);
    QCOMPARE(rows->toPlainText(), QString("123456"));
    QVERIFY(!rows->hasFocus());
    QCOMPARE(rows->document()->lineCount(), 1);
    comparer.edit("directFilePath")->setPlainText(QString(300, QLatin1Char('x')));
    QCOMPARE(comparer.edit("directFilePath")->document()->size().height(),
             comparer.edit("sheet1RowsTextEdit")->document()->size().height());
}

void TestDuZozodKivWindow::droppedWorkbookIsImported()
{
    const QString path = threeSheetWorkbook("dropped.xlsx");
    ComparerDriver comparer;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget* target = comparer.edit("directFilePath")->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    ComparerDriver::settle();
    QCOMPARE(comparer.edit("directFilePath")->toPlainText(), path);
    QCOMPARE(comparer.items("comboBoxSheet1"), QStringList({"North", "South", "Empty"}));
    QVERIFY(isOpenInOffice(path));
}

// A refusal warns, success informs, each centred on the window that asked.
void TestDuZozodKivWindow::boxesHaveTheirKindAndWindow()
{
    ComparerDriver comparer;
    comparer.click("startCompareButton");
    QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Warning);
    QCOMPARE(KivMessageBox::lastParent(), comparer.win());
    const QString path = folder.filePath("kinds.xlsx");
    QVERIFY(twoSheetWorkbook(path, {{"name"}, {"a"}}, {{"name"}, {"a"}}) == path);
    comparer.importWorkbook(path);
    comparer.compare(0, 0, "2", "2");
    QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Information);
    QCOMPARE(KivMessageBox::lastParent(), comparer.win());
}

// The comparison went through but the save did not: the job's grading, as on the command line,
// in the window's own words; the workbook, changed but not saved, is let go.
void TestDuZozodKivWindow::finishedButNotSavedIsAFailure()
{
    QTemporaryDir vanishing(folder.filePath("unsaved-XXXXXX"));
    const QString path = twoSheetWorkbook(vanishing.filePath("unsaved.xlsx"), {{"name"}, {"a"}}, {{"name"}, {"a"}});
    QVERIFY(!path.isEmpty());
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    QVERIFY(vanishing.remove());
    comparer.compare(0, 0, "2", "2");
    QCOMPARE(KivMessageBox::shownTexts(),
             QStringList("对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），"
                         "请检查后重新导入并对比。"));
    QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Failure);
    QCOMPARE(KivMessageBox::lastParent(), comparer.win());
    QVERIFY(!comparer.win()->hasExcelLink());
    QVERIFY(comparer.win()->isEnabled());
}

// One dialog from the first change to the end of the save; the written label, values and range
// stay, a second line says what happens.
void TestDuZozodKivWindow::runDialogSaysWhatHappensUntilSaved()
{
    const QString path = folder.filePath("stages.xlsx");
    QVERIFY(twoSheetWorkbook(path, {{"name"}, {"a"}, {"b"}}, {{"name"}, {"a"}}) == path);
    ComparerDriver comparer;
    comparer.importWorkbook(path);
    comparer.compare(0, 0, "3", "2");
    const QString label = QStringLiteral("正在处理中，请不要操作其他Excel文件。");
    QCOMPARE(RunProgress::lastLabels(),
             QStringList({label, label + "\n正在打开表格……", label + "\n正在对比……", label + "\n正在保存……"}));
    QCOMPARE(RunProgress::lastMaximum(), 6);
    QCOMPARE(RunProgress::lastValues(), QList<int>({2, 3, 5, 6}));
}

void TestDuZozodKivWindow::instructionsNameTheOfficeInUse()
{
    ComparerDriver comparer;
    const QString instructions = comparer.win()->findChild<QTextBrowser*>("textBrowser")->toPlainText();
    QVERIFY2(instructions.contains(QStringLiteral("1、系统必须安装LibreOffice Calc任意版本；")),
             qPrintable(instructions));
    QVERIFY(!instructions.contains(QStringLiteral("Microsoft")));
}

QTEST_MAIN(TestDuZozodKivWindow)
#include "tst_duzozodkiv_window.moc"
