#ifndef USEGATE_H
#define USEGATE_H

#include "dorrikbus_global.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Lets the owner of an object (a link, a registry) wait until other threads are done with it
// before it removes or destroys it, without holding a lock for their whole use.
//
// Each use is one entry of the using thread. A thread that blocks on a call into another thread
// (a link that runs its exchange in its owner's thread) parks its uses for that span: the
// thread it calls may be the very one that waits, and must not wait for it. An object that was
// not waited for can be gone when the parked thread resumes; Use::closed() tells it so.
//
// Gates are shared: a use keeps its gate alive, so a thread can still ask it after the object
// went.
class DORRIKBUS_EXPORT UseGate
{
public:
    class DORRIKBUS_EXPORT Use
    {
    public:
        Use() = default;
        Use(Use &&other) noexcept;
        Use &operator=(Use &&other) noexcept;
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;
        ~Use();

        explicit operator bool() const { return bool(m_gate); }
        // True once the object's owner began to remove or destroy it.
        bool closed() const;

    private:
        friend class UseGate;
        void release();

        std::shared_ptr<UseGate> m_gate;
    };

    // The calling thread's uses stop holding back waiters while it lives; for the span of a
    // blocking call into another thread.
    class DORRIKBUS_EXPORT Parked
    {
    public:
        Parked();
        ~Parked();
        Parked(const Parked &) = delete;
        Parked &operator=(const Parked &) = delete;

    private:
        // Kept alive by the thread's own uses, which outlive this object.
        std::vector<UseGate *> m_gates;
    };

    static std::shared_ptr<UseGate> create();
    // A use by the calling thread; an empty one once the gate is closed.
    static Use tryUse(const std::shared_ptr<UseGate> &gate);

    // From now on every tryUse fails. Uses that exist go on.
    void close();
    bool isClosed() const;
    // Blocks until no thread but the caller holds a use, parked uses aside.
    void waitForOthers();

private:
    UseGate() = default;
    void addUser(std::thread::id id);
    void removeUser(std::thread::id id);

    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_closed = false;                // guarded by m_mutex
    std::vector<std::thread::id> m_users; // guarded by m_mutex; one entry per running use
};

#endif
