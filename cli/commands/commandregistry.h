#pragma once
// The commands of kivexcel-cli.

#include "cli/commands/command.h"

#include <memory>
#include <vector>

// Every command, in the order the overview lists them.
std::vector<std::unique_ptr<Command>> allCommands();
// The command of that name; null when there is none.
std::unique_ptr<Command> commandNamed(const QString& name);
