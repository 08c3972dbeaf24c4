#pragma once
// Where a run's time goes in the office: with KIVEXCEL_CALL_PROFILE set, every automation call is
// timed by its member name, and the totals are printed to standard error when the program ends
// (calls, seconds, the longest call). The longest call also bounds how late a cancel can be.

#include <QElapsedTimer>

class CallTimer
{
public:
    explicit CallTimer(const char* member);
    ~CallTimer();
    CallTimer(const CallTimer&) = delete;
    CallTimer& operator=(const CallTimer&) = delete;

    static bool profiling();

private:
    const char* member;
    QElapsedTimer clock;
};
