#pragma once

#include "webtheme.h"

#include <QStringList>

#include <memory>

class TPagePropertiesBlock;
class QIODevice;

// Loading, saving and applying the themes of "Themes.dat".
namespace ThemeStore {

// The store read from the file, or nullptr with the reason in *error: the file cannot
// be opened or read, is no component stream, or its root is not a TWebTheme.
std::unique_ptr<TWebTheme> load(const QString &path, QString *error);

// Writes the store atomically; false with the reason in *error.
bool save(const QString &path, TWebTheme &store, QString *error);

// The theme names in store order, as the theme lists show them.
QStringList themeNames(const TWebTheme &store);

// Index of the name among the names, letter case ignored; -1 when absent.
int findTheme(const QStringList &names, const QString &themeName);

// Copies the theme into the page details: name, background, margin and colours.
void applyTheme(const TThemeItem &theme, TPagePropertiesBlock &page);

// Reads the readable theme source shipped in data/ (one "[Name]" section per theme
// with BGImage, LeftMargin and the five colours as #RRGGBB). Returns nullptr with
// the line and reason in *error when the text is malformed.
std::unique_ptr<TWebTheme> parseSource(const QString &text, QString *error);

}
