#pragma once

class QCoreApplication;

// The interface is Chinese, and so are the texts Qt and the editor component draw on
// their own: file dialogs, message boxes, text-field and editor context menus. Qt's own
// catalogue comes from the system (qt6-translations-l10n) when it is installed; the
// editor's context menu, for which none ships, is translated here. Qt's default locale
// becomes Chinese (China) as well.
// False when Qt's catalogue was not found (its dialogs then stay in English).
bool installTranslations(QCoreApplication& app);
