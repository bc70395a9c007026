#pragma once

class TPagelette;

namespace Bench {

// A new page grown to n items cycling through every kind, with 1 KB paragraphs.
void fillMixedPage(TPagelette &page, int n);

}
