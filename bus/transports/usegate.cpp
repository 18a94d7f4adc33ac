#include "usegate.h"

#include <algorithm>

namespace {

// The gates the current thread holds uses of, one entry per use, innermost last.
thread_local std::vector<UseGate *> t_heldGates;

void forgetHeld(UseGate *gate)
{
    const auto it = std::find(t_heldGates.rbegin(), t_heldGates.rend(), gate);
    if (it != t_heldGates.rend())
        t_heldGates.erase(std::next(it).base());
}

} // namespace

UseGate::Use::Use(Use &&other) noexcept : m_gate(std::move(other.m_gate)) {}

UseGate::Use &UseGate::Use::operator=(Use &&other) noexcept
{
    if (this != &other) {
        release();
        m_gate = std::move(other.m_gate);
    }
    return *this;
}

UseGate::Use::~Use()
{
    release();
}

bool UseGate::Use::closed() const
{
    return !m_gate || m_gate->isClosed();
}

void UseGate::Use::release()
{
    if (!m_gate)
        return;
    forgetHeld(m_gate.get());
    m_gate->removeUser(std::this_thread::get_id());
    m_gate.reset();
}

UseGate::Parked::Parked()
{
    const std::thread::id self = std::this_thread::get_id();
    m_gates = t_heldGates;
    for (UseGate *gate : m_gates)
        gate->removeUser(self);
}

UseGate::Parked::~Parked()
{
    const std::thread::id self = std::this_thread::get_id();
    for (UseGate *gate : m_gates)
        gate->addUser(self);
}

std::shared_ptr<UseGate> UseGate::create()
{
    return std::shared_ptr<UseGate>(new UseGate);
}

UseGate::Use UseGate::tryUse(const std::shared_ptr<UseGate> &gate)
{
    Use use;
    if (!gate)
        return use;
    {
        std::lock_guard<std::mutex> lock(gate->m_mutex);
        if (gate->m_closed)
            return use;
        gate->m_users.push_back(std::this_thread::get_id());
    }
    t_heldGates.push_back(gate.get());
    use.m_gate = gate;
    return use;
}

void UseGate::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
}

bool UseGate::isClosed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

void UseGate::waitForOthers()
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_released.wait(lock, [&] {
        return std::all_of(m_users.cbegin(), m_users.cend(),
                           [&](std::thread::id user) { return user == self; });
    });
}

void UseGate::addUser(std::thread::id id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_users.push_back(id);
}

void UseGate::removeUser(std::thread::id id)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find(m_users.begin(), m_users.end(), id);
        if (it != m_users.end())
            m_users.erase(it);
    }
    m_released.notify_all();
}
