#ifndef OBJECTTHREADCALL_H
#define OBJECTTHREADCALL_H

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>

// Runs work in the thread that `object` lives in and gives its result: directly when the caller
// is already there (a blocking call into the own thread would never return), else as a blocking
// queued call. The functor form carries arguments and result without metatype look-ups; they stay
// in place while the caller waits. A call that cannot run (the thread is not running, or the
// object is destroyed before the call is delivered) gives a value-initialised result and leaves
// `ran` false.
template <typename Work>
auto callInObjectThread(const QObject &object, Work &&work, bool *ran = nullptr) -> decltype(work())
{
    using Result = decltype(work());
    bool done = false;
    auto *receiver = const_cast<QObject *>(&object);
    if constexpr (std::is_void_v<Result>) {
        if (QThread::currentThread() == object.thread()) {
            work();
            done = true;
        } else if (const QThread *thread = object.thread(); thread && thread->isRunning()) {
            QMetaObject::invokeMethod(
                receiver,
                [&] {
                    work();
                    done = true;
                },
                Qt::BlockingQueuedConnection);
        }
        if (ran)
            *ran = done;
    } else {
        Result result{};
        if (QThread::currentThread() == object.thread()) {
            result = work();
            done = true;
        } else if (const QThread *thread = object.thread(); thread && thread->isRunning()) {
            QMetaObject::invokeMethod(
                receiver,
                [&] {
                    result = work();
                    done = true;
                },
                Qt::BlockingQueuedConnection);
        }
        if (ran)
            *ran = done;
        return result;
    }
}

#endif
