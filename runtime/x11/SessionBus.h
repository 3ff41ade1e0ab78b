#pragma once
// The program's connection to the user's session bus (sd-bus), and the
// handles sd-bus gives out, each owned by one object.

#include <systemd/sd-bus.h>

#include <memory>
#include <string>

namespace forms::x11 {

// A registration on the bus (a match, an object, a pending call), ended
// with its owner.
class BusSlot {
public:
    BusSlot() = default;
    ~BusSlot() { sd_bus_slot_unref(m_slot); }
    BusSlot(const BusSlot&) = delete;
    BusSlot& operator=(const BusSlot&) = delete;

    sd_bus_slot** Out() { return &m_slot; }
    bool IsSet() const { return m_slot != nullptr; }
    void Reset();

private:
    sd_bus_slot* m_slot = nullptr;
};

class SessionBus {
public:
    // The session bus, or null where there is none.
    static std::unique_ptr<SessionBus> Open();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    sd_bus* Get() const { return m_bus; }
    bool NameHasOwner(const char* name);
    // Calls a method that takes at most two texts and answers with nothing,
    // a number or a truth value; false when it failed. Only for start and
    // end: it waits for the answer (a second at most).
    bool Call(const char* service, const char* path, const char* interface, const char* method,
        const char* signature = nullptr, const char* first = nullptr, const char* second = nullptr);
    // A text property; empty when it cannot be read.
    std::string TextProperty(const char* service, const char* path, const char* interface, const char* name);
    // Takes in whatever has arrived, without waiting; false once the
    // connection is broken.
    bool TakeIn();

private:
    explicit SessionBus(sd_bus* bus);
    sd_bus* m_bus;
};

// Frees what sd-bus allocated for an error.
class BusError {
public:
    BusError() = default;
    ~BusError() { sd_bus_error_free(&m_error); }
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    sd_bus_error* Get() { return &m_error; }

private:
    sd_bus_error m_error = SD_BUS_ERROR_NULL;
};

// Drops a message when it goes.
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using BusMessage = std::unique_ptr<sd_bus_message, MessageUnref>;

} // namespace forms::x11
