#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of message boxes, the file dialog, the help of the command line) in
// Portuguese, from the translations installed with Qt (on Debian, qt6-translations-l10n). False
// when they cannot be loaded: those texts then stay in English.
bool installQtTranslations(QCoreApplication &application);
