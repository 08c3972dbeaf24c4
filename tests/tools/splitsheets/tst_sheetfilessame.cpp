// The sheet-to-files run writes, from the workbook loaded once, the same files as a full copy of
// the workbook cut down to each sheet (the way the files were always made, kept here as the
// reference): every part of every .xlsx and .ods file the same byte for byte apart from the save
// time, every cell's formula, value and style the same; .xls files the same as the office reads
// them (written again as .ods). Real workbooks, and one written the way Excel writes, with
// formulas that point at other sheets, names, a print area, a hidden sheet and a reference across
// three sheets. The target itself stays byte for byte.
#include "fileformat/zippackage.h"
#include "common/dialogs.h"
#include "common/pathutils.h"
#include "common/runprogress.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/shared/sheetfilesrun.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// A workbook as Excel writes one: shared strings, saved results, a style sheet of its own.
bool writeExcelLikeWorkbook(const QString& path)
{
    const QList<SheetContent> sheets = {
        {"汇总", {{"合计", "600"}, {"", "3"}, {"", "200"}, {"", "600"}, {"", "105"}, {"", "秘密"}}},
        {"数据", {{"名称", "金额"}, {"张三", "100", "113"}, {"李四", "200", "226"}, {"王五", "300", "339"}}},
        {"Other sheet", {{"甲", "", "101"}, {"1", "5"}, {"2", "3"}}},
        {"隐藏", {{"秘密"}}},
    };
    const QHash<QString, QString> totals = {
        {"B1", "SUM(数据!B2:B4)"}, {"B2", "COUNTA('Other sheet'!A1:A3)"}, {"B3", "IFERROR(数据!B2*2,-1)"},
        {"B4", "SUM(数据区)"},     {"B5", "SUM(数据:'Other sheet'!B2)"},  {"B6", "隐藏!A1"}};
    const auto cell = [](int row, int column) { return columnLetters(column) + QString::number(row); };
    const QByteArray wide = "<cols><col min=\"1\" max=\"1\" width=\"18.5\" customWidth=\"1\"/></cols>";
    const QByteArray margins =
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>";
    // The formats: 1 bold titles, 2 filled amounts.
    SheetLook summary;
    summary.style = [](int row, int column) { return row == 1 ? column : 0; };
    summary.formula = [&totals, &cell](int row, int column) { return totals.value(cell(row, column)); };
    summary.head = wide;
    summary.tail = margins;
    SheetLook data;
    data.style = [](int row, int column) { return row == 1 ? 1 : column > 1 ? 2 : 0; };
    data.formula = [](int row, int column) {
        return column == 3 ? QStringLiteral("B%1*(1+税率)").arg(row) : QString();
    };
    data.head = "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>" + wide;
    data.tail = margins;
    SheetLook other;
    other.formula = [](int row, int column) {
        return row == 1 && column == 3   ? QStringLiteral("数据!B2+1")
               : row == 3 && column == 2 ? QStringLiteral("SUM(备用)")
                                         : QString();
    };
    SheetLook hidden;
    hidden.hidden = true;

    XlsxLook look;
    look.sheets = {summary, data, other, hidden};
    look.styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00&quot;元&quot;\"/></numFmts>"
        "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/></font>"
        "<font><b/><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/></font></fonts>"
        "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
        "patternType=\"gray125\"/></fill>"
        "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor "
        "indexed=\"64\"/></patternFill></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
        "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
        "applyFill=\"1\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
    look.head = "<bookViews><workbookView xWindow=\"0\" yWindow=\"0\" windowWidth=\"20000\" windowHeight=\"10000\" "
                "activeTab=\"1\"/></bookViews>";
    look.tail = "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">数据!$A$1:$C$4</definedName>"
                "<definedName name=\"税率\">0.13</definedName><definedName name=\"数据区\">数据!$B$2:$B$4</definedName>"
                "<definedName name=\"备用\">'Other sheet'!$A$1:$A$3</definedName></definedNames>"
                "<calcPr calcId=\"191029\"/>";
    return writeXlsx(path, sheets, look);
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
