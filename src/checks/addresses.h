#pragma once

#include <QString>

// Whether the addresses a page sends its visitors to can work at all. Only what is
// certainly broken is caught; an address that merely looks unusual passes.
namespace Addresses {

// One address of the form name@host.domain: no blanks, one "@", a host of dotted
// labels of letters, digits and hyphens.
bool isEmailAddress(QStringView text);

// One or more e-mail addresses separated by commas (what a form-to-mail service and
// a mailto: link accept).
bool isEmailAddressList(QStringView text);

enum class LinkProblem {
    None,
    Empty,           // nothing at all
    NoMailAddress,   // "mailto:" without a valid address after it
    NoHost,          // "http://" or "https://" without a host
    NoScheme,        // "www.example.com": without "http://" it leads to a file of that name
};

LinkProblem linkProblem(const QString &address);

}
