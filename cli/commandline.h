#pragma once
// kivexcel-cli: the three tools on workbook files from the command line, with the windows' texts.
// Each command is a class of its own (cli/commands/), listed in commandregistry.cpp.
//   kivexcel-cli compare BOOK... --sheet1 NAME --column1 COL [--rows1 N] --sheet2 NAME --column2 COL [--rows2 N]
//   kivexcel-cli split-column BOOK... --sheet NAME [--start CELL] [--end CELL] --column LETTERS [--drop-column]
//   kivexcel-cli split-sheets BOOK... --out DIR
// Exit status: 0 when every workbook was done and saved, 1 when any was refused or failed,
// 2 for a wrong command line.

int runCommandLine(int argc, char* argv[]);
