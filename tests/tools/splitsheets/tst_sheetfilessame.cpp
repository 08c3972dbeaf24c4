// The sheet-to-files run writes, from the workbook loaded once, the same files as a full copy of
// the workbook cut down to each sheet (the way the files were always made, kept here as the
// reference): every part of every .xlsx and .ods file the same byte for byte apart from the save
// time, every cell's formula, value and style the same; .xls files the same as the office reads
// them (written again as .ods). Real workbooks, and one written the way Excel writes, with
// formulas that point at other sheets, names, a print area, a hidden sheet and a reference across
// three sheets. The target itself stays byte for byte.
#include "automation/axobject.h"
#include "common/dialogs.h"
#include "common/pathutils.h"
#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitsheets/sheetfilesrun.h"
#include "zipwriter.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {


// A workbook as Excel writes one: shared strings, cached results, a style sheet of its own.
QList<QPair<QByteArray, QByteArray>> excelLikeParts()
{
    const QByteArray sheetHead =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    const QByteArray wide = "<cols><col min=\"1\" max=\"1\" width=\"18.5\" customWidth=\"1\"/></cols>";
    return {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet3.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet4.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
         "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
         "</Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
         "</Relationships>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<bookViews><workbookView xWindow=\"0\" yWindow=\"0\" windowWidth=\"20000\" windowHeight=\"10000\" activeTab=\"1\"/></bookViews>"
         "<sheets><sheet name=\"汇总\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"数据\" sheetId=\"2\" r:id=\"rId2\"/>"
         "<sheet name=\"Other sheet\" sheetId=\"3\" r:id=\"rId3\"/><sheet name=\"隐藏\" sheetId=\"4\" state=\"hidden\" r:id=\"rId4\"/></sheets>"
         "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">数据!$A$1:$C$4</definedName>"
         "<definedName name=\"税率\">0.13</definedName><definedName name=\"数据区\">数据!$B$2:$B$4</definedName>"
         "<definedName name=\"备用\">'Other sheet'!$A$1:$A$3</definedName></definedNames>"
         "<calcPr calcId=\"191029\"/></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
         "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet3.xml\"/>"
         "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet4.xml\"/>"
         "<Relationship Id=\"rId5\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
         "<Relationship Id=\"rId6\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
         "</Relationships>"},
        {"xl/styles.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00&quot;元&quot;\"/></numFmts>"
         "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/></font>"
         "<font><b/><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/></font></fonts>"
         "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
         "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor indexed=\"64\"/></patternFill></fill></fills>"
         "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
         "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
         "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
         "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
         "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\"/></cellXfs>"
         "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>"},
        {"xl/sharedStrings.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"8\" uniqueCount=\"8\">"
         "<si><t>合计</t></si><si><t>名称</t></si><si><t>金额</t></si><si><t>张三</t></si><si><t>李四</t></si>"
         "<si><t>王五</t></si><si><t>甲</t></si><si><t>秘密</t></si></sst>"},
        {"xl/worksheets/sheet1.xml",
         sheetHead + wide + "<sheetData>"
         "<row r=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"2\"><f>SUM(数据!B2:B4)</f><v>600</v></c></row>"
         "<row r=\"2\"><c r=\"B2\"><f>COUNTA('Other sheet'!A1:A3)</f><v>3</v></c></row>"
         "<row r=\"3\"><c r=\"B3\"><f>IFERROR(数据!B2*2,-1)</f><v>200</v></c></row>"
         "<row r=\"4\"><c r=\"B4\"><f>SUM(数据区)</f><v>600</v></c></row>"
         "<row r=\"5\"><c r=\"B5\"><f>SUM(数据:'Other sheet'!B2)</f><v>105</v></c></row>"
         "<row r=\"6\"><c r=\"B6\" t=\"str\"><f>隐藏!A1</f><v>秘密</v></c></row>"
         "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>"},
        {"xl/worksheets/sheet2.xml",
         sheetHead + "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>" + wide + "<sheetData>"
         "<row r=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>1</v></c><c r=\"B1\" s=\"1\" t=\"s\"><v>2</v></c></row>"
         "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>3</v></c><c r=\"B2\" s=\"2\"><v>100</v></c><c r=\"C2\" s=\"2\"><f>B2*(1+税率)</f><v>113</v></c></row>"
         "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>4</v></c><c r=\"B3\" s=\"2\"><v>200</v></c><c r=\"C3\" s=\"2\"><f>B3*(1+税率)</f><v>226</v></c></row>"
         "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>5</v></c><c r=\"B4\" s=\"2\"><v>300</v></c><c r=\"C4\" s=\"2\"><f>B4*(1+税率)</f><v>339</v></c></row>"
         "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>"},
        {"xl/worksheets/sheet3.xml",
         sheetHead + "<sheetData>"
         "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>6</v></c><c r=\"C1\"><f>数据!B2+1</f><v>101</v></c></row>"
         "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\"><v>5</v></c></row>"
         "<row r=\"3\"><c r=\"A3\"><v>2</v></c><c r=\"B3\"><f>SUM(备用)</f><v>3</v></c></row>"
         "</sheetData></worksheet>"},
        {"xl/worksheets/sheet4.xml",
         sheetHead + "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row></sheetData></worksheet>"},
    };
}

bool writeExcelLikeWorkbook(const QString& path)
{
    ZipWriter writer(path);
    for (const auto& part : excelLikeParts()) {
        ZipPackage::Entry entry;
        entry.name = part.first;
        entry.date = (44 << 9) | (6 << 5) | 1; // 2024-06-01
        writer.add(entry, part.second);
    }
    return writer.finish();
}

bool convertWorkbook(const QString& from, const QString& to)
{
    AxObject application(QStringLiteral("Excel.Application"));
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    workbooks->dynamicCall("Open(const QString&)", from);
    std::unique_ptr<AxObject> workbook(application.querySubObject("ActiveWorkBook"));
    if (!workbook)
        return false;
    AxObject* book = workbook.get();
    const bool saved = accepted(book, [&] { book->dynamicCall("SaveAs(const QString&)", to); });
    book->dynamicCall("Close()");
    return saved;
}


// Every part of a zip package; the save time and the time the workbook was open in the office
// (the file's editing time) left out of its properties.
QMap<QByteArray, QByteArray> packageParts(const QString& path)
{
    QMap<QByteArray, QByteArray> parts;
    ZipPackage package;
    if (!package.open(path))
        return parts;
    static const QRegularExpression savedAt(
        QStringLiteral("<dcterms:modified[^>]*>[^<]*</dcterms:modified>|<dc:date>[^<]*</dc:date>"
                       "|<meta:editing-duration>[^<]*</meta:editing-duration>|<TotalTime>[^<]*</TotalTime>"));
    for (const ZipPackage::Entry& entry : package.entries()) {
        // A picture of the first page, drawn anew at every save: not what the file holds.
        if (entry.name.startsWith("Thumbnails/"))
            continue;
        QByteArray bytes = package.unpacked(entry);
        if (entry.name == "docProps/core.xml" || entry.name == "docProps/app.xml" || entry.name == "meta.xml")
            bytes = QString::fromUtf8(bytes).remove(savedAt).toUtf8();
        parts.insert(entry.name, bytes);
    }
    return parts;
}

// The first difference of two maps, for a readable failure.
template <typename Map>
QString firstDifference(const Map& reference, const Map& run)
{
    for (auto it = reference.cbegin(); it != reference.cend(); ++it) {
        if (!run.contains(it.key()))
            return QStringLiteral("only in the reference: %1").arg(QString(it.key()));
        if (run.value(it.key()) != it.value()) {
            const QString expected = QString(it.value());
            const QString actual = QString(run.value(it.key()));
            int at = 0;
            while (at < expected.size() && at < actual.size() && expected.at(at) == actual.at(at))
                ++at;
            return QStringLiteral("%1 differs from character %2:\n reference: %3\n run:       %4")
                .arg(QString(it.key()))
                .arg(at)
                .arg(expected.mid(qMax(0, at - 60), 300), actual.mid(qMax(0, at - 60), 300));
        }
    }
    for (auto it = run.cbegin(); it != run.cend(); ++it) {
        if (!reference.contains(it.key()))
            return QStringLiteral("only from the run: %1").arg(QString(it.key()));
    }
    return QString();
}

// The reference: for each sheet a byte copy of the target, every other sheet deleted, saved.
QStringList referenceFiles(const QString& target, const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QStringList written;
    ExcelOpKiv book;
    book.openWorkBook(target);
    book.openSheets();
    const QStringList names = book.getSheetNames();
    for (const QString& name : names) {
        const QString path = joinPath(folder, sanitizeFileName(name) + QLatin1Char('.') + QFileInfo(target).suffix());
        QFile::remove(path);
        if (!QFile::copy(target, path) || !book.openWorkBook(path))
            return {};
        book.openSheets();
        for (int i = 0; i < names.size(); ++i)
            if (names.at(i) != name && !book.deleteSheetAt(i))
                return {};
        if (!book.saveWorkbook())
            return {};
        written.append(path);
    }
    return written;
}

struct RunResult
{
    SheetFilesRun::Outcome outcome = SheetFilesRun::Outcome::Finished;
    QStringList written;
    QStringList failures;
};

RunResult splitInto(const QString& target, const QString& folder, const QStringList& only = {})
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    std::unique_ptr<ExcelOpKiv> link = openedWorkbook(target);
    SheetFilesRun run(*link, target, folder);
    // Both ways compared as they write formulas: as they are.
    run.keepFormulasPointingElsewhere(true);
    RunResult result;
    result.outcome = run.run(only.isEmpty() ? link->getSheetNames() : only);
    result.written = run.written();
    result.failures = run.notWritten();
    return result;
}

} // namespace

class TestSheetFilesSame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameFilesAsFullCopies_data();
    void sameFilesAsFullCopies();
    void someSheetsOnly();
    void deletionsUndoneWhole();
    void targetOpenElsewhereStillSplits();
    void targetChangedMeanwhileIsNotSplitFurther();

private:
    QString workbookFor(const QString& source);
    QTemporaryDir root;
};

void TestSheetFilesSame::initTestCase()
{
    initTestEnvironment();
    QVERIFY(root.isValid());
}

QString TestSheetFilesSame::workbookFor(const QString& source)
{
    const QString folder = root.filePath(QStringLiteral("targets"));
    QDir().mkpath(folder);
    if (source == QLatin1String("excel-like.xlsx")) {
        const QString path = QDir(folder).filePath(source);
        return writeExcelLikeWorkbook(path) ? path : QString();
    }
    // The same workbook as the office writes it, in each of its formats.
    if (source.startsWith(QLatin1String("office-written."))) {
        const QString xlsx = QDir(folder).filePath(QStringLiteral("excel-like-to-convert.xlsx"));
        const QString path = QDir(folder).filePath(source);
        QFile::remove(path);
        return writeExcelLikeWorkbook(xlsx) && convertWorkbook(xlsx, path) ? path : QString();
    }
    return copyFixture(source, folder);
}

void TestSheetFilesSame::sameFilesAsFullCopies_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("Excel-like, formulas across sheets") << "excel-like.xlsx";
    QTest::newRow("defined names, print areas") << "xlnt-19_defined_names.xlsx";
    QTest::newRow("seven sheets") << "xlnt-Issue279_workbook_delete_rename.xlsx";
    QTest::newRow("hidden sheet") << "xlnt-16_hidden_sheet.xlsx";
    QTest::newRow("notes, hyperlinks (the slow way)") << "xlnt-10_comments_hyperlinks_formulae.xlsx";
    QTest::newRow("office-written xlsx") << "office-written.xlsx";
    QTest::newRow("xls profiles") << "xlrd-profiles.xls";
    QTest::newRow("xls with names") << "xlrd-namesdemo.xls";
    QTest::newRow("xls, formulas across sheets") << "office-written.xls";
    QTest::newRow("ods, formulas across sheets") << "office-written.ods";
}

void TestSheetFilesSame::sameFilesAsFullCopies()
{
    QFETCH(QString, source);
    const QString target = workbookFor(source);
    QVERIFY(!target.isEmpty());
    const QByteArray before = fileBytes(target);
    const QString referenceFolder = root.filePath(QStringLiteral("reference"));
    const QString runFolder = root.filePath(QStringLiteral("run"));
    const QStringList reference = referenceFiles(target, referenceFolder);
    const RunResult run = splitInto(target, runFolder);

    QVERIFY(reference.size() >= 2);
    QCOMPARE(run.outcome, SheetFilesRun::Outcome::Finished);
    QCOMPARE(run.failures, QStringList());
    QCOMPARE(run.written.size(), reference.size());
    QCOMPARE(QDir(runFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QDir(referenceFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name));
    QCOMPARE(fileBytes(target), before);

    for (const QString& referenceFile : reference) {
        const QString name = QFileInfo(referenceFile).fileName();
        const QString runFile = QDir(runFolder).filePath(name);
        const QList<SheetContent> expected = readWorkbook(referenceFile);
        const QList<SheetContent> actual = readWorkbook(runFile);
        QCOMPARE(sheetNames(actual), sheetNames(expected));
        QCOMPARE(actual.size(), 1);
        QCOMPARE(actual.first().rows, expected.first().rows);
        // An .xls file compares as the office reads it: both written again as .ods.
        QString expectedPackage = referenceFile;
        QString actualPackage = runFile;
        if (source.endsWith(QLatin1String(".xls"))) {
            expectedPackage = root.filePath(QStringLiteral("reference-as.ods"));
            actualPackage = root.filePath(QStringLiteral("run-as.ods"));
            QFile::remove(expectedPackage);
            QFile::remove(actualPackage);
            QVERIFY(convertWorkbook(referenceFile, expectedPackage) && convertWorkbook(runFile, actualPackage));
        }
        const QString parts = firstDifference(packageParts(expectedPackage), packageParts(actualPackage));
        QVERIFY2(parts.isEmpty(), qPrintable(name + QStringLiteral(": ") + parts));
    }
}

// The sheets asked for get files, the others none; the others still go from every file.
void TestSheetFilesSame::someSheetsOnly()
{
    const QString target = workbookFor(QStringLiteral("xlnt-Issue279_workbook_delete_rename.xlsx"));
    std::unique_ptr<ExcelOpKiv> probe = openedWorkbook(target);
    const QStringList all = probe->getSheetNames();
    probe.reset();
    QVERIFY(all.size() >= 5);
    const QStringList only = {all.at(1), all.at(4)};
    const QString folder = root.filePath(QStringLiteral("some"));
    const RunResult run = splitInto(target, folder, only);
    QCOMPARE(run.failures, QStringList());
    QCOMPARE(run.written.size(), 2);
    for (int k = 0; k < 2; ++k)
        QCOMPARE(sheetNames(readWorkbook(run.written.at(k))), QStringList{only.at(k)});
}

// What the run stands on: a group of sheets goes in one step or not at all, an undo brings the
// group back in its places, and a copy never replaces the workbook's own file.
void TestSheetFilesSame::deletionsUndoneWhole()
{
    const QString target = workbookFor(QStringLiteral("xlnt-Issue279_workbook_delete_rename.xlsx"));
    const QByteArray before = fileBytes(target);
    std::unique_ptr<ExcelOpKiv> book = openedWorkbook(target);
    const QStringList all = book->getSheetNames();
    QVERIFY(all.size() >= 4);
    KivMessageBox::clearShownTexts();

    QVERIFY(!book->deleteSheetsUndoably({all.at(1), QStringLiteral("没有这个表")}));
    book->openSheets();
    QCOMPARE(book->getSheetNames(), all);

    QVERIFY(book->deleteSheetsUndoably({all.at(0), all.at(2), all.at(3)}));
    book->openSheets();
    QCOMPARE(book->getSheetNames(), all.mid(1, 1) + all.mid(4));
    QVERIFY(book->undoLastStep());
    book->openSheets();
    QCOMPARE(book->getSheetNames(), all);
    QVERIFY(!book->undoLastStep()); // nothing left to take back

    QVERIFY(!book->saveWorkbookCopyAs(target));
    const QString copy = root.filePath(QStringLiteral("copy.XLSX"));
    QVERIFY(book->saveWorkbookCopyAs(copy));
    QCOMPARE(sheetNames(readWorkbook(copy)), all); // the workbook's own format, whatever the name
    book.reset();
    QCOMPARE(fileBytes(target), before);
}

// A workbook another user has open loads read-only; its copies are written all the same.
void TestSheetFilesSame::targetOpenElsewhereStillSplits()
{
    const QString target = workbookFor(QStringLiteral("excel-like.xlsx"));
    QVERIFY(lockByAnotherUser(target));
    const QByteArray before = fileBytes(target);
    const RunResult run = splitInto(target, root.filePath(QStringLiteral("locked-out")));
    QCOMPARE(run.failures, QStringList());
    QCOMPARE(run.written.size(), 4);
    QCOMPARE(sheetNames(readWorkbook(run.written.at(1))), QStringList{QStringLiteral("数据")});
    QCOMPARE(fileBytes(target), before);
}

namespace {

// A progress view that lets another program save the target when the run's progress reaches a
// value.
class SavingElsewhereView : public RunProgress::View
{
public:
    SavingElsewhereView(QString target, int atValue) : target(std::move(target)), atValue(atValue) {}
    void setLabel(const QString&) override {}
    void setValue(int value) override
    {
        if (value != atValue)
            return;
        QFile file(target);
        if (file.open(QIODevice::Append))
            file.write("\n");
    }
    bool wasCanceled() const override { return false; }
    void close() override {}

private:
    QString target;
    int atValue;
};

} // namespace

// The run loads the target again half way; a target another program changed meanwhile gives no
// more files, and those not written say why.
void TestSheetFilesSame::targetChangedMeanwhileIsNotSplitFurther()
{
    const QString target = workbookFor(QStringLiteral("excel-like.xlsx"));
    const RunProgress::ViewFactory shown = RunProgress::viewFactory();
    RunProgress::setViewFactory([&target](const QString&, const QString&, int, int) {
        return std::make_unique<SavingElsewhereView>(target, 1); // while the first sheet's file is made
    });
    const RunResult run = splitInto(target, root.filePath(QStringLiteral("changed-out")));
    RunProgress::setViewFactory(shown);
    QCOMPARE(run.written.size(), 2); // the first half was cut from the target as it was loaded
    QCOMPARE(run.failures.size(), 2);
    QVERIFY2(run.failures.first().contains(QStringLiteral("被其他程序改动")), qPrintable(run.failures.first()));
}

QTEST_MAIN(TestSheetFilesSame)
#include "tst_sheetfilessame.moc"
