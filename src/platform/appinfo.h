#pragma once

#include <QString>

// Fixed texts that identify the program to the user and to the platform.
namespace AppInfo {
inline QString applicationTitle() { return QStringLiteral("Zandorell FREE HTML 5.0"); }
inline QString organisationName() { return QStringLiteral("Zandorell Software"); }
inline QString settingsApplicationName() { return QStringLiteral("HTML Vendrix5"); }
inline QString helpFileName() { return QStringLiteral("Vendrix.hlp"); }
inline QString untitledName() { return QStringLiteral("Untitled"); }
}
