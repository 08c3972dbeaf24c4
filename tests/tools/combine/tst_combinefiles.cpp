// Workbooks combined into a new one through the real office, from the command line, and the two
// ways back after a split: sheet files combined again, and a column split's sheets combined again.
#include "packagereading.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList kTitles = {"名称", "数量"};

SheetContent sheet(const QString& name, const QStringList& names)
{
    SheetContent content{name, {kTitles}};
    for (int k = 0; k < names.size(); ++k)
        content.rows.append({names.at(k), QString::number(k + 1)});
    return content;
}

} // namespace

class CombineFilesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString path(const QString& name) const { return folder.filePath(name); }

    // a.xlsx (一月, 汇总 showing 一月's B2), b.ods (一月, 二月) and c.xls (三月) in a folder.
    QString threeFormats(const QString& name)
    {
        const QString dir = path(name);
        QDir().mkpath(dir);
        XlsxLook look;
        look.sheets = {SheetLook(), SheetLook()};
        look.sheets[1].formula = [](int row, int column) {
            return row == 2 && column == 2 ? QStringLiteral("一月!B2") : QString();
        };
        SheetContent summary{"汇总", {{"项目", "值"}, {"一月首行", "1"}}};
        if (!writeXlsx(dir + "/a.xlsx", {sheet("一月", {"苹果", "梨"}), summary}, look)
            || !writeWorkbook(dir + "/b.ods", {sheet("一月", {"桃"}), sheet("二月", {"李", "杏"})})
            || !writeWorkbook(dir + "/c.xls", {sheet("三月", {"枣"})}))
            return QString();
        return dir;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void everySheetBecomesASheet()
    {
        const QString dir = threeFormats("mixed");
        QVERIFY(!dir.isEmpty());
        const QString out = path("mixed.xlsx");
        const CliRun run = runCli({"combine-files", "--folder", dir, "--out", out, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> sheets = readWorkbook(out);
        QCOMPARE(sheetNames(sheets), QStringList({"a-一月", "汇总", "b-一月", "二月", "三月"}));
        QCOMPARE(sheetNamed(sheets, "b-一月").rows, sheet("一月", {"桃"}).rows);
        QCOMPARE(sheetNamed(sheets, "二月").rows, sheet("二月", {"李", "杏"}).rows);
        QCOMPARE(sheetNamed(sheets, "三月").rows, sheet("三月", {"枣"}).rows);
        // The summary's formula pointed into a.xlsx: it keeps the value it showed.
        const XlsxContent content = readXlsx(out);
        QCOMPARE(content.values.value("汇总").value("B2"), QStringLiteral("1"));
        QVERIFY(content.formulas.value("汇总").value("B2").isEmpty());
    }

    void sameNamedSheetsStack()
    {
        const QString dir = threeFormats("stack");
        const QString out = path("stack.ods");
        const CliRun run = runCli(
            {"combine-files", dir + "/a.xlsx", dir + "/b.ods", dir + "/c.xls", "--out", out, "--stack", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> sheets = readWorkbook(out);
        QCOMPARE(sheetNames(sheets), QStringList({"一月", "汇总", "二月", "三月"}));
        QCOMPARE(sheetNamed(sheets, "一月").rows,
                 QList<QStringList>(
                     {{"来源", "名称", "数量"}, {"a.xlsx", "苹果", "1"}, {"a.xlsx", "梨", "2"}, {"b.ods", "桃", "1"}}));
        QCOMPARE(sheetNamed(sheets, "三月").rows, QList<QStringList>({{"来源", "名称", "数量"}, {"c.xls", "枣", "1"}}));
    }

    void dryRunWritesNothing()
    {
        const QString dir = threeFormats("plan");
        const QString out = path("plan.xlsx");
        const CliRun run = runCli({"combine-files", "--folder", dir, "--out", out, "--stack", "--dry-run", "--json"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("\"name\":\"一月\"") && run.out.contains("\"rows\":4"), qPrintable(run.out));
        QVERIFY(!QFile::exists(out));
    }

    void badInputIsRefused()
    {
        const QString dir = threeFormats("bad");
        const QByteArray before = fileBytes(dir + "/a.xlsx");
        // The result is one of the sources.
        CliRun run = runCli({"combine-files", "--folder", dir, "--out", dir + "/a.xlsx", "--quiet"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("a.xlsx"), qPrintable(run.err));
        QCOMPARE(fileBytes(dir + "/a.xlsx"), before);
        // A folder without workbooks.
        QDir().mkpath(path("nothing"));
        run = runCli({"combine-files", "--folder", path("nothing"), "--out", path("nothing.xlsx"), "--quiet"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("没有工作簿"), qPrintable(run.err));
        // A file that is no workbook.
        QFile fake(path("fake.xlsx"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("not a workbook at all");
        fake.close();
        const QString out = path("fake-out.xlsx");
        run = runCli({"combine-files", dir + "/a.xlsx", path("fake.xlsx"), "--out", out, "--quiet"});
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.err.contains("fake.xlsx"), qPrintable(run.err));
        QVERIFY(!QFile::exists(out));
    }

    // A workbook with a password is refused before anything is written, named with the reason;
    // every source keeps its bytes.
    void passwordProtectedSourceIsRefused()
    {
        const QString dir = threeFormats("locked");
        const QString plain = dir + "/a.xlsx";
        const QByteArray plainBytes = fileBytes(plain);
        for (const QString fixture : {"xlnt-5_encrypted_agile.xlsx", "xlnt-6_encrypted_libre.xlsx"}) {
            const QString locked = copyFixture(fixture, dir);
            const QByteArray lockedBytes = fileBytes(locked);
            const QString out = path("locked.xlsx");
            for (const QStringList& sources : {QStringList{plain, locked}, QStringList{"--folder", dir}}) {
                const CliRun run =
                    runCli(QStringList{"combine-files"} + sources + QStringList{"--out", out, "--quiet"});
                QCOMPARE(run.exitCode, 1);
                QVERIFY2(run.err.contains(fixture) && run.err.contains("文件有密码保护"), qPrintable(run.err));
                QVERIFY(!QFile::exists(out));
            }
            QCOMPARE(fileBytes(locked), lockedBytes);
            QCOMPARE(fileBytes(plain), plainBytes);
            QFile::remove(locked);
        }
    }

    // Workbooks whose sheets are all empty give nothing to combine, stacked or not.
    void workbooksWithoutDataAreRefused()
    {
        QVERIFY(writeXlsx(path("empty1.xlsx"), {SheetContent{"空表", {}}}));
        QVERIFY(writeXlsx(path("empty2.xlsx"), {SheetContent{"空表", {}}, SheetContent{"也空", {}}}));
        const QString out = path("empty-out.xlsx");
        for (const QStringList& flags : {QStringList{}, QStringList{"--stack"}}) {
            const CliRun run =
                runCli(QStringList{"combine-files", path("empty1.xlsx"), path("empty2.xlsx"), "--out", out, "--quiet"}
                       + flags);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("都没有数据"), qPrintable(run.err));
            QVERIFY(!QFile::exists(out));
        }
    }

    // Stacked rows whose formulas pointed at another sheet of their file keep the values they
    // showed there; a formula of the row stays one, its references moved with the 来源 column.
    void stackedRowsKeepCrossSheetValues()
    {
        struct Rates
        {
            QString file, item, count, rate;
        };
        for (const Rates& book : {Rates{"x.xlsx", "苹果", "2", "5"}, Rates{"y.xlsx", "梨", "3", "7"}}) {
            XlsxLook look;
            look.sheets = {SheetLook()};
            look.sheets[0].formula = [](int row, int column) {
                if (row < 2 || column < 3)
                    return QString();
                return column == 3 ? QStringLiteral("B%1*参数!B2").arg(row) : QStringLiteral("B%1*2").arg(row);
            };
            const int count = book.count.toInt();
            const QStringList row = {book.item, book.count, QString::number(count * book.rate.toInt()),
                                     QString::number(2 * count)};
            QVERIFY(writeXlsx(
                path(book.file),
                {{"数据", {{"名称", "数量", "金额", "两倍"}, row}}, {"参数", {{"项目", "值"}, {"单价", book.rate}}}},
                look));
        }
        const QString out = path("rates.xlsx");
        const CliRun run =
            runCli({"combine-files", path("x.xlsx"), path("y.xlsx"), "--out", out, "--stack", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(sheetNamed(readWorkbook(out), "数据").rows,
                 QList<QStringList>({{"来源", "名称", "数量", "金额", "两倍"},
                                     {"x.xlsx", "苹果", "2", "10", "4"},
                                     {"y.xlsx", "梨", "3", "21", "6"}}));
        const XlsxContent content = readXlsx(out);
        QVERIFY(content.formulas.value("数据").value("D2").isEmpty());
        QVERIFY(content.formulas.value("数据").value("D3").isEmpty());
        QCOMPARE(content.formulas.value("数据").value("E3"), QStringLiteral("C3*2"));
    }

    // Stacked with titles matched: z.xlsx has a column 备注 the first file lacks. Its row formula
    // over 数量 stays one, pointing at 数量's new place; 备注's formula, whose column goes to the
    // end apart from 数量, keeps the value it showed.
    void stackedAlignedRowsKeepFormulasOrValues()
    {
        XlsxLook look;
        look.sheets = {SheetLook()};
        look.sheets[0].formula = [](int row, int column) {
            return row == 2 && column == 3 ? QStringLiteral("B2*2") : QString();
        };
        QVERIFY(writeXlsx(path("first.xlsx"), {{"数据", {{"名称", "数量", "两倍"}, {"苹果", "2", "4"}}}}, look));
        look.sheets[0].formula = [](int row, int column) {
            return row < 2       ? QString()
                   : column == 2 ? QStringLiteral("C2+100")
                   : column == 4 ? QStringLiteral("C2*2")
                                 : QString();
        };
        QVERIFY(writeXlsx(path("second.xlsx"), {{"数据", {{"名称", "备注", "数量", "两倍"}, {"梨", "103", "3", "6"}}}},
                          look));
        const QString out = path("aligned.xlsx");
        const CliRun run = runCli({"combine-files", path("first.xlsx"), path("second.xlsx"), "--out", out, "--stack",
                                   "--align-titles", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(sheetNamed(readWorkbook(out), "数据").rows,
                 QList<QStringList>({{"来源", "名称", "数量", "两倍", "备注"},
                                     {"first.xlsx", "苹果", "2", "4", ""},
                                     {"second.xlsx", "梨", "3", "6", "103"}}));
        const QMap<QString, QString> formulas = readXlsx(out).formulas.value("数据");
        QCOMPARE(formulas.value("D3"), QStringLiteral("C3*2"));
        QVERIFY2(formulas.value("E3").isEmpty(), qPrintable(formulas.value("E3")));
    }

    void tooManyRowsForTheFormatAreRefused()
    {
        SheetContent big{"数据", {kTitles}};
        for (int k = 0; k < 40000; ++k)
            big.rows.append({QStringLiteral("n%1").arg(k), QString::number(k)});
        QVERIFY(writeXlsx(path("big1.xlsx"), {big}));
        QVERIFY(writeXlsx(path("big2.xlsx"), {big}));
        const QString out = path("big.xls");
        const CliRun run =
            runCli({"combine-files", path("big1.xlsx"), path("big2.xlsx"), "--out", out, "--stack", "--quiet"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("65536"), qPrintable(run.err));
        QVERIFY(!QFile::exists(out));
    }

    // Sheet files, combined again, give back the workbook's sheets.
    void sheetFilesCombineBack()
    {
        const QList<SheetContent> sheets = {sheet("北区", {"a", "b"}), sheet("南区", {"c"}), sheet("东区", {"d", "e"})};
        const QString book = path("regions.xlsx");
        QVERIFY(writeWorkbook(book, sheets));
        CliRun run = runCli({"split-sheets", book, "--out", path("regions"), "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString out = path("regions-back.xlsx");
        run = runCli({"combine-files", path("regions/北区.xlsx"), path("regions/南区.xlsx"), path("regions/东区.xlsx"),
                      "--out", out, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> back = readWorkbook(out);
        QCOMPARE(sheetNames(back), sheetNames(sheets));
        for (const SheetContent& original : readWorkbook(book))
            QCOMPARE(sheetNamed(back, original.name).rows, original.rows);
    }

    // A column split's sheets, combined again, give back the source's rows grouped by value.
    void columnSplitCombinesBack()
    {
        const QStringList values = {"x", "y", "x", "z", "y", "x"};
        SheetContent data{"数据", {{"编号", "区域", "金额"}}};
        for (int k = 0; k < values.size(); ++k)
            data.rows.append({QStringLiteral("r%1").arg(k), values.at(k), QString::number(k * 10)});
        const QString book = path("split.xlsx");
        QVERIFY(writeWorkbook(book, {data}));
        CliRun run = runCli({"split-column", book, "--sheet", "数据", "--column", "B", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QStringList valueSheets = sheetNames(readWorkbook(book));
        valueSheets.removeOne("数据");
        QCOMPARE(valueSheets.size(), 3);
        run = runCli({"combine-sheets", book, "--sheets", valueSheets.join(','), "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> after = readWorkbook(book);
        QList<QStringList> expected = {data.rows.first()};
        for (const QString& value : valueSheets)
            for (const QStringList& row : data.rows.mid(1))
                if (row.at(1) == value)
                    expected.append(row);
        QCOMPARE(sheetNamed(after, "合并").rows, expected);
    }
};

QTEST_MAIN(CombineFilesTest)
#include "tst_combinefiles.moc"
