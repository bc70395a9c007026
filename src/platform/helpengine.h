#pragma once

#include <QPoint>

// The help text shipped in help/, by topic number.
class HelpEngine
{
public:
    virtual ~HelpEngine() = default;
    // Opens the contents window.
    virtual void showContents() = 0;
    // Shows one topic as a small pop-up near the given global position ("What's This?").
    virtual void showPopup(int topic, const QPoint &globalPos) = 0;
    // Closes the help windows (when the main window closes).
    virtual void close() = 0;
};
