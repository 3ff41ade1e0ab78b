// A session bus that goes away is noticed on the next tick, so that the
// desktop's pointer helper is dropped and the user told (DesktopPointer.cpp).
#include "SessionBus.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(SessionBus, TakeInFailsOnceTheBusHasGone)
{
    FILE* daemon = ::popen("dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1", "r");
    ASSERT_NE(daemon, nullptr);
    char address[512] {};
    char pid[32] {};
    bool started = std::fgets(address, sizeof address, daemon) && std::fgets(pid, sizeof pid, daemon);
    ::pclose(daemon);
    ASSERT_TRUE(started) << "dbus-daemon did not start";
    std::string bus(address);
    bus.erase(bus.find_last_not_of('\n') + 1);
    const char* before = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    std::string user = before ? before : "";
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
    auto session = forms::x11::SessionBus::Open();
    before ? ::setenv("DBUS_SESSION_BUS_ADDRESS", user.c_str(), 1) : ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(session->TakeIn());
    ::kill(std::atoi(pid), SIGTERM);
    bool noticed = false;
    for (int tick = 0; tick < 100 && !noticed; ++tick, ::usleep(10000))
        noticed = !session->TakeIn();
    EXPECT_TRUE(noticed);
}

} // namespace
