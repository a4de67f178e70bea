#pragma once

class QTranslator;

namespace sumlark::ui {

// The program speaks Chinese on every system, so Qt's own texts (the message
// box's button, the edit boxes' context menu, the print preview, the file
// dialog) should too: loads Qt's Chinese translations into translator and
// installs it. False when none were found; Qt then stays English.
bool installQtTranslations(QTranslator& translator);

} // namespace sumlark::ui
