#pragma once

#include <QString>

// Small text, file-name and file helpers shared across the program.
namespace Routines {

// The text with every space (code 32) removed.
QString RemoveSpaces(const QString &text);

// While oldText occurs, deletes deleteCount characters at its first occurrence and
// inserts newText there. Runs in time linear in the text. An empty oldText leaves
// the text unchanged; a newText that contains oldText is replaced once per original
// occurrence rather than looping forever.
QString ReplaceText(const QString &source, const QString &newText, const QString &oldText, int deleteCount);

// The text before the last full stop; empty when there is none.
QString StripExtension(const QString &fileName);

// The text before the first "|"; empty when there is none.
QString TextBeforeBar(const QString &text);
// The text after the first "|"; the whole text when there is none.
QString TextAfterBar(const QString &text);

void ReplaceChar(QString &text, QChar oldChar, QChar newChar);

// Not empty and made only of the digits 0 to 9 and spaces.
bool IsNumeric(const QString &text);

// The 1-based position of the first match of pattern in text at or after |start|, or 0.
// "?" matches any character; a negative start also lets letters match across case.
int WildcardPos(const QString &text, const QString &pattern, int start);

// The token from pos up to the next delimiter; pos moves past the delimiter, or to 0
// at the end. Odd-numbered double quotes met while scanning are never delimiters.
QString NextToken(const QString &text, const QString &delimiters, int &pos);

enum FileOperation { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3, FO_RENAME = 4 };
enum FileOperationFlag {
    FOF_MULTIDESTFILES = 0x1,
    FOF_SILENT = 0x4,
    FOF_RENAMEONCOLLISION = 0x8,
    FOF_NOCONFIRMATION = 0x10,
    FOF_WANTMAPPINGHANDLE = 0x20,
    FOF_ALLOWUNDO = 0x40,
    FOF_FILESONLY = 0x80,
};

// Moves, copies, deletes or renames the files of the comma-separated list from into
// the comma-separated list to (a folder, or one target per source with
// FOF_MULTIDESTFILES). Wildcards are allowed in the file part of a source. An existing
// target is replaced only with FOF_NOCONFIRMATION; FOF_RENAMEONCOLLISION picks a free
// name instead; FOF_ALLOWUNDO deletes to the trash. Returns false when the operation
// is unknown, from is empty, or any file could not be handled.
bool ShellFileOperation(const QString &from, const QString &to, int operation, int flags);

}
