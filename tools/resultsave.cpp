#include "tools/resultsave.h"

#include "common/dialogs.h"
#include "common/runprogress.h"
#include "tools/backup.h"
#include "excelop/excelopkiv.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct FeatureName
{
    const char* key;
    const char* name;
};

const FeatureName kNames[] = {
    {"frozen-panes", QT_TRANSLATE_NOOP("ResultSaver", "冻结窗格")},
    {"zoom", QT_TRANSLATE_NOOP("ResultSaver", "显示比例")},
    {"hidden-grid", QT_TRANSLATE_NOOP("ResultSaver", "隐藏的网格线")},
    {"charts", QT_TRANSLATE_NOOP("ResultSaver", "图表")},
    {"chart-sheets", QT_TRANSLATE_NOOP("ResultSaver", "图表工作表")},
    {"pictures", QT_TRANSLATE_NOOP("ResultSaver", "图片")},
    {"shapes", QT_TRANSLATE_NOOP("ResultSaver", "形状和文本框")},
    {"pivot-tables", QT_TRANSLATE_NOOP("ResultSaver", "数据透视表")},
    {"tables", QT_TRANSLATE_NOOP("ResultSaver", "表格（套用表格格式）")},
    {"slicers", QT_TRANSLATE_NOOP("ResultSaver", "切片器")},
    {"notes", QT_TRANSLATE_NOOP("ResultSaver", "批注")},
    {"validations", QT_TRANSLATE_NOOP("ResultSaver", "数据验证")},
    {"conditional-formats", QT_TRANSLATE_NOOP("ResultSaver", "条件格式")},
    {"sparklines", QT_TRANSLATE_NOOP("ResultSaver", "迷你图")},
    {"hyperlinks", QT_TRANSLATE_NOOP("ResultSaver", "超链接")},
    {"defined-names", QT_TRANSLATE_NOOP("ResultSaver", "定义的名称")},
    {"printer-settings", QT_TRANSLATE_NOOP("ResultSaver", "打印机设置")},
    {"macros", QT_TRANSLATE_NOOP("ResultSaver", "宏")},
    {"external-links", QT_TRANSLATE_NOOP("ResultSaver", "外部链接")},
    {"data-connections", QT_TRANSLATE_NOOP("ResultSaver", "数据连接")},
    {"embedded-objects", QT_TRANSLATE_NOOP("ResultSaver", "嵌入的对象")},
    {"custom-xml", QT_TRANSLATE_NOOP("ResultSaver", "自定义XML数据")},
    {"sheet-protection", QT_TRANSLATE_NOOP("ResultSaver", "工作表保护")},
    {"workbook-protection", QT_TRANSLATE_NOOP("ResultSaver", "工作簿保护")},
};

QString besideCandidate(const QFileInfo& workbook, int number)
{
    const QString suffix = workbook.suffix().isEmpty() ? QString() : QStringLiteral(".") + workbook.suffix();
    const QString counter = number > 1 ? QString::number(number) : QString();
    //: Inserted before the extension of the new file a result is saved to.
    const QString tag = ResultSaver::tr(".结果");
    return workbook.dir().filePath(workbook.completeBaseName() + tag + counter + suffix);
}

QString listed(const QStringList& names)
{
    //: Between the items of a list.
    return names.join(ResultSaver::tr("、"));
}

} // namespace

QStringList ResultSaver::plainNames(const QStringList& keys)
{
    QStringList names;
    for (const QString& key : keys) {
        QString name = key;
        for (const FeatureName& known : kNames)
            if (key == QLatin1String(known.key))
                name = tr(known.name);
        names << name;
    }
    return names;
}

QString ResultSaver::besidePath(const QString& workbookPath)
{
    const QFileInfo workbook(workbookPath);
    int number = 1;
    while (QFileInfo::exists(besideCandidate(workbook, number)))
        ++number;
    return besideCandidate(workbook, number);
}

LossQuestion ResultSaver::askInWindow()
{
    return [](const QStringList& features, const QString& besidePath) {
        const KivMessageBox::Choice choice = KivMessageBox::confirmOrDismiss(
            tr("保存到原文件会丢失：%1。").arg(listed(features)),
            tr("电子表格程序不能保留这些内容。建议把结果另存为新文件：%1，原文件保持不变。").arg(besidePath),
            tr("覆盖原文件"), tr("另存为新文件"), tr("不保存"));
        if (choice == KivMessageBox::Choice::Ok)
            return LossChoice::SaveBeside;
        return choice == KivMessageBox::Choice::Dismiss ? LossChoice::Overwrite : LossChoice::DontSave;
    };
}

ResultSave ResultSaver::save(ExcelOpKiv& book, const QString& workbookPath, const QString& resultPath,
                             const LossQuestion& ask)
{
    ResultSave result;
    if (!resultPath.isEmpty()) {
        result.saved = book.saveWorkbookAs(resultPath);
        result.savedPath = result.saved ? resultPath : QString();
        return result;
    }
    book.setKeepFeatures(bool(ask));
    result.saved = book.saveWorkbook();
    result.lostFeatures = plainNames(book.featuresLostBySave());
    book.setKeepFeatures(false);
    if (result.saved || result.lostFeatures.isEmpty()) {
        // What was lost all the same was not worth a question; the user is told afterwards.
        result.savedPath = result.saved ? workbookPath : QString();
        if (!result.saved)
            result.lostFeatures.clear();
        return result;
    }
    const QString beside = besidePath(workbookPath);
    result.choice = ask(result.lostFeatures, beside);
    switch (result.choice) {
    case LossChoice::SaveBeside:
        result.saved = book.saveWorkbookAs(beside);
        result.savedPath = result.saved ? beside : QString();
        break;
    case LossChoice::Overwrite:
        result.saved = book.saveWorkbook();
        result.savedPath = result.saved ? workbookPath : QString();
        break;
    case LossChoice::DontSave:
        break;
    }
    return result;
}

QString ResultSaver::noticeOf(const ResultSave& save, const QString& workbookPath)
{
    if (save.lostFeatures.isEmpty())
        return QString();
    const QString lost = listed(save.lostFeatures);
    switch (save.choice) {
    case LossChoice::SaveBeside:
        if (!save.saved)
            break;
        return tr("结果已另存为%1，原文件%2没有改动（保存到原文件会丢失：%3）。")
            .arg(save.savedPath, workbookPath, lost);
    case LossChoice::Overwrite:
        if (!save.saved)
            break;
        return tr("结果已保存到%1，以下内容没有保留：%2。").arg(workbookPath, lost);
    case LossChoice::DontSave:
        return tr("结果没有保存：保存到原文件会丢失%1。原文件%2没有改动。").arg(lost, workbookPath);
    }
    return QString();
}

bool ResultSaver::saveWork(ExcelOpKiv& book, const WorkSave& request, RunProgressHold& dialog, ResultSave& save,
                           QString& notice, JobOutcome& failure)
{
    const QString& path = request.workbookPath;
    if (request.keepBackup && keepBackupBeside(path).isEmpty()) {
        failure = outcomeOf(JobOutcome::Kind::Failed, backupFailedText(path));
        return false;
    }
    dialog.setLabel(tr("正在处理中，请不要操作其他Excel文件。") + QLatin1Char('\n') + tr("正在保存……"));
    save = ResultSaver::save(book, path, request.resultPath, request.onLoss);
    notice = ResultSaver::noticeOf(save, path);
    if (save.choice == LossChoice::DontSave && !save.lostFeatures.isEmpty()) {
        failure = outcomeOf(JobOutcome::Kind::Failed, notice);
        return false;
    }
    if (!save.saved) {
        failure =
            outcomeOf(JobOutcome::Kind::Failed,
                      tr("保存失败：处理结果没能保存到%1，请确认该文件没有被其他程序打开并且可以写入。").arg(path));
        return false;
    }
    return true;
}
