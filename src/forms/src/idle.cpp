#include "forms/idle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

namespace forms {
namespace {

// Counts the events delivered while installed on the application.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    EventCounter(const EventCounter&) = delete;
    EventCounter& operator=(const EventCounter&) = delete;

    int Take() {
        const int n = count_;
        count_ = 0;
        return n;
    }

protected:
    bool eventFilter(QObject*, QEvent*) override {
        ++count_;
        return false;
    }

private:
    int count_ = 0;
};

}  // namespace

bool WaitIdle(std::chrono::milliseconds limit) {
    if (!QCoreApplication::instance()) return true;
    EventCounter counter;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Deferred deletions run only from an event loop level: let them go too.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (counter.Take() == 0) return true;
        if (clock.elapsed() >= limit.count()) return false;
    }
}

}  // namespace forms
