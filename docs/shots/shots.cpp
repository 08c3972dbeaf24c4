// Takes the README's screenshots of the real windows on a virtual display: the launcher, each
// tool after an import, a progress dialog in the middle of a run and a failure box.
// Run through scripts/take-screenshots.sh. With an English locale (LANGUAGE=en) it takes only
// the comparer after an import, as comparer-en.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "testsupport.h"
#include "tools/combine/combinetables.h"
#include "tools/compare/duzozodkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QMessageBox>
#include <functional>

#include "chineseofficebook.h"
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

namespace {

QString outputFolder;

void settle(int milliseconds = 600)
{
    for (int waited = 0; waited < milliseconds; waited += 50) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
}

void snap(const QString& name, QRect area)
{
    settle();
    area = area.intersected(QRect(0, 0, 1024, 768));
    const QString crop = QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y());
    QProcess::execute(QStringLiteral("import"),
                      {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"), crop,
                       QDir(outputFolder).filePath(name + QStringLiteral(".png"))});
}

void snapWindow(const QString& name, QWidget* window)
{
    // Where the window really is on the screen, its menu bar included.
    snap(name, QRect(window->mapToGlobal(QPoint(0, 0)), window->size()));
}

QList<QStringList> peopleRows(int count, int offset, bool english = false)
{
    const QStringList cities = english ? QStringList{"Leeds", "York", "Bath", "Derby", "Ely", "Hull", "Wells"}
                                       : QStringList{"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉"};
    const QStringList names = english ? QStringList{"Ann", "Ben", "Cara", "Dev", "Eve", "Finn", "Gus", "Hana"}
                                      : QStringList{"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄强"};
    QList<QStringList> rows{english ? QStringList{"Name", "City", "Amount"} : QStringList{"姓名", "城市", "金额"}};
    for (int k = 0; k < count; ++k)
        rows.append({names.at((k + offset) % names.size()) + QString::number((k * 7 + offset) % 500),
                     cities.at(k % cities.size()), QString::number(100 + k % 900)});
    return rows;
}

void click(QWidget* window, const char* button)
{
    window->findChild<QPushButton*>(button)->click();
}

// The comparer at the top left with the workbook imported and the first columns picked.
void showComparerWith(DuZozodKiv& comparer, const QString& book)
{
    comparer.move(0, 0);
    comparer.show();
    KivFileDialog::setNextFileName(book);
    click(&comparer, "importDirectFile");
    settle();
    comparer.findChild<QComboBox*>("comboBoxTitle1")->setCurrentIndex(0);
    comparer.findChild<QComboBox*>("comboBoxTitle2")->setCurrentIndex(0);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);
    const bool english = installWindowLanguage();
    connectWindowSeams();
    initTestEnvironment();
    KivMessageBox::setHeadless(false); // the boxes are part of the pictures
    outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QTemporaryDir work;
    // The comparer after an import, in English.
    if (english) {
        const QString englishBook = work.filePath(QStringLiteral("signups.xlsx"));
        writeWorkbook(englishBook, {SheetContent{"Members", peopleRows(200, 0, true)},
                                    SheetContent{"Sign-ups", peopleRows(200, 3, true)}});
        DuZozodKiv comparer;
        showComparerWith(comparer, englishBook);
        snapWindow(QStringLiteral("comparer-en"), &comparer);
        return 0;
    }

    const QString book = work.filePath(QStringLiteral("报名表.xlsx"));
    writeWorkbook(book, {SheetContent{"名单", peopleRows(20000, 0)}, SheetContent{"报名", peopleRows(20000, 3)}});

    MainWindow launcher;
    launcher.move(0, 0);
    launcher.show();
    snapWindow(QStringLiteral("launcher"), &launcher);
    launcher.hide();

    // The comparer after an import, then in the middle of its run.
    DuZozodKiv comparer;
    showComparerWith(comparer, book);
    snapWindow(QStringLiteral("comparer"), &comparer);
    const RunProgress::ViewFactory dialogs = RunProgress::viewFactory();
    RunProgress::setViewFactory([&](const QString& label, const QString& cancel, int minimum, int maximum) {
        struct Snapping : RunProgress::View
        {
            std::unique_ptr<RunProgress::View> shown;
            QWidget* window = nullptr;
            bool taken = false;
            void setLabel(const QString& text) override { shown->setLabel(text); }
            void setValue(int value) override
            {
                shown->setValue(value);
                if (!taken && value > 0) {
                    taken = true;
                    QRect area = window->frameGeometry();
                    if (QWidget* dialog = QApplication::activeModalWidget())
                        area = area.united(dialog->frameGeometry());
                    snap(QStringLiteral("progress"), area);
                }
            }
            bool wasCanceled() const override { return shown->wasCanceled(); }
            void close() override { shown->close(); }
        };
        auto view = std::make_unique<Snapping>();
        view->shown = dialogs(label, cancel, minimum, maximum);
        view->window = &comparer;
        return view;
    });
    // The next message box is closed once it is in the picture.
    std::function<void(const QString&, QWidget*, std::function<void()>)> closeNextBox =
        [](const QString& name, QWidget* window, std::function<void()> then) {
            auto watch = new QTimer;
            QObject::connect(watch, &QTimer::timeout, [watch, name, window, then] {
                auto box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                watch->stop();
                watch->deleteLater();
                snap(name, window->frameGeometry().united(box->frameGeometry()));
                if (then)
                    then();
                box->close();
            });
            watch->start(300);
        };
    closeNextBox(QStringLiteral("comparer-done"), &comparer, nullptr);
    click(&comparer, "startCompareButton");
    RunProgress::setViewFactory(dialogs);

    // A workbook with a data connection the office cannot keep: the question before the save, then
    // (the box closed, so nothing saved) the outcome.
    const QString viewed = work.filePath(QStringLiteral("数据连接.xlsx"));
    ChineseOfficeBook::write(viewed, true);
    showComparerWith(comparer, viewed);
    closeNextBox(QStringLiteral("loss"), &comparer,
                 [&] { closeNextBox(QStringLiteral("loss-outcome"), &comparer, nullptr); });
    click(&comparer, "startCompareButton");
    comparer.hide();

    SplitSheetFromColumn splitter;
    splitter.move(0, 0);
    splitter.show();
    KivFileDialog::setNextFileName(book);
    click(&splitter, "importFileButton");
    splitter.findChild<QTextEdit*>("referColText")->setPlainText(QStringLiteral("B"));
    snapWindow(QStringLiteral("splitter"), &splitter);
    // A file that is not a workbook: the one box that says why.
    const QString presentation = copyFixture(QStringLiteral("xlnt-1_powerpoint_presentation.xlsx"), work.path());
    closeNextBox(QStringLiteral("failure"), &splitter, nullptr);
    KivFileDialog::setNextFileName(presentation);
    click(&splitter, "importFileButton");
    splitter.hide();

    CombineTables combiner;
    combiner.move(0, 0);
    combiner.show();
    KivFileDialog::setNextFileName(book);
    click(&combiner, "importFileButton");
    snapWindow(QStringLiteral("combine"), &combiner);
    combiner.hide();

    splitExcelFromSheets sheets;
    sheets.move(0, 0);
    sheets.show();
    KivFileDialog::setNextFileName(book);
    click(&sheets, "importFileButton");
    sheets.findChild<QTextEdit*>("outputDirPathTextEdit")->setPlainText(work.filePath(QStringLiteral("输出")));
    snapWindow(QStringLiteral("sheets"), &sheets);
    // A real run: every sheet its own file, and the box that says where they are.
    QDir().mkpath(work.filePath(QStringLiteral("输出")));
    closeNextBox(QStringLiteral("sheets-done"), &sheets, nullptr);
    click(&sheets, "startButton");
    return 0;
}
