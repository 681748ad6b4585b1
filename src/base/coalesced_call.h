#pragma once

#include <QObject>
#include <functional>
#include <utility>

// A call that runs once the event loop comes round, however often it was asked for
// meanwhile: several changes within one pass of the loop cost one run. Lives no longer than
// its owner, whose thread it runs on.
class CoalescedCall {
public:
    CoalescedCall(QObject* owner, std::function<void()> call)
        : owner_(owner), call_(std::move(call)) {}

    void request() {
        if (std::exchange(requested_, true))
            return;
        QMetaObject::invokeMethod(
            owner_,
            [this] {
                requested_ = false;
                call_();
            },
            Qt::QueuedConnection);
    }

private:
    QObject* owner_;
    std::function<void()> call_;
    bool requested_ = false;
};
