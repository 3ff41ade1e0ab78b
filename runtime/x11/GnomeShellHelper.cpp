// GNOME Shell: the program's own extension reports the pointer. It is
// installed with the program but must be enabled by the user; the program
// asks the shell whether it is, says how to enable it where not, and
// follows the shell's notes on its state.
#include "DesktopHelpers.h"
#include "PointerReports.h"

#include <string>

namespace forms::x11 {
namespace {

constexpr const char* Shell = "org.gnome.Shell";
constexpr const char* ShellPath = "/org/gnome/Shell";
constexpr const char* Extensions = "org.gnome.Shell.Extensions";
constexpr double EnabledState = 1; // the shell's ExtensionState.ENABLED

// The "state" of an extension's a{sv} description; 0 when it has none
// (the shell does not know the extension).
double StateIn(sd_bus_message* description)
{
    double state = 0;
    if (sd_bus_message_enter_container(description, 'a', "{sv}") < 0)
        return state;
    while (sd_bus_message_enter_container(description, 'e', "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(description, "s", &key);
        if (key && std::string(key) == "state" && sd_bus_message_enter_container(description, 'v', "d") > 0) {
            sd_bus_message_read(description, "d", &state);
            sd_bus_message_exit_container(description);
        } else {
            sd_bus_message_skip(description, "v");
        }
        sd_bus_message_exit_container(description);
    }
    sd_bus_message_exit_container(description);
    return state;
}

class GnomeShellHelper final : public DesktopHelper {
public:
    GnomeShellHelper(SessionBus& bus, std::string uuid)
        : m_uuid(std::move(uuid))
    {
        m_enabled = StateNow(bus) == EnabledState;
        if (!m_enabled)
            TellHowToEnable();
        sd_bus_match_signal(bus.Get(), m_watch.Out(), Shell, ShellPath, Extensions, "ExtensionStateChanged",
            &GnomeShellHelper::OnStateChanged, this);
    }

private:
    double StateNow(SessionBus& bus) const
    {
        BusError error;
        sd_bus_message* reply = nullptr;
        double state = 0;
        if (sd_bus_call_method(bus.Get(), Shell, ShellPath, Extensions, "GetExtensionInfo", error.Get(), &reply, "s",
                m_uuid.c_str())
            >= 0)
            state = StateIn(reply);
        sd_bus_message_unref(reply);
        return state;
    }

    void TellHowToEnable() const
    {
        std::string text = "on this GNOME Wayland session the eyes see the pointer only over X11 windows until "
                           "the program's GNOME Shell extension is enabled: gnome-extensions enable "
            + m_uuid + " (GNOME loads a newly installed extension at the next log-in)";
        TellUser(text.c_str());
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
        return 0;
    }

    std::string m_uuid;
    BusSlot m_watch;
    bool m_enabled = false;
    bool m_toldStopped = false;
};

} // namespace

std::unique_ptr<DesktopHelper> StartGnomeShellHelper(SessionBus& bus)
{
    if (!bus.NameHasOwner(Shell))
        return nullptr;
    std::string version = bus.TextProperty(Shell, ShellPath, Shell, "ShellVersion");
    return std::make_unique<GnomeShellHelper>(bus, std::string(GnomeExtensionUuid(version)));
}

} // namespace forms::x11
