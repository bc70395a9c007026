#pragma once

#include "model/pagelette.h"

#include <QList>
#include <QString>

class PictureInspector;
class ProgramFolder;

// What is wrong with a page before it goes out: pictures that will not show, forms
// that cannot send, links that lead nowhere (errors), and what makes the page hard to
// read or slow (warnings).
namespace PageCheck {

enum class Severity { Error, Warning };

struct Finding
{
    Severity severity = Severity::Warning;
    int row = 0;     // the page item, which is also its row in the pagelette list
    TBlockType block = btPageProperties; // that item's kind
    QString code;    // stable, for scripts: "picture-missing"
    QString message; // one sentence in plain words
};

// "error" or "warning".
QString severityName(Severity severity);
qsizetype errorCount(const QList<Finding> &findings);
inline bool hasErrors(const QList<Finding> &findings)
{
    return errorCount(findings) > 0;
}

// Every finding of the page in the order of its rows. Pictures are looked for in the
// program folder's upload folders and read through pictures; the page is only read.
QList<Finding> check(const TPagelette &page, const ProgramFolder &folder, const PictureInspector &pictures);

}
