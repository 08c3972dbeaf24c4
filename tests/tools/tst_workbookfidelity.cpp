// A workbook comes back as the user sent it, plus what the tool did: every text keeps its font and
// gains no runs in other fonts, through all three tools and in .xlsx, .xls and .ods, judged from
// the saved packages against the source as a Chinese Excel wrote it.
#include "chineseofficebook.h"
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using FontedTexts = QMap<QPair<QString, QString>, int>; // (text, font) -> cells

FontedTexts fontedTexts(const XlsxContent& content, const QString& sheet)
{
    FontedTexts found;
    const QMap<QString, QString> texts = content.texts.value(sheet);
    for (auto cell = texts.cbegin(); cell != texts.cend(); ++cell)
        ++found[qMakePair(cell.value(), content.fonts.value(sheet).value(cell.key()))];
    return found;
}

// The (text, font) pairs of the source that the result lacks, as "text in font" lines.
QStringList missingFrom(const FontedTexts& result, const FontedTexts& source)
{
    QStringList missing;
    for (auto pair = source.cbegin(); pair != source.cend(); ++pair)
        if (result.value(pair.key()) < pair.value())
            missing << QStringLiteral("%1 in %2").arg(pair.key().first, pair.key().second);
    return missing;
}

// Only the pairs whose text the source sheet has (a tool's own headers and counts aside).
FontedTexts restrictedTo(const FontedTexts& pairs, const FontedTexts& source)
{
    QSet<QString> texts;
    for (auto pair = source.cbegin(); pair != source.cend(); ++pair)
        texts.insert(pair.key().first);
    FontedTexts kept;
    for (auto pair = pairs.cbegin(); pair != pairs.cend(); ++pair)
        if (texts.contains(pair.key().first))
            kept.insert(pair.key(), pair.value());
    return kept;
}

} // namespace

class WorkbookFidelityTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString sourceXlsx;
    XlsxContent source;

    // The workbook in the format of the extension: the source itself, or the office's
    // conversion of it.
    QString bookIn(const QString& extension, const QString& name)
    {
        const QString path = folder.filePath(name + QLatin1Char('.') + extension);
        QFile::remove(path);
        if (extension == QLatin1String("xlsx"))
            return QFile::copy(sourceXlsx, path) ? path : QString();
        auto book = openedWorkbook(sourceXlsx);
        return book && book->saveWorkbookAs(path) ? path : QString();
    }

    // What a saved workbook of any format holds, read from an .xlsx the office makes of it.
    XlsxContent contentOf(const QString& path)
    {
        if (path.endsWith(QLatin1String(".xlsx")))
            return readXlsx(path);
        const QString converted = path + QStringLiteral(".read.xlsx");
        QFile::remove(converted);
        auto book = openedWorkbook(path);
        if (!book || !book->saveWorkbookAs(converted))
            return XlsxContent();
        return readXlsx(converted);
    }

    void verifyFontsKept(const XlsxContent& result, const QString& sheet, const QString& sourceSheet)
    {
        QVERIFY2(result.read, qPrintable(sheet));
        const FontedTexts before = fontedTexts(source, sourceSheet);
        const FontedTexts after = restrictedTo(fontedTexts(result, sheet), before);
        // A new sheet holds some of the source's rows: every pair it has, the source had.
        const QStringList changed = missingFrom(before, after);
        QVERIFY2(changed.isEmpty(),
                 qPrintable(sheet + QStringLiteral(": ") + changed.mid(0, 5).join(QStringLiteral("; "))));
        QVERIFY2(!after.isEmpty(), qPrintable(sheet));
    }

    void verifyNoRuns(const XlsxContent& result)
    {
        QVERIFY2(result.textRuns == 0,
                 qPrintable(
                     QStringLiteral("%1 runs in %2").arg(result.textRuns).arg(result.runFonts.join(QLatin1Char(',')))));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
        sourceXlsx = folder.filePath(QStringLiteral("source.xlsx"));
        QVERIFY(ChineseOfficeBook::write(sourceXlsx));
        source = readXlsx(sourceXlsx);
        QCOMPARE(source.sheets, ChineseOfficeBook::sheetNames());
    }

    void formats_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("xls") << QStringLiteral("xls");
        QTest::newRow("ods") << QStringLiteral("ods");
    }

    void comparedWorkbookKeepsEveryFont_data() { formats_data(); }
    void comparedWorkbookKeepsEveryFont()
    {
        QFETCH(QString, extension);
        const QString book = bookIn(extension, QStringLiteral("compare"));
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli({QStringLiteral("compare"), book, QStringLiteral("--sheet1"), QStringLiteral("名单"),
                                   QStringLiteral("--column1"), QStringLiteral("A"), QStringLiteral("--sheet2"),
                                   QStringLiteral("报名"), QStringLiteral("--column2"), QStringLiteral("A"),
                                   QStringLiteral("--quiet"), QStringLiteral("--allow-loss")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent result = contentOf(book);
        for (const QString& sheet : ChineseOfficeBook::sheetNames())
            verifyFontsKept(result, sheet, sheet);
        verifyNoRuns(result);
    }

    void splitColumnKeepsEveryFont_data() { formats_data(); }
    void splitColumnKeepsEveryFont()
    {
        QFETCH(QString, extension);
        const QString book = bookIn(extension, QStringLiteral("split"));
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli({QStringLiteral("split-column"), book, QStringLiteral("--sheet"),
                                   QStringLiteral("报名"), QStringLiteral("--start"), QStringLiteral("A1"),
                                   QStringLiteral("--end"), QStringLiteral("Q31"), QStringLiteral("--column"),
                                   QStringLiteral("C"), QStringLiteral("--quiet"), QStringLiteral("--allow-loss")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent result = contentOf(book);
        QCOMPARE(result.sheets.size(), 5);
        for (const QString& sheet : result.sheets)
            verifyFontsKept(result, sheet, sheet == QStringLiteral("名单") ? sheet : QStringLiteral("报名"));
        verifyNoRuns(result);
    }

    void sheetFilesKeepEveryFont_data() { formats_data(); }
    void sheetFilesKeepEveryFont()
    {
        QFETCH(QString, extension);
        const QString book = bookIn(extension, QStringLiteral("files"));
        QVERIFY(!book.isEmpty());
        const QString out = folder.filePath(QStringLiteral("files-") + extension);
        QVERIFY(QDir().mkpath(out));
        const CliRun run =
            runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out, QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        for (const QString& sheet : ChineseOfficeBook::sheetNames()) {
            const XlsxContent result = contentOf(QDir(out).filePath(sheet + QLatin1Char('.') + extension));
            verifyFontsKept(result, sheet, sheet);
            verifyNoRuns(result);
        }
    }

    // A PDF of a sheet shows its Chinese texts in a font that has them.
    void sheetPdfShowsChineseInAChineseFont()
    {
        const QString out = folder.filePath(QStringLiteral("pdf"));
        QVERIFY(QDir().mkpath(out));
        const CliRun run = runCli({QStringLiteral("split-sheets"), sourceXlsx, QStringLiteral("--out"), out,
                                   QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QByteArray pdf = fileBytes(QDir(out).filePath(QStringLiteral("名单.pdf")));
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY2(pdf.contains("WenQuanYi"), "no Chinese font embedded");
    }
};

QTEST_MAIN(WorkbookFidelityTest)
#include "tst_workbookfidelity.moc"
