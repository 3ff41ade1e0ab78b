#include "ExtensionNotification.h"

#include "DesktopHelpers.h"
#include "ProductIdentity.h"

namespace forms::x11 {
namespace {

constexpr const char* Notifications = "org.freedesktop.Notifications";
constexpr const char* NotificationsPath = "/org/freedesktop/Notifications";
constexpr const char* SwitchOnKey = "switch-on";
constexpr std::int32_t ServiceDecidesTimeout = -1;
// Nothing waits for the answer, so a busy shell may take its time rather
// than have the notice said twice, shown and on standard error.
constexpr std::uint64_t AnswerMicroseconds = 25000000;

bool AnsweredTrue(sd_bus_message* reply)
{
    int answer = 0;
    return !sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "b", &answer) >= 0
        && answer != 0;
}

} // namespace

ExtensionNotification::ExtensionNotification(SessionBus& bus, ExtensionNotice notice, std::string uuid)
    : m_bus(bus)
    , m_notice(std::move(notice))
    , m_uuid(std::move(uuid))
{
    int result = 0;
    if (!m_notice.switchOnLabel.empty())
        result = sd_bus_match_signal(bus.Get(), m_actions.Out(), Notifications, NotificationsPath, Notifications,
            "ActionInvoked", &ExtensionNotification::OnAction, this);
    if (result < 0 || Send() < 0)
        TellUser(m_notice.line.c_str());
}

// Notify(app_name, replaces_id, app_icon, summary, body, actions, hints,
// expire_timeout), the actions as pairs of key and label.
int ExtensionNotification::Send()
{
    sd_bus_message* raw = nullptr;
    int result
        = sd_bus_message_new_method_call(m_bus.Get(), &raw, Notifications, NotificationsPath, Notifications, "Notify");
    BusMessage call(raw);
    if (result >= 0)
        result = sd_bus_message_append(raw, "susss", product::DisplayName, 0u, product::DesktopEntry,
            m_notice.summary.c_str(), m_notice.body.c_str());
    if (result >= 0)
        result = sd_bus_message_open_container(raw, 'a', "s");
    if (result >= 0 && !m_notice.switchOnLabel.empty())
        result = sd_bus_message_append(raw, "ss", SwitchOnKey, m_notice.switchOnLabel.c_str());
    if (result >= 0)
        result = sd_bus_message_close_container(raw);
    if (result >= 0)
        result = sd_bus_message_append(
            raw, "a{sv}i", 1, "desktop-entry", "s", product::DesktopEntry, ServiceDecidesTimeout);
    if (result >= 0)
        result = sd_bus_call_async(
            m_bus.Get(), m_shown.Out(), raw, &ExtensionNotification::OnShown, this, AnswerMicroseconds);
    return result;
}

void ExtensionNotification::Withdraw()
{
    if (m_id == 0)
        return;
    // No answer is awaited: the program may be on its way out.
    if (sd_bus_call_method_async(m_bus.Get(), nullptr, Notifications, NotificationsPath, Notifications,
            "CloseNotification", nullptr, nullptr, "u", m_id)
        < 0)
        TellUser("the notification about the GNOME Shell extension could not be taken back");
    m_id = 0;
}

int ExtensionNotification::OnShown(sd_bus_message* reply, void* data, sd_bus_error*)
{
    auto* self = static_cast<ExtensionNotification*>(data);
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "u", &self->m_id) < 0)
        TellUser(self->m_notice.line.c_str());
    return 0;
}

// The user chose the action: the shell switches the extension on, and says
// so with the ExtensionStateChanged its helper follows.
int ExtensionNotification::OnAction(sd_bus_message* signal, void* data, sd_bus_error*)
{
    auto* self = static_cast<ExtensionNotification*>(data);
    std::uint32_t id = 0;
    const char* key = nullptr;
    if (sd_bus_message_read(signal, "us", &id, &key) < 0 || id == 0 || id != self->m_id
        || std::string_view(key) != SwitchOnKey)
        return 0;
    self->m_id = 0; // the service closes a notification whose action was chosen
    self->m_switchOn.Reset();
    if (sd_bus_call_method_async(self->m_bus.Get(), self->m_switchOn.Out(), gnome::Shell, gnome::ShellPath,
            gnome::Extensions, "EnableExtension", &ExtensionNotification::OnSwitchedOn, self, "s", self->m_uuid.c_str())
        < 0)
        TellUser(self->m_notice.line.c_str());
    return 0;
}

int ExtensionNotification::OnSwitchedOn(sd_bus_message* reply, void* data, sd_bus_error*)
{
    auto* self = static_cast<ExtensionNotification*>(data);
    if (!AnsweredTrue(reply))
        TellUser(self->m_notice.line.c_str());
    return 0;
}

} // namespace forms::x11
