#include "cli/commands/command.h"

#include <algorithm>

Command::Command(const QString& name, const QString& description) : commandName(name), commandDescription(description)
{}

QString Command::mistakeIn(const QCommandLineParser& parser) const
{
    const QString outFile = QStringLiteral("out-file");
    const bool hasOutFile =
        std::any_of(commandOptions.cbegin(), commandOptions.cend(),
                    [&](const QCommandLineOption& option) { return option.names().contains(outFile); });
    if (hasOutFile && parser.isSet(outFile) && parser.positionalArguments().size() != 1)
        return QStringLiteral("--out-file takes one workbook.");
    return QString();
}

QStringList Command::booksOf(const QCommandLineParser& parser) const
{
    return parser.positionalArguments();
}

BookRequest Command::requestFor(const QString& book, int) const
{
    return BookRequest{book, QString()};
}

QCommandLineOption Command::backupOption()
{
    return {QStringLiteral("backup"),
            QStringLiteral("Keep the original beside the workbook as <name>.备份<ext> before saving.")};
}

// Where a result that changes the workbook goes.
QList<QCommandLineOption> Command::resultSaveOptions()
{
    return {
        {QStringLiteral("allow-loss"),
         QStringLiteral(
             "Save over the workbook even when the office cannot keep some of its features (frozen panes, pivot "
             "tables, macros, ...). Without it such a save is refused and the workbook left as it was.")},
        {QStringLiteral("out-file"),
         QStringLiteral(
             "Save the result to this file instead of over the workbook, which is not changed (one workbook only)."),
         QStringLiteral("FILE")},
    };
}

LossQuestion Command::lossAnswer(bool allowed)
{
    return [allowed](const QStringList&, const QString&) {
        return allowed ? LossChoice::Overwrite : LossChoice::DontSave;
    };
}

QString Command::valueOrNull(const QCommandLineParser& parser, const QString& name)
{
    return parser.isSet(name) ? parser.value(name) : QString();
}
