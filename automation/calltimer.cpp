#include "automation/calltimer.h"

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

struct MemberTotals
{
    int calls = 0;
    qint64 nanoseconds = 0;
    qint64 longest = 0;
};

class Profile
{
public:
    static Profile& instance()
    {
        static Profile profile;
        return profile;
    }

    void add(const char* member, qint64 nanoseconds)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        MemberTotals& totals = byMember[QByteArray(member)];
        ++totals.calls;
        totals.nanoseconds += nanoseconds;
        totals.longest = std::max(totals.longest, nanoseconds);
    }

private:
    ~Profile()
    {
        std::vector<std::pair<QByteArray, MemberTotals>> rows;
        for (auto it = byMember.cbegin(); it != byMember.cend(); ++it)
            rows.emplace_back(it.key(), it.value());
        std::sort(rows.begin(), rows.end(),
                  [](const auto& a, const auto& b) { return a.second.nanoseconds > b.second.nanoseconds; });
        std::fprintf(stderr, "%-44s %8s %10s %12s\n", "office call", "calls", "seconds", "longest ms");
        for (const auto& row : rows)
            std::fprintf(stderr, "%-44s %8d %10.3f %12.1f\n", row.first.constData(), row.second.calls,
                         row.second.nanoseconds / 1e9, row.second.longest / 1e6);
    }

    std::mutex mutex;
    QHash<QByteArray, MemberTotals> byMember;
};

} // namespace

CallTimer::CallTimer(const char* member) : member(member)
{
    if (profiling())
        clock.start();
}

CallTimer::~CallTimer()
{
    if (clock.isValid())
        Profile::instance().add(member, clock.nsecsElapsed());
}

bool CallTimer::profiling()
{
    static const bool on = qEnvironmentVariableIsSet("KIVEXCEL_CALL_PROFILE");
    return on;
}
