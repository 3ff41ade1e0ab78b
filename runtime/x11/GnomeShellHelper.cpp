// GNOME Shell: the program's own extension reports the pointer. It is
// installed with the program but must be enabled by the user; the program
// asks the shell whether it is, tells the user where not (a notification
// that offers to switch it on), and follows the shell's notes on its state.
#include "DesktopHelpers.h"
#include "DesktopSession.h"
#include "ExtensionNotification.h"
#include "UserConfig.h"
#include "X11State.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace forms::x11 {
namespace {

using gnome::Extensions;
using gnome::Shell;
using gnome::ShellPath;
constexpr double EnabledState = 1; // the shell's ExtensionState.ENABLED

// The "state" of an extension's a{sv} description; none when it has none
// (the shell does not know the extension).
std::optional<double> StateIn(sd_bus_message* description)
{
    std::optional<double> state;
    if (sd_bus_message_enter_container(description, 'a', "{sv}") < 0)
        return state;
    while (sd_bus_message_enter_container(description, 'e', "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(description, "s", &key);
        double number = 0;
        if (key && std::string(key) == "state" && sd_bus_message_enter_container(description, 'v', "d") > 0) {
            if (sd_bus_message_read(description, "d", &number) > 0)
                state = number;
            sd_bus_message_exit_container(description);
        } else {
            sd_bus_message_skip(description, "v");
        }
        sd_bus_message_exit_container(description);
    }
    sd_bus_message_exit_container(description);
    return state;
}

// Installed where GNOME Shell looks for extensions, whether or not it has
// loaded it yet.
bool IsInstalled(const std::string& uuid)
{
    for (const std::string& place : DataPlaces(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
             std::getenv("XDG_DATA_DIRS"), "gnome-shell/extensions/" + uuid + "/metadata.json"))
        if (access(place.c_str(), F_OK) == 0)
            return true;
    return false;
}

class GnomeShellHelper final : public DesktopHelper {
public:
    GnomeShellHelper(SessionBus& bus, std::string uuid)
        : m_uuid(std::move(uuid))
    {
        std::optional<double> state = StateNow(bus);
        m_enabled = state == EnabledState;
        auto notice = ExtensionNoticeFor(state, IsInstalled(m_uuid), m_uuid);
        if (notice && notice->asNotification)
            m_notification = std::make_unique<ExtensionNotification>(bus, std::move(*notice), m_uuid);
        else if (notice)
            TellUser(notice->line.c_str());
        sd_bus_match_signal(bus.Get(), m_watch.Out(), Shell, ShellPath, Extensions, "ExtensionStateChanged",
            &GnomeShellHelper::OnStateChanged, this);
    }

    void Unload() override
    {
        if (m_notification)
            m_notification->Withdraw();
    }

private:
    std::optional<double> StateNow(SessionBus& bus) const
    {
        BusError error;
        sd_bus_message* reply = nullptr;
        std::optional<double> state;
        if (sd_bus_call_method(
                bus.Get(), Shell, ShellPath, Extensions, "GetExtensionInfo", error.Get(), &reply, "s", m_uuid.c_str())
            >= 0)
            state = StateIn(reply);
        sd_bus_message_unref(reply);
        return state;
    }

    // Switched off while the program runs: X alone steers the eyes until it
    // is switched on again, when it reports by itself.
    static int OnStateChanged(sd_bus_message* signal, void* data, sd_bus_error*)
    {
        auto* self = static_cast<GnomeShellHelper*>(data);
        const char* uuid = nullptr;
        if (sd_bus_message_read(signal, "s", &uuid) < 0 || !uuid || self->m_uuid != uuid)
            return 0;
        bool enabled = StateIn(signal) == EnabledState;
        if (self->m_enabled && !enabled && !self->m_toldStopped) {
            TellUser("the GNOME Shell extension was switched off: the eyes see the pointer only over X11 windows "
                     "until it is switched on again");
            self->m_toldStopped = true;
        }
        self->m_enabled = enabled;
        if (enabled && self->m_notification)
            self->m_notification->Withdraw();
        return 0;
    }

    std::string m_uuid;
    BusSlot m_watch;
    std::unique_ptr<ExtensionNotification> m_notification;
    bool m_enabled = false;
    bool m_toldStopped = false;
};

} // namespace

// Mutter in a Wayland session moves an X11 window without a word to
// Xwayland about the pointer: until the pointer moves again, the clicks of
// a double-click right after a drag reach no window. From GNOME 48 it also
// starts a move after a quick drag's release and waits for another
// release, swallowing the next click. So on GNOME the program moves its
// window itself, as Xwayland then sees every step.
std::unique_ptr<DesktopHelper> StartGnomeShellHelper(SessionBus& bus)
{
    if (!bus.NameHasOwner(Shell))
        return nullptr;
    std::string version = bus.TextProperty(Shell, ShellPath, Shell, "ShellVersion");
    State().movesOfItsOwn = true;
    return std::make_unique<GnomeShellHelper>(bus, std::string(GnomeExtensionUuid(version)));
}

} // namespace forms::x11
