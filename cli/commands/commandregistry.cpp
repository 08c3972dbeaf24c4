#include "cli/commands/commandregistry.h"

#include "cli/commands/combinefilescommand.h"
#include "cli/commands/combinesheetscommand.h"
#include "cli/commands/comparecommand.h"
#include "cli/commands/splitcolumncommand.h"
#include "cli/commands/splitsheetscommand.h"

std::vector<std::unique_ptr<Command>> allCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    // A new command: its header above and one line here.
    commands.push_back(std::make_unique<CompareCommand>());
    commands.push_back(std::make_unique<CombineSheetsCommand>());
    commands.push_back(std::make_unique<CombineFilesCommand>());
    commands.push_back(std::make_unique<SplitColumnCommand>());
    commands.push_back(std::make_unique<SplitSheetsCommand>());
    return commands;
}

std::unique_ptr<Command> commandNamed(const QString& name)
{
    for (std::unique_ptr<Command>& command : allCommands())
        if (command->name() == name)
            return std::move(command);
    return nullptr;
}
