#pragma once

#include "model/pagelette.h"
#include "platform/makerconfig.h"

#include <QString>

// The table rows of all fields of the form, in order, each ended by CR LF. Names,
// values and texts are written as the user typed them, without HTML escaping.
QString GetHTML(const TWebForm &form);

// The names the field's controls carry, as typed into the HTML before escaping: the
// field's name with blanks made "_" and A to Z in lower case; for a check box one per
// choice (the field's name, "_" and the choice's text); none for a button.
QStringList FieldControlNames(const TFormElement &field);

// The page's e-mail form: a FORM posting to the maker's form-to-mail service with the
// hidden fields its settings call for, and a table of the field rows.
QString GetFormHTML(const TPagelette &page, const MakerConfig &maker);
