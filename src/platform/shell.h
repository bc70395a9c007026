#pragma once

#include <QString>

// Opening files and web addresses with the user's default programs, and the places
// the desktop keeps for the user.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a local file path or a web address ("http://...", "mailto:...") with its
    // default program. False when nothing could open it.
    virtual bool open(const QString &fileOrAddress) = 0;
    // The user's Favorites folder: $HOME/Favorites when it exists, else the home folder.
    virtual QString favoritesFolder() const = 0;
};
