#pragma once
// The wait cursor while the program waits for the office, restored however the wait ends.
// Without a window system (the command line) it does nothing.

class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    // How many waits are showing the cursor now (tests).
    static int depth();

private:
    bool shown = false;
};

// The normal arrow over a box shown in the middle of a wait, so it does not look busy.
class NormalCursor
{
public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool shown = false;
};
