#pragma once

class ISubject;

// Told by a subject it watches that the subject changed since the last notification.
class IObserverInterface {
public:
    virtual void SubjectChanged(ISubject* subject) = 0;
    virtual ~IObserverInterface() = default;
};
