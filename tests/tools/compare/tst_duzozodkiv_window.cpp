// The comparer window on real workbooks: form and bindings, import, the queued sheet-change
// slots, pickers that stand for nothing, close handling and destruction.

#include "comparerdriver.h"

#include <QMetaMethod>
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
    void importFillsPickersAndQueuedSlotsFillColumns();
    void oneSheetWorkbookLeavesSecondPickerEmpty();
    void clearedPickerRefilledBeforeSlotRunsUsesCurrentIndex();
    void unreadableWorkbookLeavesPickersEmptyAndWindowEnabled();
    void cancelledImportKeepsTheLoadedWorkbook();
    void typedPickerEntriesAreRefused();
    void closeClosesWorkbookAndEmptiesWindowForReuse();
    void destructionClosesWorkbook();

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
    const bool written = writeWorkbook(
        path, {SheetContent{"North", {{"Name", "City", "", "", "Age"}, {"x", "a", "", "", "3"}}},
               SheetContent{"South", {{"Key"}, {"k"}}},
               SheetContent{"Empty", {{"", "v"}, {"", "w"}}}});
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

    const QMetaObject* meta = comparer.win()->metaObject();
    QStringList slotNames;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        if (meta->method(i).methodType() == QMetaMethod::Slot)
            slotNames.append(QString::fromLatin1(meta->method(i).methodSignature()));
    QCOMPARE(slotNames, QStringList({"on_importDirectFile_clicked()", "on_startCompareButton_clicked()",
                                     "on_adViewButton_clicked()", "on_comboSheetBox1SelecteChangeKiv(int)",
                                     "on_comboSheetBox2SelecteChangeKiv(int)",
                                     "slotsCloseEventKiv(QCloseEvent*)"}));

    // Both buttons reach their slots by name: the import asks for a file, the run checks inputs.
    comparer.click("importDirectFile");
    QCOMPARE(KivFileDialog::lastCaption(), QString("请选择Excel文件"));
    QVERIFY(KivFileDialog::lastFilter().startsWith("Excel Files (*.xls *.xlsx);;"));
    comparer.click("startCompareButton");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList("没有导入Excel文件，无法比对。"));
    comparer.click("adViewButton"); // does nothing
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

QTEST_MAIN(TestDuZozodKivWindow)
#include "tst_duzozodkiv_window.moc"
