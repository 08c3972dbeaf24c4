// The two splitter windows as a new user meets them: forms that show whole, the data area filled
// in from the picked sheet, a read-only workbook named at import, a cancelled import that changes
// nothing, drops, remembered folders, one-line fields, a dialog through the save, and honest
// final messages.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "compare/comparerdriver.h"
#include "formchecks.h"
#include "testsupport.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"
#include "tools/workbookimport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUrl>
#include <memory>
#include <QtTest>

namespace {

void dropFile(QTextEdit* field, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // As a real drag: entered, then dropped.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field->viewport(), &drop);
}

} // namespace

class SplitterWindowsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString newBook(const QString& name, const QList<SheetContent>& sheets)
    {
        const QString path = folder.filePath(name);
        return writeWorkbook(path, sheets) ? path : QString();
    }

    static QTextEdit* field(QWidget& window, const char* name) { return window.findChild<QTextEdit*>(name); }
    static void click(QWidget& window, const char* name) { window.findChild<QPushButton*>(name)->click(); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    // --- both ---

    // As each opens: every text shows whole, nothing reaches out of the window, nothing covers
    // anything else.
    void formsFitTheirWindows_data()
    {
        QTest::addColumn<bool>("byColumn");
        QTest::newRow("column splitter") << true;
        QTest::newRow("sheet-to-files splitter") << false;
    }
    void formsFitTheirWindows()
    {
        QFETCH(bool, byColumn);
        ProgramFont font;
        std::unique_ptr<QMainWindow> window;
        if (byColumn)
            window = std::make_unique<SplitSheetFromColumn>();
        else
            window = std::make_unique<splitExcelFromSheets>();
        const QStringList faults = layoutFaultsOnScreen(*window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // --- the column splitter ---

    void pickingASheetFillsTheDataArea()
    {
        const QString path =
            newBook("area.xlsx", {{"Short", {{"k", "v"}, {"a", "1"}}},
                                  {"Long", {{"id", "city", "n"}, {"1", "x", "2"}, {"2", "y", "3"}, {"3", "x", "4"}}}});
        SplitSheetFromColumn window;
        KivFileDialog::setNextFileName(path);
        click(window, "importFileButton");
        QCOMPARE(field(window, "startCellText")->toPlainText(), QString("A1"));
        QCOMPARE(field(window, "endCellText")->toPlainText(), QString("B2"));
        window.findChild<QComboBox*>("comboBoxSheets")->setCurrentIndex(1);
        QCOMPARE(field(window, "endCellText")->toPlainText(), QString("C4"));
        // Split with what was filled in: the titles stay titles, every record lands in a sheet.
        field(window, "referColText")->setPlainText("B");
        click(window, "pushButton");
        QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Information);
        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(sheetNamed(after, "x").rows,
                 QList<QStringList>({{"id", "city", "n"}, {"1", "x", "2"}, {"3", "x", "4"}}));
        QCOMPARE(sheetNamed(after, "y").rows, QList<QStringList>({{"id", "city", "n"}, {"2", "y", "3"}}));
        // The run's dialog stayed up through the save and said so.
        QVERIFY2(RunProgress::lastLabels().last().endsWith(QStringLiteral("\n正在保存……")),
                 qPrintable(RunProgress::lastLabels().join(" | ")));
    }

    void readOnlyWorkbookIsNamedAtImport()
    {
        const QString path = newBook("held.xlsx", {{"Data", {{"k"}, {"a"}}}});
        QVERIFY(lockByAnotherUser(path));
        SplitSheetFromColumn window;
        KivFileDialog::setNextFileName(path);
        click(window, "importFileButton");
        QCOMPARE(KivMessageBox::shownTexts(), QStringList(readOnlyAtImportText(path)));
        QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Warning);
        QCOMPARE(KivMessageBox::lastParent(), &window);
        QFile::remove(folder.filePath(".~lock.held.xlsx#"));
    }

    void cancelledImportKeepsTheWorkbookAndDropsImport()
    {
        const QString first = newBook("first.xlsx", {{"One", {{"k"}, {"a"}}}});
        const QString second = newBook("second.ods", {{"Two", {{"k"}, {"b"}}}, {"Three", {{"k"}}}});
        SplitSheetFromColumn window;
        KivFileDialog::setNextFileName(first);
        click(window, "importFileButton");
        click(window, "importFileButton"); // cancelled
        QVERIFY(isOpenInOffice(first));
        QCOMPARE(window.findChild<QComboBox*>("comboBoxSheets")->count(), 1);
        // The next dialog opens where the last workbook was chosen.
        click(window, "importFileButton");
        QCOMPARE(KivFileDialog::lastStartFolder(), folder.path());

        dropFile(field(window, "importFilePath"), second);
        QCOMPARE(field(window, "importFilePath")->toPlainText(), second);
        QCOMPARE(window.findChild<QComboBox*>("comboBoxSheets")->count(), 2);
        QVERIFY(isOpenInOffice(second));
        QVERIFY(!isOpenInOffice(first));
    }

    // The reference column field shows any column name whole, up to the last one, XFD.
    void referenceColumnShowsWhole()
    {
        ProgramFont font;
        SplitSheetFromColumn window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTextEdit* column = field(window, "referColText");
        column->setPlainText("XFD");
        const qreal needed = column->document()->size().width();
        QVERIFY2(needed <= column->viewport()->width(),
                 qPrintable(QString("%1 px for %2 px").arg(needed).arg(column->viewport()->width())));
    }

    void fieldsHoldOneLine()
    {
        SplitSheetFromColumn window;
        for (const char* name : {"importFilePath", "startCellText", "endCellText", "referColText"}) {
            QTextEdit* edit = field(window, name);
            QVERIFY2(edit->tabChangesFocus(), name);
            QCOMPARE(edit->lineWrapMode(), QTextEdit::NoWrap);
        }
    }

    // --- the sheet-to-files splitter ---

    void noFileWrittenSaysNoneWasSaved()
    {
        const QString target = newBook("two.xlsx", {{"A", {{"1"}}}, {"B", {{"2"}}}});
        const QString output = folder.filePath("blocked");
        // A folder in the place of each sheet's file: no file can be written.
        QVERIFY(QDir().mkpath(output + "/A.xlsx/x") && QDir().mkpath(output + "/B.xlsx/x"));
        splitExcelFromSheets window;
        field(window, "dealFilePathTextEdit")->setPlainText(target);
        field(window, "outputDirPathTextEdit")->setPlainText(output);
        KivMessageBox::setNextAnswer(QMessageBox::Ok);
        KivMessageBox::setNextAnswer(QMessageBox::Ok);
        click(window, "startButton");
        const QString said = KivMessageBox::shownTexts().join(" | ");
        QVERIFY2(!said.contains(QStringLiteral("其余文件已经保存")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("没有文件保存到目录")), qPrintable(said));
        QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Failure);
    }

    void foldersAreRememberedAndDropped()
    {
        const QString output = folder.filePath("out");
        QVERIFY(QDir().mkpath(output));
        {
            splitExcelFromSheets window;
            KivFileDialog::setNextDirectory(output);
            click(window, "selectDirButton");
        }
        splitExcelFromSheets window;
        click(window, "selectDirButton"); // cancelled, but it opened in the folder chosen before
        QCOMPARE(KivFileDialog::lastStartFolder(), output);
        const QString target = newBook("dropped.xlsx", {{"A", {{"1"}}}});
        dropFile(field(window, "dealFilePathTextEdit"), target);
        QCOMPARE(field(window, "dealFilePathTextEdit")->toPlainText(), target);
        dropFile(field(window, "outputDirPathTextEdit"), folder.path());
        QCOMPARE(field(window, "outputDirPathTextEdit")->toPlainText(), folder.path());
        for (const char* name : {"dealFilePathTextEdit", "outputDirPathTextEdit"})
            QCOMPARE(field(window, name)->lineWrapMode(), QTextEdit::NoWrap);
    }
};

QTEST_MAIN(SplitterWindowsTest)
#include "tst_splitterwindows.moc"
