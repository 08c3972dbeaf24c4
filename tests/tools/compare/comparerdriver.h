#pragma once
// Drives a comparer window the way a user would, with the dialogs answered headless, and builds
// the small workbooks the comparer tests work on.

#include "common/dialogs.h"
#include "common/runprogress.h"
#include "testsupport.h"
#include "tools/compare/duzozodkiv.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>
#include <memory>

class ComparerDriver
{
public:
    ComparerDriver() : window(std::make_unique<DuZozodKiv>()) {}

    DuZozodKiv* win() const { return window.get(); }
    QComboBox* box(const char* name) const { return window->findChild<QComboBox*>(name); }
    QTextEdit* edit(const char* name) const { return window->findChild<QTextEdit*>(name); }
    QStringList items(const char* boxName) const
    {
        QStringList texts;
        for (int i = 0; i < box(boxName)->count(); ++i)
            texts.append(box(boxName)->itemText(i));
        return texts;
    }

    void click(const char* buttonName) { window->findChild<QPushButton*>(buttonName)->click(); }
    // Lets the queued sheet-change slots run.
    static void settle() { QCoreApplication::processEvents(); }

    void importWorkbook(const QString& path)
    {
        KivFileDialog::setNextFileName(path);
        click("importDirectFile");
        settle();
    }
    void choose(int titleIndex1, int titleIndex2, const QString& rows1, const QString& rows2)
    {
        box("comboBoxTitle1")->setCurrentIndex(titleIndex1);
        box("comboBoxTitle2")->setCurrentIndex(titleIndex2);
        edit("sheet1RowsTextEdit")->setPlainText(rows1);
        edit("sheet2RowsTextEdit")->setPlainText(rows2);
    }
    void compare(int titleIndex1, int titleIndex2, const QString& rows1, const QString& rows2)
    {
        choose(titleIndex1, titleIndex2, rows1, rows2);
        click("startCompareButton");
    }
    // Destroying the window closes its workbook (without saving), so the file can be read back.
    void destroyWindow() { window.reset(); }

private:
    std::unique_ptr<DuZozodKiv> window;
};

inline QString twoSheetWorkbook(const QString& path, const QList<QStringList>& rows1, const QList<QStringList>& rows2)
{
    if (!writeWorkbook(path,
                       {SheetContent{QStringLiteral("Sheet1"), rows1}, SheetContent{QStringLiteral("Sheet2"), rows2}}))
        return QString();
    return path;
}

// One line per row, "sheet|cell|cell...", so that a mismatch shows where it is.
inline QStringList dump(const QList<SheetContent>& sheets)
{
    QStringList lines;
    for (const SheetContent& sheet : sheets) {
        lines.append(sheet.name + QStringLiteral(":"));
        for (const QStringList& row : sheet.rows)
            lines.append(sheet.name + QLatin1Char('|') + row.join(QLatin1Char('|')));
    }
    return lines;
}

// The office marks an open document with a lock file beside it.
inline bool isOpenInOffice(const QString& path)
{
    const QFileInfo file(path);
    return QFile::exists(file.absolutePath() + QStringLiteral("/.~lock.") + file.fileName() + QLatin1Char('#'));
}

inline const char* finishedText()
{
    return "对比结束，结果已保存在Excel文件的第一列，请自行打开查看。";
}
