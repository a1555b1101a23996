// strip_queue.cpp - lookup, ordered insertion and pruning of the strip queues.
#include "text/strip_queue.h"

uint64_t NewPaintingNumber() {
    static uint64_t last = 0;
    return ++last;
}

const LineStrip& FindStrip(const StripQueue& queue, uint32_t lineIndex) {
    static const LineStrip notFound;  // empty, tag all ones
    for (const LineStrip& strip : queue)
        if (StripLineIndex(strip) == lineIndex) return strip;
    return notFound;
}

bool IsNotFound(const LineStrip& strip) { return StripLineIndex(strip) == UINT32_MAX; }

void InsertStrip(StripQueue* queue, const LineStrip& strip) {
    auto at = queue->end();
    while (at != queue->begin() && StripLineIndex(*(at - 1)) > StripLineIndex(strip)) --at;
    queue->insert(at, strip);
}

void ClearStripQueue(StripQueue* queue) {
    for (LineStrip& strip : *queue) ReleaseDibSurface(&strip);
    queue->clear();
}

uint32_t PruneStripQueue(StripQueue* queue, LineRange window) {
    const uint32_t span = window.Empty() ? 0 : window.last - window.first + 1;
    const uint32_t count = span < kWindowLines ? span : kWindowLines;
    uint32_t missing = (1u << count) - 1u;
    for (auto it = queue->begin(); it != queue->end();) {
        const uint32_t line = StripLineIndex(*it);
        if (!window.Empty() && line >= window.first && line <= window.last) {
            if (line - window.first < count) missing &= ~(1u << (line - window.first));
            ++it;
        } else {
            ReleaseDibSurface(&*it);
            it = queue->erase(it);
        }
    }
    return missing;
}
