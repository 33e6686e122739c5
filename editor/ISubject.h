#pragma once

#include "common/PointerList.h"

#include <atomic>

class IObserverInterface;

// Something observers can watch. Changes are flagged as they happen (possibly on a host thread)
// and reported later, on the editor's thread, by NotifyObservers.
class ISubject {
public:
    ISubject() = default;
    virtual ~ISubject();
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;

    // Adding an observer twice keeps one entry. The observers are not owned.
    void AddObserver(IObserverInterface* observer);
    // If something changed since the last call, tells every observer in the order added.
    void NotifyObservers();
    int NumObservers() const { return observers_ ? observers_->Count() : 0; }

protected:
    void MarkChanged() { changed_.store(true, std::memory_order_release); }

private:
    PointerList<IObserverInterface>* observers_ = nullptr;
    std::atomic<bool> changed_{false};
};
