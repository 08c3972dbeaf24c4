#pragma once
// One command of kivexcel-cli, as keepassxc-cli has them: its name, description and options (and
// which of them it cannot do without), what it takes from them, and its job on one workbook.
// Every command is listed once, in commandregistry.cpp.

#include "cli/bookjob.h"
#include "tools/joboutcome.h"
#include "tools/resultsave.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class ExcelOpKiv;

class Command
{
public:
    virtual ~Command() = default;

    QString name() const { return commandName; }
    QString description() const { return commandDescription; }
    QList<QCommandLineOption> options() const { return commandOptions; }
    QStringList requiredOptions() const { return required; }

    // A mistake in the options beyond a missing one, for a wrong command line; empty when none.
    // By default: --out-file, where the command has it, with other than one workbook.
    virtual QString mistakeIn(const QCommandLineParser& parser) const;
    // The workbooks of the command line, one job each; by default its positional arguments.
    virtual QStringList booksOf(const QCommandLineParser& parser) const;
    // Takes the parsed options as the settings of the command's jobs.
    virtual void takeOptions(const QCommandLineParser& parser) = 0;
    // The request for one of count workbooks.
    virtual BookRequest requestFor(const QString& book, int count) const;
    // The job on one workbook through the link (replaced as the windows replace theirs).
    virtual JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const = 0;

protected:
    Command(const QString& name, const QString& description);
    void addOptions(const QList<QCommandLineOption>& options) { commandOptions += options; }
    void requireOptions(const QStringList& names) { required += names; }

    // For the commands that change the workbook.
    static QCommandLineOption backupOption();
    static QList<QCommandLineOption> resultSaveOptions();
    // The command line never asks: a save that would lose features is refused unless allowed.
    static LossQuestion lossAnswer(bool allowed);

    static QString valueOrNull(const QCommandLineParser& parser, const QString& name);

private:
    QString commandName;
    QString commandDescription;
    QList<QCommandLineOption> commandOptions;
    QStringList required;
};
