#include "editor/ISubject.h"

#include "editor/IObserverInterface.h"

ISubject::~ISubject() {
    delete observers_;
}

void ISubject::AddObserver(IObserverInterface* observer) {
    if (!observers_) {
        observers_ = new PointerList<IObserverInterface>(false, 32);
    }
    for (int i = 0; i < observers_->Count(); ++i) {
        if (observers_->Get(i) == observer) {
            return;
        }
    }
    observers_->Append(observer);
}

void ISubject::NotifyObservers() {
    if (!observers_ || !changed_.exchange(false, std::memory_order_acq_rel)) {
        return;
    }
    // An observer may add observers; those hear about the next change.
    const int count = observers_->Count();
    for (int i = 0; i < count; ++i) {
        observers_->Get(i)->SubjectChanged(this);
    }
}
