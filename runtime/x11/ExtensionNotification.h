#pragma once
// The notice about the GNOME Shell extension (ExtensionNotice), shown as one
// of the desktop's notifications (org.freedesktop.Notifications, which
// GNOME Shell itself serves). Its action switches the extension on through
// the shell's own interface. Nothing here waits on the tick: the answers
// and the action come in with the rest of the bus's messages.

#include "ExtensionNotice.h"
#include "SessionBus.h"

#include <cstdint>
#include <string>

namespace forms::x11 {

class ExtensionNotification {
public:
    // Sends the notice; standard error takes it where no notification
    // service answers.
    ExtensionNotification(SessionBus& bus, ExtensionNotice notice, std::string uuid);
    ExtensionNotification(const ExtensionNotification&) = delete;
    ExtensionNotification& operator=(const ExtensionNotification&) = delete;

    // Takes the notification back, once the extension is on or as the
    // program ends: its action does nothing without the program.
    void Withdraw();

private:
    int Send();
    static int OnShown(sd_bus_message* reply, void* data, sd_bus_error*);
    static int OnAction(sd_bus_message* signal, void* data, sd_bus_error*);
    static int OnSwitchedOn(sd_bus_message* reply, void* data, sd_bus_error*);

    SessionBus& m_bus;
    ExtensionNotice m_notice;
    std::string m_uuid;
    BusSlot m_shown;
    BusSlot m_actions;
    BusSlot m_switchOn;
    std::uint32_t m_id = 0; // the service's number for it, once shown
};

} // namespace forms::x11
