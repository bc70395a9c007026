#pragma once

#include "model/componentstream.h"

// The classes the program's files hold as their root: TPagelette (page documents and
// templates) and TWebTheme (the themes file). Kept here, where both are known, so the
// stream code itself depends on neither.
namespace StreamClasses {
const ClassRegistry &standard();
}
