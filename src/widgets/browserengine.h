#pragma once

#include "webview/pageview.h"

// The browser engine's page views. The engine's library is loaded at the first call,
// not at start-up: linked into the program it would cost every start.
namespace BrowserEngine {

// A new engine view as a child of parent; null when the engine's library cannot be
// loaded or the engine cannot run in this process (the reason goes to the log once).
PageView *createView(QWidget *parent, PageViewEvents events);

}
