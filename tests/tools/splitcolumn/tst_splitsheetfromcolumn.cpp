// The column splitter window and its run, on real workbooks through the office.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "testsupport.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kDone = QStringLiteral("处理完毕请打开%1查看。");
const QString kCancelled = QStringLiteral("注意：还没处理完毕，您已退出，但部分处理结果已经保存在目录文件内了。");

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A title row 2 under a report line, data rows 3..7 (ids r3..r7, reference column B) and a
// total line below the data area.
SheetContent reportSheet(const QString& name, const QStringList& values)
{
    SheetContent sheet{name, {{"report", "", ""}, {"id", "ref", "note"}}};
    for (int k = 0; k < values.size(); ++k)
        sheet.rows.append({QStringLiteral("r%1").arg(k + 3), values.at(k), QStringLiteral("n%1").arg(k + 3)});
    sheet.rows.append({"total", "", "t"});
    return sheet;
}

// Drives the window as a user would: import through the file dialog, fill the form, start.
class SplitterForm
{
public:
    SplitterForm()
    {
        startCell = window.findChild<QTextEdit*>("startCellText");
        endCell = window.findChild<QTextEdit*>("endCellText");
        referColumn = window.findChild<QTextEdit*>("referColText");
        path = window.findChild<QTextEdit*>("importFilePath");
        sheets = window.findChild<QComboBox*>("comboBoxSheets");
        deleteColumn = window.findChild<QCheckBox*>("deleteReferColAfterDealCheckBox");
    }

    void import(const QString& file)
    {
        KivFileDialog::setNextFileName(file);
        window.findChild<QPushButton*>("importFileButton")->click();
    }

    // Fills the form and starts; returns the messages shown.
    QStringList split(const QString& start, const QString& end, const QString& column)
    {
        startCell->setPlainText(start);
        endCell->setPlainText(end);
        referColumn->setPlainText(column);
        KivMessageBox::clearShownTexts();
        window.findChild<QPushButton*>("pushButton")->click();
        return KivMessageBox::shownTexts();
    }

    SplitSheetFromColumn window;
    QTextEdit* startCell;
    QTextEdit* endCell;
    QTextEdit* referColumn;
    QTextEdit* path;
    QComboBox* sheets;
    QCheckBox* deleteColumn;
};

} // namespace

class TestSplitSheetFromColumn : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void formHasItsTexts();
    void importFillsSheetListAndCancelKeepsIt();
    void splitsByValueKeepingRowsOutsideTheArea();
    void namesForEmptyExistingAndIllegalValues();
    void checkBoxRemovesReferenceColumnFromNewSheetsOnly();
    void noDataRowsMakesNoSheet();
    void cancelDuringSecondValueKeepsFirstSheetAndSaves();
    void refusesBadInputBeforeAnythingChanges_data();
    void refusesBadInputBeforeAnythingChanges();
    void refusesSheetNoLongerInWorkbook();
    void reportsFailedSave();

private:
    QString newWorkbook(const QString& name, const QList<SheetContent>& sheets);
    void verifyPartition(const QString& path, const SheetContent& source, const QStringList& originalNames);

    QTemporaryDir folder;
};

void TestSplitSheetFromColumn::initTestCase()
{
    initTestEnvironment();
    QVERIFY(folder.isValid());
}

QString TestSplitSheetFromColumn::newWorkbook(const QString& name, const QList<SheetContent>& sheets)
{
    const QString path = folder.filePath(name);
    QFile::remove(path);
    if (!writeWorkbook(path, sheets))
        qWarning("could not write %s", qPrintable(path));
    return path;
}

// Every new sheet holds the source's rows above and below the data area unchanged and data
// rows of one value only; across them every data row appears exactly once, in source order.
void TestSplitSheetFromColumn::verifyPartition(const QString& path, const SheetContent& source,
                                               const QStringList& originalNames)
{
    const QList<SheetContent> after = readWorkbook(path);
    const QList<QStringList> head = source.rows.mid(0, 2);
    const QStringList tail = source.rows.last();
    QMap<QString, QList<QStringList>> rowsByValue;
    for (const QStringList& row : source.rows.mid(2, source.rows.size() - 3))
        rowsByValue[row.at(1)].append(row);

    QStringList valuesSeen;
    for (const SheetContent& sheet : after) {
        if (originalNames.contains(sheet.name))
            continue;
        QVERIFY2(sheet.rows.size() >= 4, qPrintable(sheet.name));
        QCOMPARE(sheet.rows.mid(0, 2), head);
        QCOMPARE(sheet.rows.last(), tail);
        const QList<QStringList> data = sheet.rows.mid(2, sheet.rows.size() - 3);
        const QString value = data.first().at(1);
        QVERIFY2(!valuesSeen.contains(value), qPrintable(value));
        valuesSeen.append(value);
        QCOMPARE(data, rowsByValue.value(value));
    }
    QCOMPARE(valuesSeen.size(), rowsByValue.size());
    QCOMPARE(sheetNamed(after, source.name).rows, source.rows);
}

// Where the form sits in its window is checked with the other splitter (tst_splitterwindows).
void TestSplitSheetFromColumn::formHasItsTexts()
{
    SplitterForm form;
    QCOMPARE(form.window.objectName(), QString("SplitSheetFromColumn"));
    QCOMPARE(form.window.windowTitle(), QString("KivExcel工具箱：Excel按列分割器"));
    QCOMPARE(form.window.findChild<QPushButton*>("pushButton")->text(), QString("开始分割"));
    QVERIFY(form.path->isReadOnly());
    QVERIFY(!form.deleteColumn->isChecked());
}

void TestSplitSheetFromColumn::importFillsSheetListAndCancelKeepsIt()
{
    const QString path = newWorkbook("import.xlsx", {{"One", {{"x"}}}, {"Two", {{"y"}}}});
    SplitterForm form;
    form.import(path);
    QCOMPARE(form.path->toPlainText(), path);
    QCOMPARE(form.sheets->count(), 2);
    QCOMPARE(form.sheets->currentText(), QString("One"));
    QVERIFY(KivFileDialog::lastFilter().startsWith("Excel Files (*.xls *.xlsx);;"));

    form.import(QString()); // cancelled dialog
    QCOMPARE(form.path->toPlainText(), path);
    QCOMPARE(form.sheets->count(), 2);
    QVERIFY(form.window.isEnabled());
}

void TestSplitSheetFromColumn::splitsByValueKeepingRowsOutsideTheArea()
{
    const SheetContent source = reportSheet("Data", {"a", "b", "b", "a", "b"});
    const QString path = newWorkbook("ab.xlsx", {source, {"Other", {{"keep"}}}});
    SplitterForm form;
    form.import(path);
    QCOMPARE(form.split("A2", "C7", " b "), QStringList{kDone.arg(path)});

    const QList<SheetContent> after = readWorkbook(path);
    QCOMPARE(sheetNames(after), QStringList({"a", "b", "Data", "Other"}));
    QCOMPARE(
        sheetNamed(after, "a").rows,
        QList<QStringList>(
            {{"report", "", ""}, {"id", "ref", "note"}, {"r3", "a", "n3"}, {"r6", "a", "n6"}, {"total", "", "t"}}));
    QCOMPARE(sheetNamed(after, "b").rows.size(), 6);
    verifyPartition(path, source, {"Data", "Other"});
    QCOMPARE(RunProgress::lastLabel(), QString("正在处理中，请不要操作其他Excel文件。"));
    QCOMPARE(RunProgress::lastCancelText(), QString("取消"));
    QCOMPARE(RunProgress::lastMaximum(), 10);
    QCOMPARE(RunProgress::lastValues().last(), 10);
    QVERIFY(form.window.isEnabled());
}

void TestSplitSheetFromColumn::namesForEmptyExistingAndIllegalValues()
{
    const QString longValue(40, QChar('L'));
    const SheetContent source =
        reportSheet("Data", {"", "x", "a/b", "x:y", longValue, "X", "a/b", "", "q'", "[*?]", "x"});
    const QString path = newWorkbook("names.xlsx", {source, {"空", {{"e"}}}, {"x", {{"x"}}}});
    SplitterForm form;
    form.import(path);
    QCOMPARE(form.split("a 2", "C13", "b"), QStringList{kDone.arg(path)});

    const QList<SheetContent> after = readWorkbook(path);
    QCOMPARE(after.size(), 3 + 8);
    QCOMPARE(sheetNamed(after, "_0").rows.size(), 2 + 2 + 1); // the empty values
    QCOMPARE(sheetNamed(after, "x_0").rows.size(), 2 + 2 + 1);
    for (const SheetContent& sheet : after)
        QVERIFY2(sheet.name.size() <= 31, qPrintable(sheet.name));
    verifyPartition(path, source, {"Data", "空", "x"});
}

void TestSplitSheetFromColumn::checkBoxRemovesReferenceColumnFromNewSheetsOnly()
{
    const SheetContent source = reportSheet("Data", {"a", "b", "a"});
    const QString path = newWorkbook("dropcolumn.xlsx", {source});
    SplitterForm form;
    form.import(path);
    form.deleteColumn->setChecked(true);
    QCOMPARE(form.split("A2", "C5", "B"), QStringList{kDone.arg(path)});

    const QList<SheetContent> after = readWorkbook(path);
    QCOMPARE(sheetNamed(after, "a").rows,
             QList<QStringList>({{"report", ""}, {"id", "note"}, {"r3", "n3"}, {"r5", "n5"}, {"total", "t"}}));
    QCOMPARE(sheetNamed(after, "b").rows,
             QList<QStringList>({{"report", ""}, {"id", "note"}, {"r4", "n4"}, {"total", "t"}}));
    QCOMPARE(sheetNamed(after, "Data").rows, source.rows);
}

void TestSplitSheetFromColumn::noDataRowsMakesNoSheet()
{
    const QString path = newWorkbook("nodata.xlsx", {reportSheet("Data", {"a"})});
    SplitterForm form;
    form.import(path);
    const QByteArray before = fileHash(path);
    // An empty area is refused before anything changes: the workbook is not even saved again.
    QCOMPARE(form.split("A3", "C2", "B"),
             QStringList{"“结束位置”必须在“起始位置”（标题行）下面，数据区域里没有数据行，请重新输入。"});
    QCOMPARE(fileHash(path), before);
}

void TestSplitSheetFromColumn::cancelDuringSecondValueKeepsFirstSheetAndSaves()
{
    // 40 data rows alternating a, b: the copy for b is being filtered when the cancel comes.
    QStringList values;
    for (int k = 0; k < 40; ++k)
        values.append(k % 2 ? "b" : "a");
    const SheetContent source = reportSheet("Data", values);
    const QString path = newWorkbook("cancel.xlsx", {source});
    SplitterForm form;
    form.import(path);
    RunProgress::setCancelAtValue(40 + 20);
    QCOMPARE(form.split("A2", "C42", "B"), QStringList{kCancelled});
    QVERIFY(form.window.isEnabled());

    const QList<SheetContent> after = readWorkbook(path);
    QCOMPARE(sheetNames(after), QStringList({"a", "b", "Data"}));
    QCOMPARE(sheetNamed(after, "a").rows.size(), 2 + 20 + 1);
    const int rowsOfB = sheetNamed(after, "b").rows.size();
    QVERIFY2(rowsOfB > 2 + 20 + 1 && rowsOfB < 2 + 40 + 1, qPrintable(QString::number(rowsOfB)));
    QCOMPARE(sheetNamed(after, "Data").rows, source.rows);
}

void TestSplitSheetFromColumn::refusesBadInputBeforeAnythingChanges_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("message");
    const QString rowRange = QStringLiteral("不在工作表的行范围（1到1048576）内，请重新输入。");
    QTest::newRow("start") << "2A"
                           << "C7"
                           << "B"
                           << "您输入的“起始位置”格式有误，请重新输入。";
    QTest::newRow("end") << "A2"
                         << "C"
                         << "B"
                         << "您输入的“结束位置”格式有误，请重新输入。";
    QTest::newRow("column with digit") << "A2"
                                       << "C7"
                                       << "A1"
                                       << "您输入的“分割参考列”格式有误，请重新输入。";
    QTest::newRow("column empty") << "A2"
                                  << "C7"
                                  << " "
                                  << "您输入的“分割参考列”格式有误，请重新输入。";
    QTest::newRow("column hyphen") << "A2"
                                   << "C7"
                                   << "-"
                                   << "您输入的“分割参考列”格式有误，请重新输入。";
    QTest::newRow("start row 0") << "A0"
                                 << "C7"
                                 << "B"
                                 << "您输入的“起始位置”" + rowRange;
    QTest::newRow("end beyond the sheet") << "A2"
                                          << "C9999999"
                                          << "B"
                                          << "您输入的“结束位置”" + rowRange;
    QTest::newRow("end above start") << "A5"
                                     << "C3"
                                     << "B"
                                     << "“结束位置”必须在“起始位置”（标题行）下面，数据区域里没有数据行，请重新输入。";
    QTest::newRow("end at start") << "A2"
                                  << "C2"
                                  << "B"
                                  << "“结束位置”必须在“起始位置”（标题行）下面，数据区域里没有数据行，请重新输入。";
    QTest::newRow("below the data") << "A40"
                                    << "C50"
                                    << "B"
                                    << "“Data”表在标题行（第40行）下面没有数据行，没有可以分割的内容，文件没有改动。";
    QTest::newRow("column beyond the sheet") << "A2"
                                             << "C7"
                                             << "ZZZZ"
                                             << "您输入的“分割参考列”超出了工作表的最后一列XFD，请重新输入。";
}

void TestSplitSheetFromColumn::refusesBadInputBeforeAnythingChanges()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, column);
    QFETCH(QString, message);
    const QString path = newWorkbook("checks.xlsx", {reportSheet("Data", {"a", "b", "b", "a", "b"})});
    const QByteArray before = fileHash(path);
    SplitterForm form;
    form.import(path);
    QCOMPARE(form.split(start, end, column), QStringList{message});
    QCOMPARE(fileHash(path), before);
    QVERIFY(form.window.isEnabled());
}

void TestSplitSheetFromColumn::refusesSheetNoLongerInWorkbook()
{
    SplitterForm form;
    QCOMPARE(form.split("A2", "C7", "B"), QStringList{"目标文件不存在，请重新选择。"});

    const QString path = newWorkbook("changed.xlsx", {reportSheet("Data", {"a", "b"})});
    form.import(path);
    // The list no longer matches the file (changed since the import).
    form.sheets->addItem("Gone");
    form.sheets->setCurrentText("Gone");
    const QByteArray before = fileHash(path);
    QCOMPARE(form.split("A2", "C4", "B"),
             QStringList{"文件中没有名为“Gone”的Sheet表，请重新导入文件并选择要处理的Sheet表。"});
    QCOMPARE(fileHash(path), before);
}

void TestSplitSheetFromColumn::reportsFailedSave()
{
    const QString path = newWorkbook("locked.xlsx", {reportSheet("Data", {"a", "b"})});
    // Someone else holds the file: the office opens it read-only and cannot save it.
    QFile lock(folder.filePath(".~lock.locked.xlsx#"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(",someone,elsewhere,01.01.2024 10:00,file:///nowhere/profile;\n");
    lock.close();
    SplitterForm form;
    form.import(path);
    const QByteArray before = fileHash(path);
    const QStringList shown = form.split("A2", "C4", "B");
    lock.remove();
    // Opened read-only: refused before anything is split.
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains("只能以只读方式打开"), qPrintable(shown.first()));
    QCOMPARE(fileHash(path), before);
}

QTEST_MAIN(TestSplitSheetFromColumn)
#include "tst_splitsheetfromcolumn.moc"
