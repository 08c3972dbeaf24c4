// A failure is reported with what actually happened: a lost office is not called a protected
// sheet or a missing one, and a row deletion refused because of an array formula is not called
// protection.
#include "automation/axobject.h"
#include "automation/officeentry.h"
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "compare/comparerdriver.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/shared/sheetfilesjob.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Titles in row 1, values a/b alternating in column B, and one array formula over D2:D7 that
// every deletion of single rows would cut through.
QByteArray arrayFormulaDocument()
{
    QByteArray rows =
        R"x(<table:table-row><table:table-cell office:value-type="string"><text:p>id</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>kind</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>n</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>twice</text:p></table:table-cell></table:table-row>
)x";
    for (int row = 2; row <= 7; ++row) {
        const QByteArray kind = row % 2 ? "b" : "a";
        const QByteArray number = QByteArray::number(row);
        QByteArray twice = R"x(<table:table-cell office:value-type="float" office:value=")x"
                           + QByteArray::number(row * 2) + R"x("/>)x";
        if (row == 2)
            twice =
                R"x(<table:table-cell table:formula="of:=[.C2:.C7]*2" table:number-matrix-columns-spanned="1" table:number-matrix-rows-spanned="6" office:value-type="float" office:value="4"/>)x";
        rows += "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>r" + number
                + "</text:p></table:table-cell><table:table-cell office:value-type=\"string\"><text:p>" + kind
                + "</text:p></table:table-cell><table:table-cell office:value-type=\"float\" office:value=\"" + number
                + "\"/>" + twice + "</table:table-row>\n";
    }
    return R"x(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Data">
)x" + rows + R"x(</table:table></office:spreadsheet></office:body></office:document>
)x";
}

// The office writes the flat document as a workbook of the path's format.
bool writeConverted(const QByteArray& flatDocument, const QString& path)
{
    const QString flatPath = path + QStringLiteral(".fods");
    QFile flat(flatPath);
    if (!flat.open(QIODevice::WriteOnly) || flat.write(flatDocument) != flatDocument.size())
        return false;
    flat.close();
    AxObject application(QStringLiteral("Excel.Application"));
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    if (!workbooks)
        return false;
    workbooks->dynamicCall("Open(const QString&)", flatPath);
    std::unique_ptr<AxObject> workbook(application.querySubObject("ActiveWorkBook"));
    if (!workbook)
        return false;
    const bool saved = accepted(workbook.get(), [&] { workbook->dynamicCall("SaveAs(const QString&)", path); });
    workbook->dynamicCall("Close()");
    QFile::remove(flatPath);
    return saved;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString joined(const QStringList& texts)
{
    return texts.join(QStringLiteral(" / "));
}

} // namespace

class HonestCausesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString newFolder(const QString& name)
    {
        const QString path = folder.filePath(name);
        QDir().mkpath(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    void anArrayFormulaIsNotCalledProtection()
    {
        const QString path = newFolder("array") + "/array.xlsx";
        QVERIFY(writeConverted(arrayFormulaDocument(), path));
        const QByteArray original = fileBytes(path);
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = ColumnSplitJob({path, "Data", "A1", "D7", "B", false}).run(link);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Failed);
        const QString said = joined(outcome.messages);
        QVERIFY2(said.contains(QStringLiteral("数组公式")), qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("受保护")), qPrintable(said));
        QCOMPARE(fileBytes(path), original);
    }

    // The comparer works on the workbook its import loaded: with that office gone, the run says so
    // instead of calling the picked sheet missing.
    void theComparerSaysTheOfficeEnded()
    {
        const QString path =
            twoSheetWorkbook(newFolder("compare") + "/book.xlsx", {{"name"}, {"x"}, {"y"}}, {{"name"}, {"y"}, {"z"}});
        QVERIFY(!path.isEmpty());
        const QByteArray original = fileBytes(path);
        ComparerDriver comparer;
        comparer.importWorkbook(path);
        QCOMPARE(comparer.items("comboBoxSheet1").size(), 2);
        comparer.box("comboBoxSheet2")->setCurrentIndex(1);
        ComparerDriver::settle();
        OfficeServer::killOfficeForTests();
        KivMessageBox::clearShownTexts();
        comparer.compare(0, 0, "3", "3");
        const QString said = joined(KivMessageBox::shownTexts());
        QVERIFY2(said.contains(officeLostText(OfficeState::Ended)), qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("没有名为")) && !said.contains(QStringLiteral("受保护")),
                 qPrintable(said));
        comparer.destroyWindow();
        {
            ExcelOpKiv next;
        } // a fresh office clears the dead one's lock
        QCOMPARE(fileBytes(path), original);
    }

    // Killed as soon as the first sheet's file shows: the rest is reported as not done because the
    // office ended, not because a sheet could not be deleted.
    void theSheetSplitterSaysTheOfficeEnded()
    {
        const QString target = copyFixture("xlnt-Issue279_workbook_delete_rename.xlsx", newFolder("sheets"));
        const QString output = newFolder("sheets-out");
        std::atomic<bool> stop{false};
        std::atomic<bool> killed{false};
        std::thread killer([&] {
            for (int waited = 0; waited < 120000 && !stop; ++waited) {
                if (!filesIn(output).isEmpty()) {
                    OfficeServer::killOfficeForTests();
                    killed = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = SheetFilesJob({target, output}).run(link);
        stop = true;
        killer.join();
        QVERIFY(killed);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Failed);
        const QString said = joined(outcome.messages);
        QVERIFY2(said.contains(officeLostText(OfficeState::Ended)), qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("受保护")), qPrintable(said));
    }
};

QTEST_MAIN(HonestCausesTest)
#include "tst_honestcauses.moc"
