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
#include <optional>
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
// still be inside the library. Each job keeps its own copy of the entry
// points, so a later change of library leaves it on the one it began with.
std::optional<SaneApi> loadSane()
{
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    if (g_loaded && g_loadedName == g_libraryName)
        return g_api;
    void* lib = dlopen(QFile::encodeName(g_libraryName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return std::nullopt;
    SaneApi api;
    const bool ok = resolve(lib, "sane_init", api.init) && resolve(lib, "sane_exit", api.exit)
        && resolve(lib, "sane_get_devices", api.getDevices) && resolve(lib, "sane_open", api.open)
        && resolve(lib, "sane_close", api.close) && resolve(lib, "sane_start", api.start)
        && resolve(lib, "sane_get_parameters", api.getParameters) && resolve(lib, "sane_read", api.read)
        && resolve(lib, "sane_cancel", api.cancel) && resolve(lib, "sane_strstatus", api.strstatus);
    if (!ok)
        return std::nullopt;
    g_api = api;
    g_loaded = true;
    g_loadedName = g_libraryName;
    return g_api;
}

QString productName(const SANE_Device* d)
{
    const QString vendor = QString::fromUtf8(d->vendor ? d->vendor : "").trimmed();
    const QString model = QString::fromUtf8(d->model ? d->model : "").trimmed();
    return QString(vendor + QLatin1Char(' ') + model).trimmed();
}

// The source names of the devices, in SANE's order: the product name, with
// the device's own name after it when another device has the same product.
QStringList sourceLabels(const SANE_Device** devices)
{
    QStringList products;
    for (int i = 0; devices && devices[i]; ++i)
        products.append(productName(devices[i]));
    QStringList labels;
    for (int i = 0; i < products.size(); ++i) {
        if (products.count(products.at(i)) > 1)
            labels.append(products.at(i) + QStringLiteral(" (")
                          + QString::fromUtf8(devices[i]->name ? devices[i]->name : "") + QLatin1Char(')'));
        else
            labels.append(products.at(i));
    }
    return labels;
}

// What a worker shares with the thread that waits for it.
struct Job {
    SaneApi api;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    Clock::time_point lastSign = Clock::now();
    SANE_Handle handle = nullptr;  // open device, for an asynchronous cancel
    bool cancelling = false;       // a helper thread is inside sane_cancel(handle)
    bool cancelSent = false;
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
        const int channels = p.format == SANE_FRAME_RGB ? 3 : 1;
        if (static_cast<qint64>(bpl) * 8 < static_cast<qint64>(width) * channels * p.depth) {
            *error = QStringLiteral("le scanner annonce des lignes de %1 octets pour %2 pixels").arg(bpl).arg(width);
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
    if (api.getDevices(&devices, SANE_FALSE) == SANE_STATUS_GOOD && devices)
        job.names = sourceLabels(devices);
    api.exit();
}

void readFrames(const SaneApi& api, Job& job, SANE_Handle handle, FrameAssembler& frames, QString* error);

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
        // The source's full name first, then a bare product name (the first
        // device of that product), else the first device.
        const QStringList labels = sourceLabels(devices);
        qsizetype chosen = -1;
        for (qsizetype i = 0; i < labels.size() && chosen < 0; ++i)
            if (labels.at(i).compare(source, Qt::CaseInsensitive) == 0)
                chosen = i;
        for (qsizetype i = 0; i < labels.size() && chosen < 0; ++i)
            if (productName(devices[i]).compare(source, Qt::CaseInsensitive) == 0)
                chosen = i;
        deviceName = devices[qMax<qsizetype>(chosen, 0)]->name;
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
    try {
        readFrames(api, job, handle, frames, &error);
    } catch (const std::bad_alloc&) {
        error = QStringLiteral("mémoire insuffisante pour l'image");
    } catch (...) {
        error = QStringLiteral("erreur inattendue du pilote du scanner");
    }
    {
        // A cancel still running on its helper thread must end before the
        // handle goes.
        std::unique_lock<std::mutex> lock(job.m);
        job.handle = nullptr;
        job.cv.wait(lock, [&job] { return !job.cancelling; });
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

void readFrames(const SaneApi& api, Job& job, SANE_Handle handle, FrameAssembler& frames, QString* errorOut)
{
    QString& error = *errorOut;
    SANE_Status s = SANE_STATUS_GOOD;
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
        // A misreported size must not reserve gigabytes before any byte comes.
        constexpr qsizetype kMaxReserve = qsizetype(256) << 20;
        if (p.lines > 0 && p.bytes_per_line > 0)
            data.reserve(qMin(static_cast<qsizetype>(p.lines) * p.bytes_per_line, kMaxReserve));
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
}

// sane_cancel may be called while another call of the device runs, but a
// network backend may block in it: it runs on a helper thread of its own,
// without the job's lock, and the worker waits for it before closing.
void cancelOnHelper(const std::shared_ptr<Job>& job)
{
    // Called with the job's lock held.
    if (!job->handle || job->cancelSent)
        return;
    job->cancelSent = true;
    job->cancelling = true;
    SANE_Handle handle = job->handle;
    std::thread([job, handle] {
        job->api.cancel(handle);
        {
            std::lock_guard<std::mutex> lock(job->m);
            job->cancelling = false;
        }
        job->cv.notify_all();
    }).detach();
}

// Runs work on a worker and waits until it ends or shows no sign of life for
// stallMs; then asks the device to stop and waits a little longer.
std::shared_ptr<Job> runJob(const SaneApi& api, const std::function<void(const SaneApi&, Job&)>& work, int stallMs,
                            const std::function<void()>& pump, const std::function<bool()>& cancelRequested,
                            bool* timedOut)
{
    *timedOut = false;
    auto job = std::make_shared<Job>();
    job->api = api;
    std::thread([job, work] {
        try {
            work(job->api, *job);
        } catch (...) {
            // Whatever escapes the work ends the job with a message, never the program.
            job->error = QStringLiteral("Le scanner a rencontré une erreur inattendue.");
        }
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
            cancelOnHelper(job);
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

QStringList ListScannerSources(int timeoutMs)
{
    const std::optional<SaneApi> api = loadSane();
    if (!api || !claim())
        return {};
    bool timedOut = false;
    const auto job = runJob(*api, listWork, timeoutMs, {}, {}, &timedOut);
    std::lock_guard<std::mutex> lock(job->m);
    if (!job->done)
        return {};
    return job->names;
}

bool SourcesUsable(const QStringList& names)
{
    return !names.isEmpty() && !(names.size() == 1 && names.first().isEmpty());
}

bool ScannerAvailable()
{
    return SourcesUsable(ListScannerSources());
}

struct SourceProbe::State {
    mutable std::mutex m;
    bool ready = false;
    QStringList sources;
};

std::shared_ptr<const SourceProbe> SourceProbe::start(int timeoutMs)
{
    auto probe = std::make_shared<SourceProbe>();
    probe->m_state = std::make_shared<State>();
    std::thread([state = probe->m_state, timeoutMs] {
        QStringList sources;
        try {
            sources = ListScannerSources(timeoutMs);
        } catch (...) {
            // No source then, as when the library is missing.
        }
        std::lock_guard<std::mutex> lock(state->m);
        state->sources = sources;
        state->ready = true;
    }).detach();
    return probe;
}

bool SourceProbe::ready() const
{
    std::lock_guard<std::mutex> lock(m_state->m);
    return m_state->ready;
}

QStringList SourceProbe::sources() const
{
    std::lock_guard<std::mutex> lock(m_state->m);
    return m_state->sources;
}

ScanResult AcquireImage(const ScanRequest& request)
{
    ScanResult result;
    const std::optional<SaneApi> api = loadSane();
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
    const auto job = runJob(
        *api, [source](const SaneApi& a, Job& j) { scanWork(a, j, source); }, qMax(100, request.stallMs), request.pump,
        request.cancelRequested, &timedOut);
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
