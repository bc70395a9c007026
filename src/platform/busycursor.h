#pragma once

#include <Qt>

// Shows the hourglass (or the arrow with hourglass for work in the background) while
// it lives; the previous cursor comes back on every exit, exceptions included.
class BusyCursor
{
public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
