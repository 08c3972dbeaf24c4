#pragma once
// The windows' start-up: which office serves the tools, how banners, notices and run progress
// are shown, then the launcher and the event loop.

// Connects the front end's seams for the windows: office server, banners, progress dialogs.
void connectWindowSeams();
// Loads Qt's own Chinese texts for its dialogs and buttons; false when they are not installed.
bool installQtChineseTexts();
// The toolbox's texts in the user's language (common/language.h), and Qt's own to match: its
// Chinese texts, or for English its built-in ones. True when the windows speak English.
bool installWindowLanguage();
// The whole program: returns the event loop's exit code.
int runToolbox(int argc, char* argv[]);
