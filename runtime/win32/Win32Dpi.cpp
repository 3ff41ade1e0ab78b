#include "Win32Dpi.h"

#include <initializer_list>

namespace forms::win32 {
namespace {

using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
using ContextsEqual = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
using SetProcessContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using DpiForWindow = UINT(WINAPI*)(HWND);
using SetProcessAwareness = HRESULT(WINAPI*)(int);

constexpr int ProcessPerMonitorAware = 2; // PROCESS_PER_MONITOR_DPI_AWARE of shcore
constexpr unsigned UnscaledDotsPerInch = 96;

template <typename Function>
Function Lookup(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// What the system offers, looked up once: functions a system may lack.
struct DpiFunctions {
    SetThreadContext setThread = nullptr;
    GetThreadContext getThread = nullptr;
    ContextsEqual equal = nullptr;
    SetProcessContext setProcess = nullptr;
    DpiForWindow dpiForWindow = nullptr;

    DpiFunctions()
    {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        setThread = Lookup<SetThreadContext>(user32, "SetThreadDpiAwarenessContext");
        getThread = Lookup<GetThreadContext>(user32, "GetThreadDpiAwarenessContext");
        equal = Lookup<ContextsEqual>(user32, "AreDpiAwarenessContextsEqual");
        setProcess = Lookup<SetProcessContext>(user32, "SetProcessDpiAwarenessContext");
        dpiForWindow = Lookup<DpiForWindow>(user32, "GetDpiForWindow");
    }
    // Thread contexts came with Windows 10 1607, and with them the rest.
    bool HasThreadContexts() const { return setThread && getThread && equal && dpiForWindow; }
};

const DpiFunctions& Functions()
{
    static const DpiFunctions functions;
    return functions;
}

bool g_perMonitorAware = false;
DPI_AWARENESS_CONTEXT g_deviceContext = nullptr; // the per-monitor context the process has

// The per-monitor context the thread runs in now, or null for another one.
DPI_AWARENESS_CONTEXT PerMonitorContextOfThread(const DpiFunctions& dpi)
{
    DPI_AWARENESS_CONTEXT now = dpi.getThread();
    for (DPI_AWARENESS_CONTEXT context :
        { DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE }) {
        if (dpi.equal(now, context))
            return context;
    }
    return nullptr;
}

// v2 where the system has it, else v1 (Windows 10 1607 has only shcore's
// call for it). A process made aware already, by the system or a manifest,
// refuses every call, and what it runs in counts.
void AskForPerMonitorAwareness(const DpiFunctions& dpi)
{
    if (dpi.setProcess && dpi.setProcess(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return;
    if (dpi.setProcess && dpi.setProcess(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
        return;
    if (HMODULE shcore = ::LoadLibraryW(L"shcore.dll")) {
        if (auto setAwareness = Lookup<SetProcessAwareness>(shcore, "SetProcessDpiAwareness"))
            setAwareness(ProcessPerMonitorAware);
        ::FreeLibrary(shcore); // the process keeps its awareness
    }
}

} // namespace

bool DeclarePerMonitorAwareness()
{
    const DpiFunctions& dpi = Functions();
    if (!dpi.HasThreadContexts())
        return false;
    AskForPerMonitorAwareness(dpi);
    g_deviceContext = PerMonitorContextOfThread(dpi);
    g_perMonitorAware = g_deviceContext != nullptr;
    if (g_perMonitorAware)
        dpi.setThread(DPI_AWARENESS_CONTEXT_UNAWARE);
    return g_perMonitorAware;
}

bool IsPerMonitorAware() { return g_perMonitorAware; }

unsigned DotsPerInchOf(HWND window)
{
    if (!g_perMonitorAware)
        return UnscaledDotsPerInch;
    UINT dotsPerInch = Functions().dpiForWindow(window);
    return dotsPerInch > 0 ? dotsPerInch : UnscaledDotsPerInch;
}

DpiContextScope::DpiContextScope(Context context)
{
    if (g_perMonitorAware)
        m_previous = Functions().setThread(
            context == Context::Program ? DPI_AWARENESS_CONTEXT_UNAWARE : g_deviceContext);
}

DpiContextScope::~DpiContextScope()
{
    if (m_previous)
        Functions().setThread(m_previous);
}

} // namespace forms::win32
