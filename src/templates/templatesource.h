#pragma once

#include <QString>

class TPagelette;
class TWebTheme;

// The readable source of a shipped template, from which the build makes its .vxt and
// companion .html with the program's own document writer and HTML builder:
//
//   # comment
//   [Page Details]              the page's details (the new page's values to start with)
//   Theme=Ocean Breeze          applies a theme of the theme store
//   PageTitle=My page
//   [Heading]                   appends a pagelette of that kind, as a palette drop would
//   Heading=Welcome
//   BlockAlign=baCenter
//   [Forms]                     the e-mail form's place; its lines set the form settings
//   Email=me@example.com
//   [Field]                     appends a field to the e-mail form
//   FieldKind=fkTextArea
//   Strings=Cols=40             a string list takes one line per key line
//
// Keys are the published property names of the pagelette, of its kind's block, of the
// page (form settings) or of the field. Integers are decimal or #RRGGBB colours,
// Booleans and enumerations their identifiers. In texts \t is a tab, \n a line break
// (CR LF) and \\ a backslash; a key given again appends to its text.
namespace TemplateSource {

// Fills the page from the source. False with "line N: reason" in *error when a line
// cannot be understood; the page then holds what was read before that line.
bool build(const QString &source, const TWebTheme &themes, TPagelette &page, QString *error);

}
