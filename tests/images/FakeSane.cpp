// A SANE library for the scanner tests: three devices, two of them of the
// same vendor and model, and the faults real backends show (misreported
// lines, a driver that throws, a cancel that blocks, a slow listing).
// Loaded by the program through its library name, driven by the test
// through the fake_sane_* functions.
#include <sane/sane.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace {

std::mutex g_m;
std::condition_variable g_cv;
int g_mode = 0;
int g_listDelayMs = 0;
bool g_cancelled = false;
bool g_cancelReleased = false;
std::atomic<int> g_busyCalls{0};
std::string g_opened;
int g_lineRead = 0;

const SANE_Device kDevices[] = {{"fake:one", "Acme", "Scan 100", "flatbed scanner"},
                                {"fake:two", "Acme", "Scan 100", "flatbed scanner"},
                                {"fake:solo", "Acme", "Solo", "flatbed scanner"}};
const SANE_Device* kList[] = {&kDevices[0], &kDevices[1], &kDevices[2], nullptr};

constexpr int kWidth = 4;
constexpr int kLines = 2;

// Counts a call that is inside the library, for the test's idle wait.
struct Inside {
    Inside() { ++g_busyCalls; }
    ~Inside() { --g_busyCalls; }
};

}  // namespace

extern "C" {

enum FakeMode { Normal = 0, ShortLines = 1, ThrowingRead = 2, BlockingCancel = 3 };

void fake_sane_set_mode(int mode, int listDelayMs)
{
    std::lock_guard<std::mutex> lock(g_m);
    g_mode = mode;
    g_listDelayMs = listDelayMs;
    g_cancelled = false;
    g_cancelReleased = false;
    g_opened.clear();
}

void fake_sane_release_cancel()
{
    {
        std::lock_guard<std::mutex> lock(g_m);
        g_cancelReleased = true;
    }
    g_cv.notify_all();
}

const char* fake_sane_last_opened()
{
    std::lock_guard<std::mutex> lock(g_m);
    static std::string copy;
    copy = g_opened;
    return copy.c_str();
}

int fake_sane_calls_inside()
{
    return g_busyCalls;
}

SANE_Status sane_init(SANE_Int* version, SANE_Auth_Callback)
{
    if (version)
        *version = SANE_VERSION_CODE(1, 0, 0);
    return SANE_STATUS_GOOD;
}

void sane_exit()
{ }

SANE_Status sane_get_devices(const SANE_Device*** list, SANE_Bool)
{
    Inside inside;
    int delay;
    {
        std::lock_guard<std::mutex> lock(g_m);
        delay = g_listDelayMs;
    }
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    *list = kList;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_open(SANE_String_Const name, SANE_Handle* handle)
{
    std::lock_guard<std::mutex> lock(g_m);
    g_opened = name ? name : "";
    g_cancelled = false;
    g_lineRead = 0;
    *handle = reinterpret_cast<SANE_Handle>(&g_mode);
    return SANE_STATUS_GOOD;
}

void sane_close(SANE_Handle)
{ }

SANE_Status sane_start(SANE_Handle)
{
    return SANE_STATUS_GOOD;
}

SANE_Status sane_get_parameters(SANE_Handle, SANE_Parameters* p)
{
    std::lock_guard<std::mutex> lock(g_m);
    p->format = SANE_FRAME_GRAY;
    p->last_frame = SANE_TRUE;
    p->pixels_per_line = kWidth;
    p->lines = kLines;
    p->depth = 8;
    // Misreported: fewer bytes per line than its pixels need.
    p->bytes_per_line = g_mode == ShortLines ? kWidth / 2 : kWidth;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_read(SANE_Handle, SANE_Byte* data, SANE_Int max, SANE_Int* length)
{
    Inside inside;
    *length = 0;
    std::unique_lock<std::mutex> lock(g_m);
    if (g_mode == ThrowingRead)
        throw std::bad_alloc();
    if (g_mode == BlockingCancel) {
        // Silent until cancelled.
        g_cv.wait(lock, [] { return g_cancelled; });
        return SANE_STATUS_CANCELLED;
    }
    const int total = kLines * (g_mode == ShortLines ? kWidth / 2 : kWidth);
    if (g_lineRead >= total)
        return SANE_STATUS_EOF;
    const int n = std::min<int>(max, total - g_lineRead);
    for (int i = 0; i < n; ++i)
        data[i] = static_cast<SANE_Byte>(40 * (g_lineRead + i));
    g_lineRead += n;
    *length = n;
    return SANE_STATUS_GOOD;
}

void sane_cancel(SANE_Handle)
{
    Inside inside;
    std::unique_lock<std::mutex> lock(g_m);
    g_cancelled = true;
    g_cv.notify_all();
    if (g_mode == BlockingCancel)
        g_cv.wait(lock, [] { return g_cancelReleased; });  // a network backend waiting for its device
}

SANE_String_Const sane_strstatus(SANE_Status status)
{
    switch (status) {
    case SANE_STATUS_GOOD: return "Success";
    case SANE_STATUS_CANCELLED: return "Operation was cancelled";
    case SANE_STATUS_EOF: return "End of file reached";
    default: return "Error";
    }
}

}  // extern "C"
