#pragma once
// The language of the toolbox's texts. The written texts are Chinese; English comes from the
// translation built into the program (translations/kivexcel_en.ts).

// True when the user's locale asks for English: the first entry of LANGUAGE, else LC_ALL, else
// LC_MESSAGES, else LANG is en or en_*. Anything else, C, POSIX or nothing set, means Chinese.
bool userWantsEnglish();

// Installs the texts of the language userWantsEnglish() picks, in place of those an earlier call
// installed: the English translation, or none (the written Chinese texts). Needs the application
// object. True when the toolbox now speaks English.
bool installTranslations();
