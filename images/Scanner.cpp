#include "images/Scanner.h"

#include <sane/sane.h>

#include <QByteArray>
#include <QFile>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace images {

namespace {

using Clock = std::chrono::steady_clock;

struct SaneApi {
    SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
    void (*exit)() = nullptr;
    SANE_Status (*getDevices)(const SANE_Device***, SANE_Bool) = nullptr;
    SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
    void (*close)(SANE_Handle) = nullptr;
    SANE_Status (*start)(SANE_Handle) = nullptr;
    SANE_Status (*getParameters)(SANE_Handle, SANE_Parameters*) = nullptr;
    SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
    void (*cancel)(SANE_Handle) = nullptr;
    SANE_String_Const (*strstatus)(SANE_Status) = nullptr;
};

std::mutex g_libraryMutex;
QString g_libraryName = QStringLiteral("libsane.so.1");
QString g_loadedName;
SaneApi g_api;
bool g_loaded = false;
// Set while a worker runs SANE calls; SANE is not re-entrant.
std::atomic<bool> g_busy{false};

// Takes the library for one job; false while another job runs.
bool claim()
{
    bool expected = false;
    return g_busy.compare_exchange_strong(expected, true);
}

template <typename F> bool resolve(void* lib, const char* name, F& target)
{
    target = reinterpret_cast<F>(dlsym(lib, name));
    return target != nullptr;
}

// Loaded once and never unloaded: a worker abandoned after a time-out may
// still be inside the library.
const SaneApi* loadSane()
{
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    if (g_loaded && g_loadedName == g_libraryName)
        return &g_api;
    void* lib = dlopen(QFile::encodeName(g_libraryName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return nullptr;
    SaneApi api;
    const bool ok = resolve(lib, "sane_init", api.init) && resolve(lib, "sane_exit", api.exit)
        && resolve(lib, "sane_get_devices", api.getDevices) && resolve(lib, "sane_open", api.open)
        && resolve(lib, "sane_close", api.close) && resolve(lib, "sane_start", api.start)
        && resolve(lib, "sane_get_parameters", api.getParameters) && resolve(lib, "sane_read", api.read)
        && resolve(lib, "sane_cancel", api.cancel) && resolve(lib, "sane_strstatus", api.strstatus);
    if (!ok)
        return nullptr;
    g_api = api;
    g_loaded = true;
    g_loadedName = g_libraryName;
    return &g_api;
}

QString productName(const SANE_Device* d)
{
    const QString vendor = QString::fromUtf8(d->vendor ? d->vendor : "").trimmed();
    const QString model = QString::fromUtf8(d->model ? d->model : "").trimmed();
    return QString(vendor + QLatin1Char(' ') + model).trimmed();
}

// What a worker shares with the thread that waits for it.
struct Job {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    Clock::time_point lastSign = Clock::now();
    SANE_Handle handle = nullptr;  // open device, for an asynchronous cancel
    std::atomic<bool> stop{false};

    QStringList names;
    QImage image;
    QString error;
    bool cancelled = false;

    void sign()
    {
        std::lock_guard<std::mutex> lock(m);
        lastSign = Clock::now();
    }
    void finish()
    {
        // Free before the waiter learns of the end, so that it can start again at once.
        g_busy = false;
        {
            std::lock_guard<std::mutex> lock(m);
            done = true;
        }
        cv.notify_all();
    }
};

QString statusText(const SaneApi& api, SANE_Status s)
{
    return QString::fromUtf8(api.strstatus(s));
}

// Assembles the frames SANE sends into one picture.
class FrameAssembler {
public:
    bool add(const SANE_Parameters& p, const QByteArray& data, QString* error)
    {
        if (p.depth != 1 && p.depth != 8 && p.depth != 16) {
            *error = QStringLiteral("profondeur de %1 bits non prise en charge").arg(p.depth);
            return false;
        }
        const int width = p.pixels_per_line;
        const int bpl = p.bytes_per_line;
        if (width <= 0 || bpl <= 0) {
            *error = QStringLiteral("le scanner n'a envoyé aucune ligne");
            return false;
        }
        const int lines = static_cast<int>(data.size() / bpl);
        if (lines <= 0) {
            *error = QStringLiteral("le scanner n'a envoyé aucune ligne");
            return false;
        }
        if (m_image.isNull()) {
            const bool grey = p.format == SANE_FRAME_GRAY;
            m_image = QImage(width, lines, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
            if (m_image.isNull()) {
                *error = QStringLiteral("mémoire insuffisante pour l'image");
                return false;
            }
            m_image.fill(0);
        }
        const int h = qMin(lines, m_image.height());
        const int w = qMin(width, m_image.width());
        const auto* src = reinterpret_cast<const uchar*>(data.constData());
        for (int y = 0; y < h; ++y) {
            const uchar* row = src + static_cast<qsizetype>(y) * bpl;
            uchar* out = m_image.scanLine(y);
            for (int x = 0; x < w; ++x) {
                switch (p.format) {
                case SANE_FRAME_GRAY: out[x] = sample(row, x, p.depth); break;
                case SANE_FRAME_RGB:
                    for (int c = 0; c < 3; ++c)
                        out[x * 3 + c] = sample(row, x * 3 + c, p.depth);
                    break;
                case SANE_FRAME_RED:
                case SANE_FRAME_GREEN:
                case SANE_FRAME_BLUE: out[x * 3 + (p.format - SANE_FRAME_RED)] = sample(row, x, p.depth); break;
                }
            }
        }
        return true;
    }
    QImage image() const { return m_image; }

private:
    static uchar sample(const uchar* row, int index, int depth)
    {
        if (depth == 8)
            return row[index];
        if (depth == 16) {
            quint16 v;
            std::memcpy(&v, row + index * 2, 2);
            return static_cast<uchar>(v >> 8);
        }
        // 1 bit: set means black.
        return (row[index / 8] & (0x80 >> (index % 8))) ? 0 : 255;
    }
    QImage m_image;
};

void listWork(const SaneApi& api, Job& job)
{
    SANE_Int version = 0;
    if (api.init(&version, nullptr) != SANE_STATUS_GOOD)
        return;
    job.sign();
    const SANE_Device** devices = nullptr;
    if (api.getDevices(&devices, SANE_FALSE) == SANE_STATUS_GOOD && devices) {
        for (int i = 0; devices[i]; ++i)
            job.names.append(productName(devices[i]));
    }
    api.exit();
}

void scanWork(const SaneApi& api, Job& job, const QString& source)
{
    SANE_Int version = 0;
    SANE_Status s = api.init(&version, nullptr);
    if (s != SANE_STATUS_GOOD) {
        job.error = QStringLiteral("Le scanner n'a pas pu être initialisé : %1.").arg(statusText(api, s));
        return;
    }
    job.sign();
    const SANE_Device** devices = nullptr;
    QByteArray deviceName;
    if (api.getDevices(&devices, SANE_FALSE) == SANE_STATUS_GOOD && devices && devices[0]) {
        deviceName = devices[0]->name;
        for (int i = 0; devices[i]; ++i) {
            if (productName(devices[i]).compare(source, Qt::CaseInsensitive) == 0) {
                deviceName = devices[i]->name;
                break;
            }
        }
    }
    job.sign();
    if (deviceName.isNull()) {
        job.error = QStringLiteral("Aucun scanner n'a été trouvé.");
        api.exit();
        return;
    }
    SANE_Handle handle = nullptr;
    s = api.open(deviceName.constData(), &handle);
    if (s != SANE_STATUS_GOOD) {
        job.error = QStringLiteral("Le scanner n'a pas pu être ouvert : %1.").arg(statusText(api, s));
        api.exit();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(job.m);
        job.handle = handle;
        job.lastSign = Clock::now();
    }
    FrameAssembler frames;
    QString error;
    for (bool last = false; !last && error.isEmpty() && !job.stop;) {
        s = api.start(handle);
        job.sign();
        if (s == SANE_STATUS_CANCELLED) {
            job.cancelled = true;
            break;
        }
        SANE_Parameters p{};
        if (s == SANE_STATUS_GOOD)
            s = api.getParameters(handle, &p);
        if (s != SANE_STATUS_GOOD) {
            error = statusText(api, s);
            break;
        }
        last = p.last_frame;
        QByteArray data;
        if (p.lines > 0 && p.bytes_per_line > 0)
            data.reserve(static_cast<qsizetype>(p.lines) * p.bytes_per_line);
        SANE_Byte buffer[65536];
        for (;;) {
            SANE_Int got = 0;
            s = api.read(handle, buffer, sizeof buffer, &got);
            job.sign();
            if (s == SANE_STATUS_EOF)
                break;
            if (s == SANE_STATUS_CANCELLED) {
                job.cancelled = true;
                break;
            }
            if (s != SANE_STATUS_GOOD) {
                error = statusText(api, s);
                break;
            }
            data.append(reinterpret_cast<const char*>(buffer), got);
        }
        if (job.cancelled || !error.isEmpty())
            break;
        if (!frames.add(p, data, &error))
            break;
    }
    {
        std::lock_guard<std::mutex> lock(job.m);
        job.handle = nullptr;
    }
    api.cancel(handle);
    api.close(handle);
    api.exit();
    if (job.stop)
        job.cancelled = true;
    if (!job.cancelled && !error.isEmpty())
        job.error = QStringLiteral("La numérisation a échoué : %1.").arg(error);
    else if (!job.cancelled)
        job.image = frames.image();
}

// Runs work on a worker and waits until it ends or shows no sign of life for
// stallMs; then asks the device to stop and waits a little longer.
std::shared_ptr<Job> runJob(const std::function<void(Job&)>& work, int stallMs, const std::function<void()>& pump,
                            const std::function<bool()>& cancelRequested, bool* timedOut)
{
    *timedOut = false;
    auto job = std::make_shared<Job>();
    std::thread([job, work] {
        work(*job);
        job->finish();
    }).detach();
    bool stopAsked = false;
    Clock::time_point stopTime;
    std::unique_lock<std::mutex> lock(job->m);
    while (!job->done) {
        job->cv.wait_for(lock, std::chrono::milliseconds(pump ? 30 : 100));
        if (job->done)
            break;
        lock.unlock();
        if (pump)
            pump();
        const bool userStop = !stopAsked && cancelRequested && cancelRequested();
        lock.lock();
        if (job->done)
            break;
        const auto now = Clock::now();
        if (!stopAsked && (userStop || now - job->lastSign > std::chrono::milliseconds(stallMs))) {
            stopAsked = true;
            stopTime = now;
            *timedOut = !userStop;
            job->stop = true;
            // sane_cancel may be called while another call of the device runs.
            if (job->handle)
                g_api.cancel(job->handle);
        }
        if (stopAsked && now - stopTime > std::chrono::milliseconds(qMin(stallMs, 2000)))
            return job;  // abandoned: the worker ends on its own, if ever
    }
    return job;
}

}  // namespace

void SetScannerLibrary(const QString& fileName)
{
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    g_libraryName = fileName;
}

QStringList ListScannerSources(int timeoutMs, const std::function<void()>& pump)
{
    const SaneApi* api = loadSane();
    if (!api || !claim())
        return {};
    bool timedOut = false;
    const auto job = runJob([api](Job& j) { listWork(*api, j); }, timeoutMs, pump, {}, &timedOut);
    std::lock_guard<std::mutex> lock(job->m);
    if (!job->done)
        return {};
    return job->names;
}

bool ScannerAvailable(const std::function<void()>& pump)
{
    const QStringList names = ListScannerSources(8000, pump);
    return !names.isEmpty() && !(names.size() == 1 && names.first().isEmpty());
}

ScanResult AcquireImage(const ScanRequest& request)
{
    ScanResult result;
    const SaneApi* api = loadSane();
    if (!api) {
        result.libraryMissing = true;
        return result;
    }
    if (!claim()) {
        result.error = QStringLiteral("Le scanner ne répond plus : réessayez dans quelques instants.");
        return result;
    }
    bool timedOut = false;
    const QString source = request.source;
    const auto job = runJob([api, source](Job& j) { scanWork(*api, j, source); }, qMax(100, request.stallMs),
                            request.pump, request.cancelRequested, &timedOut);
    std::lock_guard<std::mutex> lock(job->m);
    if (timedOut) {
        result.error = QStringLiteral("Le scanner ne répond pas : la numérisation est abandonnée.");
        return result;
    }
    if (!job->done) {
        result.cancelled = true;
        return result;
    }
    result.image = job->image;
    result.cancelled = job->cancelled;
    result.error = job->error;
    return result;
}

}  // namespace images
