#pragma once

class QWidget;

// Moves a top-level window to the centre of the screen under the mouse (the primary
// screen when there is none), as message boxes and the start-up windows are placed.
void centreOnScreen(QWidget &window);
