#include "SpVoice.h"

#include <algorithm>

namespace {
// Waits are rare (one per utterance), so all events share one lock and one
// condition; setting any event wakes every waiter, who looks again.
std::mutex& EventMutex() {
    static std::mutex m;
    return m;
}
std::condition_variable& EventCondition() {
    static std::condition_variable c;
    return c;
}
} // namespace

void TSpEvent::Set() {
    {
        std::lock_guard lock(EventMutex());
        FSetS = true;
    }
    EventCondition().notify_all();
}

void TSpEvent::Reset() {
    std::lock_guard lock(EventMutex());
    FSetS = false;
}

bool TSpEvent::IsSet() const {
    std::lock_guard lock(EventMutex());
    return FSetS;
}

int TSpEvent::WaitAny(const std::vector<TSpEvent*>& AEvents) {
    std::unique_lock lock(EventMutex());
    int found = -1;
    EventCondition().wait(lock, [&] {
        const auto it = std::find_if(AEvents.begin(), AEvents.end(), [](const TSpEvent* e) { return e->FSetS; });
        if (it == AEvents.end()) return false;
        found = static_cast<int>(it - AEvents.begin());
        return true;
    });
    return found;
}
