#include "DesktopPointer.h"

#include "DesktopHelpers.h"
#include "DesktopSession.h"
#include "ProductIdentity.h"
#include "ProcessFile.h"
#include "X11State.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace forms::x11 {

// The session bus, the program's name and object on it, and the newest
// place a helper reported.
struct DesktopPointer {
    std::unique_ptr<SessionBus> bus;
    BusSlot object;
    std::unique_ptr<DesktopHelper> helper;
    std::optional<ScreenPoint> news;
    PointerMerge merge;
};

namespace {

// Called by the helper; it expects no answer, but one costs little.
int OnMoved(sd_bus_message* call, void* data, sd_bus_error*)
{
    ScreenPoint place;
    if (sd_bus_message_read(call, "ii", &place.x, &place.y) >= 0)
        static_cast<DesktopPointer*>(data)->news = place;
    return sd_bus_reply_method_return(call, "");
}

const sd_bus_vtable PointerMethods[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Moved", "ii", "", OnMoved, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

// Takes the program's name and puts up the object helpers report to.
bool OfferPointerObject(DesktopPointer& pointer)
{
    sd_bus* bus = pointer.bus->Get();
    return sd_bus_add_object_vtable(bus, pointer.object.Out(), product::BusObjectPath, product::PointerInterface, PointerMethods,
               &pointer)
        >= 0
        && sd_bus_request_name(bus, product::BusName, 0) >= 0;
}

std::unique_ptr<DesktopHelper> StartHelper(SessionBus& bus)
{
    if (auto gnome = StartGnomeShellHelper(bus))
        return gnome;
    return StartKWinHelper(bus);
}

} // namespace

void TellUser(const char* text)
{
    std::string path = winapi::ExecutablePath();
    std::string line = path.substr(path.find_last_of('/') + 1) + ": " + text + "\n";
    std::fputs(line.c_str(), stderr);
}

void StartDesktopPointer()
{
    if (State().pointer || !IsWaylandSession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE")))
        return;
    auto pointer = std::make_unique<DesktopPointer>();
    pointer->bus = SessionBus::Open();
    if (!pointer->bus || !OfferPointerObject(*pointer))
        return;
    pointer->helper = StartHelper(*pointer->bus);
    if (pointer->helper)
        State().pointer = pointer.release(); // until StopDesktopPointer
}

void StopDesktopPointer()
{
    if (!State().pointer)
        return;
    State().pointer->helper->Unload();
    delete State().pointer;
    State().pointer = nullptr;
}

ScreenPoint PointerPlace(ScreenPoint fromX)
{
    if (!State().pointer)
        return fromX;
    if (!State().pointer->bus->TakeIn()) {
        TellUser("the session bus has gone: the eyes see the pointer only over X11 windows from now on");
        StopDesktopPointer();
        return fromX;
    }
    ScreenPoint place = State().pointer->merge.Next(fromX, State().pointer->news);
    State().pointer->news.reset();
    return place;
}

} // namespace forms::x11
