#pragma once

class QCoreApplication;

namespace ravolin {

// Loads Qt's own Japanese texts (the font chooser, the edits' context menus, ...) whatever the locale: the
// whole interface is Japanese. Returns false, leaving Qt's English texts, where the translation is not
// installed.
bool installQtJapaneseTranslation(QCoreApplication& application);

}  // namespace ravolin
