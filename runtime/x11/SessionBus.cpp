#include "SessionBus.h"

#include <cstdlib>

namespace forms::x11 {
namespace {

// The longest a call made at start or at the end may wait for its answer.
constexpr std::uint64_t CallTimeoutMicroseconds = 1000000;
// At most this many messages are taken in per tick, so that a flood cannot
// hold the tick up.
constexpr int MessagesPerTick = 256;

} // namespace

void BusSlot::Reset()
{
    m_slot = sd_bus_slot_unref(m_slot);
}

std::unique_ptr<SessionBus> SessionBus::Open()
{
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0)
        return nullptr;
    sd_bus_set_method_call_timeout(bus, CallTimeoutMicroseconds);
    return std::unique_ptr<SessionBus>(new SessionBus(bus));
}

SessionBus::SessionBus(sd_bus* bus)
    : m_bus(bus)
{
}

SessionBus::~SessionBus() { sd_bus_flush_close_unref(m_bus); }

bool SessionBus::NameHasOwner(const char* name)
{
    BusError error;
    sd_bus_message* reply = nullptr;
    int owned = 0;
    if (sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "NameHasOwner", error.Get(), &reply, "s", name)
        >= 0)
        sd_bus_message_read(reply, "b", &owned);
    sd_bus_message_unref(reply);
    return owned != 0;
}

bool SessionBus::Call(const char* service, const char* path, const char* interface, const char* method,
    const char* signature, const char* first, const char* second)
{
    BusError error;
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(m_bus, service, path, interface, method, error.Get(), &reply, signature, first,
        second);
    // A method answering false or a negative number failed as much as one
    // answering an error (KWin's loadScript answers -1).
    int answer = 1;
    char type = 0;
    if (result >= 0 && sd_bus_message_peek_type(reply, &type, nullptr) > 0
        && (type == SD_BUS_TYPE_BOOLEAN || type == SD_BUS_TYPE_INT32))
        sd_bus_message_read_basic(reply, type, &answer);
    sd_bus_message_unref(reply);
    return result >= 0 && (type == SD_BUS_TYPE_INT32 ? answer >= 0 : answer != 0);
}

std::string SessionBus::TextProperty(const char* service, const char* path, const char* interface, const char* name)
{
    BusError error;
    char* text = nullptr;
    std::string value;
    if (sd_bus_get_property_string(m_bus, service, path, interface, name, error.Get(), &text) >= 0 && text)
        value = text;
    std::free(text);
    return value;
}

bool SessionBus::TakeIn()
{
    for (int taken = 0; taken < MessagesPerTick; ++taken) {
        int result = sd_bus_process(m_bus, nullptr);
        if (result < 0)
            return false;
        if (result == 0)
            return true;
    }
    return true;
}

} // namespace forms::x11
