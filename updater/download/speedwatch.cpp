#include "speedwatch.h"

#include <algorithm>

void SpeedWatch::restart(qint64 nowMs)
{
    startMs = nowMs;
    all.clear();
    // Only the parts running now are judged from here on, each from now on.
    for (auto it = parts.begin(); it != parts.end();) {
        if (it->endMs >= 0) {
            it = parts.erase(it);
        } else {
            *it = Part{nowMs, -1, 0, {}};
            ++it;
        }
    }
}

void SpeedWatch::partStarted(int part, qint64 nowMs)
{
    parts[part] = Part{nowMs, -1, 0, {}};
}

void SpeedWatch::partStopped(int part, qint64 nowMs)
{
    const auto found = parts.find(part);
    if (found != parts.end() && found->endMs < 0)
        found->endMs = nowMs;
}

void SpeedWatch::add(int part, qint64 bytes, qint64 nowMs)
{
    all.append({nowMs, bytes});
    const auto found = parts.find(part);
    if (found != parts.end() && found->endMs < 0) {
        found->bytes += bytes;
        found->samples.append({nowMs, bytes});
    }
    trim(nowMs);
}

void SpeedWatch::trim(qint64 nowMs)
{
    // Nothing older than the longer window is ever asked about.
    const qint64 keep = nowMs - qMax(rules.windowMs, rules.laggardWindowMs);
    const auto old = [keep](const QPair<qint64, qint64> &sample) {
        return sample.first <= keep;
    };
    all.erase(all.begin(), std::find_if_not(all.begin(), all.end(), old));
    for (Part &part : parts)
        part.samples.erase(part.samples.begin(), std::find_if_not(part.samples.begin(), part.samples.end(), old));
}

qint64 SpeedWatch::bytesSince(const QList<QPair<qint64, qint64>> &samples, qint64 fromMs) const
{
    qint64 sum = 0;
    for (const auto &sample : samples) {
        if (sample.first > fromMs)
            sum += sample.second;
    }
    return sum;
}

bool SpeedWatch::anyRunning() const
{
    return std::any_of(parts.cbegin(), parts.cend(), [](const Part &part) {
        return part.endMs < 0;
    });
}

double SpeedWatch::speedOf(const Part &part, qint64 nowMs) const
{
    if (part.endMs >= 0)
        return part.bytes * 1000.0 / qMax<qint64>(1, part.endMs - part.startMs);
    if (nowMs - part.startMs >= rules.laggardWindowMs)
        return bytesSince(part.samples, nowMs - rules.laggardWindowMs) * 1000.0 /
               qMax<qint64>(1, rules.laggardWindowMs);
    return part.bytes * 1000.0 / qMax<qint64>(1, nowMs - part.startMs);
}

bool SpeedWatch::stalled(qint64 nowMs) const
{
    if (nowMs - startMs < rules.windowMs || !anyRunning())
        return false;
    return bytesSince(all, nowMs - rules.windowMs) * 1000 < rules.floorBytesPerSecond * rules.windowMs;
}

int SpeedWatch::laggard(qint64 nowMs) const
{
    // The slowest part that has run a whole window...
    int slowest = -1;
    double slowestSpeed = 0;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        if (it->endMs >= 0 || nowMs - it->startMs < rules.laggardWindowMs)
            continue;
        const double speed = speedOf(*it, nowMs);
        if (slowest < 0 || speed < slowestSpeed) {
            slowest = it.key();
            slowestSpeed = speed;
        }
    }
    if (slowest < 0)
        return -1;
    // ...against the median of the others that brought anything.
    QList<double> others;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        if (it.key() != slowest && it->bytes > 0)
            others.append(speedOf(*it, nowMs));
    }
    if (others.isEmpty())
        return -1;
    std::sort(others.begin(), others.end());
    return slowestSpeed * rules.laggardRatio < others.at(others.size() / 2) ? slowest : -1;
}
