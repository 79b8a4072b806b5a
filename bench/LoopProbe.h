#pragma once
// How long the calling thread stays away from its event loop. A precise timer asks to fire
// every interval; each firing records the time since the previous one, so a gap of g ms means
// the thread processed no events for about g - interval ms. Start it before the work, run the
// work from the event loop (a timer, a posted call), stop it after, and read the gaps.
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

class TLoopProbe
{
public:
    explicit TLoopProbe(std::chrono::milliseconds interval = std::chrono::milliseconds(1))
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(interval);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            gapsNs.push_back(now - last);
            last = now;
        });
    }

    void Start()
    {
        gapsNs.clear();
        clock.start();
        last = 0;
        timer.start();
    }

    // The time from the last firing to now counts as a gap too: work that ends the run while
    // the loop is away would otherwise go unseen.
    void Stop()
    {
        timer.stop();
        gapsNs.push_back(clock.nsecsElapsed() - last);
    }

    size_t Count() const { return gapsNs.size(); }
    double MaxMs() const
    {
        return gapsNs.empty() ? 0 : double(*std::max_element(gapsNs.begin(), gapsNs.end())) / 1e6;
    }
    // The gap that share p (0 to 1) of all gaps do not exceed (nearest rank).
    double PercentileMs(double p) const
    {
        if (gapsNs.empty())
            return 0;
        std::vector<qint64> sorted = gapsNs;
        std::sort(sorted.begin(), sorted.end());
        const auto rank = static_cast<size_t>(std::ceil(p * double(sorted.size())));
        return double(sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1]) / 1e6;
    }
    // Gaps longer than ms.
    size_t CountOver(double ms) const
    {
        return static_cast<size_t>(std::count_if(gapsNs.begin(), gapsNs.end(),
                                                 [ms](qint64 g) { return double(g) / 1e6 > ms; }));
    }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<qint64> gapsNs;
};
