// KDE Plasma: a KWin script reports the pointer. The program loads it into
// KWin through KWin's own scripting interface at start and unloads it at
// the end, so nothing needs installing beside the program; the script file
// lies in the program's data folder, share/peerkin/kwin/ beside bin/.
#include "DesktopHelpers.h"
#include "ProcessFile.h"
#include "ProductIdentity.h"

#include <unistd.h>

#include <string>

namespace forms::x11 {
namespace {

constexpr const char* KWin = "org.kde.KWin";
constexpr const char* ScriptingPath = "/Scripting";
constexpr const char* Scripting = "org.kde.kwin.Scripting";
constexpr const char* ScriptName = product::KWinScriptName;

std::string ScriptFile()
{
    std::string program = winapi::ExecutablePath();
    std::string folder = program.substr(0, program.find_last_of('/'));
    return folder + "/../share/peerkin/kwin/pointer.js";
}

class KWinHelper final : public DesktopHelper {
public:
    KWinHelper(SessionBus& bus, std::string script)
        : m_bus(bus)
        , m_script(std::move(script))
    {
        m_loaded = Load();
        if (!m_loaded)
            TellUser("KWin did not take the program's script: the eyes see the pointer only over X11 windows");
        sd_bus_add_match(bus.Get(), m_watch.Out(),
            "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.kde.KWin'",
            &KWinHelper::OnOwnerChanged, this);
    }

    void Unload() override
    {
        if (m_loaded)
            m_bus.Call(KWin, ScriptingPath, Scripting, "unloadScript", "s", ScriptName);
    }

private:
    // A script left by a start that ended without unloading it goes first.
    bool Load()
    {
        if (m_bus.Call(KWin, ScriptingPath, Scripting, "isScriptLoaded", "s", ScriptName))
            m_bus.Call(KWin, ScriptingPath, Scripting, "unloadScript", "s", ScriptName);
        return m_bus.Call(KWin, ScriptingPath, Scripting, "loadScript", "ss", m_script.c_str(), ScriptName)
            && m_bus.Call(KWin, ScriptingPath, Scripting, "start");
    }

    // A KWin that goes takes the script with it; a new one (KWin restarted)
    // gets it again, without the tick waiting for the answers.
    static int OnOwnerChanged(sd_bus_message* signal, void* data, sd_bus_error*)
    {
        auto* self = static_cast<KWinHelper*>(data);
        const char* name = nullptr;
        const char* before = nullptr;
        const char* after = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &before, &after) < 0 || std::string(name) != KWin)
            return 0;
        if (*after == '\0') {
            if (!self->m_toldGone)
                TellUser("KWin has gone: the eyes see the pointer only over X11 windows until it is back");
            self->m_toldGone = true;
            self->m_loaded = false;
        } else {
            self->m_reload.Reset();
            sd_bus_call_method_async(self->m_bus.Get(), self->m_reload.Out(), KWin, ScriptingPath, Scripting,
                "loadScript", &KWinHelper::OnReloaded, self, "ss", self->m_script.c_str(), ScriptName);
        }
        return 0;
    }

    static int OnReloaded(sd_bus_message* reply, void* data, sd_bus_error*)
    {
        auto* self = static_cast<KWinHelper*>(data);
        if (sd_bus_message_is_method_error(reply, nullptr))
            return 0;
        self->m_loaded = true;
        return sd_bus_call_method_async(self->m_bus.Get(), nullptr, KWin, ScriptingPath, Scripting, "start",
            nullptr, nullptr, "");
    }

    SessionBus& m_bus;
    std::string m_script;
    BusSlot m_watch;
    BusSlot m_reload;
    bool m_loaded = false;
    bool m_toldGone = false;
};

} // namespace

std::unique_ptr<DesktopHelper> StartKWinHelper(SessionBus& bus)
{
    if (!bus.NameHasOwner(KWin))
        return nullptr;
    std::string script = ScriptFile();
    if (::access(script.c_str(), R_OK) != 0) {
        TellUser(("the KWin script is missing (" + script
            + "): the eyes see the pointer only over X11 windows").c_str());
        return nullptr;
    }
    return std::make_unique<KWinHelper>(bus, script);
}

} // namespace forms::x11
