#pragma once

#include <QString>
#include <QUrl>

class Prompter;
class Shell;
struct MakerConfig;

// Opens a file or web address with its default program; when nothing can open it,
// tells the user so in an information box ("Could not load the default client." and
// where to find help). Returns whether it was opened.
bool openWithDefaultClient(Shell &shell, Prompter &prompter, const MakerConfig &maker, const QString &fileOrAddress);

// The text of that information box.
QString defaultClientFailureText(const MakerConfig &maker);

// A web or mail address ("http://...", "mailto:...", "www.example.com") as it is, a
// local path as a file URL. Empty text gives an invalid URL.
QUrl urlForShell(const QString &fileOrAddress);
