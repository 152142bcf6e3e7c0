#include "archive/Cabinet.h"

#include "archive/FdStreams.h"
#include "core/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>

#include <libgcab.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace archive {

namespace {

constexpr qint64 kBlockSize = 32768;
constexpr qint64 kReportStep = 1 << 20;

QString reasonOf(int code)
{
    return ReasonOf(code);
}

QString reasonOf(const GError* error)
{
    if (!error)
        return QStringLiteral("erreur inconnue");
    if (error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_NO_SPACE: return reasonOf(ENOSPC);
        case G_IO_ERROR_PERMISSION_DENIED: return reasonOf(EACCES);
        case G_IO_ERROR_NOT_FOUND: return reasonOf(ENOENT);
        case G_IO_ERROR_READ_ONLY: return reasonOf(EROFS);
        default: break;
        }
    }
    return QString::fromUtf8(error->message);
}

struct GErrorHolder {
    GError* error = nullptr;
    ~GErrorHolder()
    {
        if (error)
            g_error_free(error);
    }
};

template <typename T> struct GRef {
    T* p = nullptr;
    explicit GRef(T* object = nullptr) : p(object) { }
    ~GRef()
    {
        if (p)
            g_object_unref(p);
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
};

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

quint16 le16(const uchar* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 le32(const uchar* p)
{
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) | (static_cast<quint32>(p[2]) << 16)
        | (static_cast<quint32>(p[3]) << 24);
}

// Follows the cabinet as libgcab writes it: zero bytes up to the first data
// block, then blocks of an 8-byte header (checksum, compressed size,
// uncompressed size) and the compressed bytes. The uncompressed sizes tell
// how far the input has been read.
// Keeps the first exception of a callback run from inside libgcab, which
// must not unwind through its C frames.
struct CallbackGuard {
    std::exception_ptr failure;
    template <typename F> void run(F&& f)
    {
        if (failure)
            return;
        try {
            f();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    void rethrow()
    {
        if (failure)
            std::rethrow_exception(std::exchange(failure, nullptr));
    }
};

struct WriteState {
    const ProgressFn* progress = nullptr;
    CallbackGuard guard;
    int entries = 0;
    QVector<qint64> starts;  // uncompressed offset of each entry
    qint64 total = 0;
    qint64 skip = 0;  // bytes before the first block
    uchar header[8] = {};
    int headerUsed = 0;
    qint64 dataLeft = 0;
    qint64 done = 0;
    qint64 reported = -kReportStep;
    int entry = 0;

    void report(bool force)
    {
        if (!*progress || (!force && done - reported < kReportStep))
            return;
        reported = done;
        guard.run([this] { (*progress)(Progress{entry, done, total, entries}); });
    }

    void consume(const guint8* data, gsize size)
    {
        while (size > 0) {
            if (skip > 0) {
                const qint64 n = qMin<qint64>(skip, static_cast<qint64>(size));
                skip -= n;
                data += n;
                size -= static_cast<gsize>(n);
            } else if (dataLeft > 0) {
                const qint64 n = qMin<qint64>(dataLeft, static_cast<qint64>(size));
                dataLeft -= n;
                data += n;
                size -= static_cast<gsize>(n);
            } else {
                header[headerUsed++] = *data++;
                --size;
                if (headerUsed == 8) {
                    headerUsed = 0;
                    dataLeft = le16(header + 4);
                    done += le16(header + 6);
                    report(false);
                }
            }
        }
    }
};

void observeWrite(void* context, const guint8* data, gsize size)
{
    static_cast<WriteState*>(context)->consume(data, size);
}

gboolean writeFileStarted(GCabFile* file, gpointer context)
{
    auto* state = static_cast<WriteState*>(context);
    const auto* index = static_cast<int*>(g_object_get_data(G_OBJECT(file), "archive-index"));
    if (index) {
        state->entry = *index;
        state->report(true);
    }
    return TRUE;
}

}  // namespace

QString ReasonOf(int error)
{
    return core::SystemErrorText(error);
}

QString SafeEntryName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return {};
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F
            || c == QChar::ReplacementCharacter)
            return {};
    }
    return name;
}

QString SizeText(qint64 bytes, bool roundUp)
{
    constexpr qint64 kKilo = 1024, kMega = 1024 * 1024;
    if (bytes < kMega) {
        const qint64 k = roundUp ? (bytes + kKilo - 1) / kKilo : bytes / kKilo;
        return QStringLiteral("%1 Ko").arg(k);
    }
    const qint64 m = roundUp ? (bytes + kMega - 1) / kMega : bytes / kMega;
    return QStringLiteral("%1 Mo").arg(m);
}

void WriteCabinet(const QString& path, const QStringList& files, const ProgressFn& progress)
{
    QStringList names;
    names.reserve(files.size());
    for (const QString& f : files)
        names << QFileInfo(f).fileName();
    WriteCabinet(path, files, names, progress);
}

void WriteCabinet(const QString& path, const QStringList& files, const QStringList& entryNames,
                  const ProgressFn& progress)
{
    const auto fail = [&path](const QString& reason) {
        return ArchiveError(QStringLiteral("L'archive « %1 » n'a pas pu être écrite : %2.").arg(path, reason));
    };
    if (files.isEmpty())
        throw fail(QStringLiteral("aucun fichier à archiver"));

    if (entryNames.size() != files.size())
        throw fail(QStringLiteral("liste des noms incohérente"));
    WriteState state;
    state.progress = &progress;
    state.entries = static_cast<int>(files.size());
    GRef<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
    QSet<QString> names;
    std::vector<std::unique_ptr<int>> indexes;
    qint64 headerBytes = 36 + 8;
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo info(files.at(i));
        const QString name = entryNames.at(i);
        if (SafeEntryName(name).isEmpty())
            throw fail(QStringLiteral("le nom « %1 » n'est pas un simple nom de fichier").arg(name));
        if (names.contains(name))
            throw fail(QStringLiteral("le nom « %1 » figure deux fois").arg(name));
        names.insert(name);
        if (!info.isFile())
            throw fail(QStringLiteral("« %1 » : %2").arg(files.at(i), reasonOf(ENOENT)));
        state.starts.append(state.total);
        state.total += info.size();
        if (state.total > kMaxCabinetBytes)
            throw fail(QStringLiteral("l'ensemble des fichiers dépasse %1 Mo, la taille maximale d'une archive")
                           .arg(kMaxCabinetBytes >> 20));
        const QByteArray utf8 = name.toUtf8();
        headerBytes += 16 + utf8.size() + 1;
        GRef<GFile> source(g_file_new_for_path(QFile::encodeName(info.absoluteFilePath()).constData()));
        GRef<GCabFile> entry(gcab_file_new_with_file(utf8.constData(), source.p));
        indexes.push_back(std::make_unique<int>(i));
        g_object_set_data(G_OBJECT(entry.p), "archive-index", indexes.back().get());
        GErrorHolder e;
        if (!gcab_folder_add_file(folder.p, entry.p, FALSE, nullptr, &e.error))
            throw fail(QStringLiteral("« %1 » : %2").arg(files.at(i), reasonOf(e.error)));
    }
    state.skip = headerBytes;

    Fd out;
    out.fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out.fd < 0)
        throw fail(reasonOf(errno));
    try {
        GRef<GCabCabinet> cabinet(gcab_cabinet_new());
        GErrorHolder e;
        if (!gcab_cabinet_add_folder(cabinet.p, folder.p, &e.error))
            throw fail(reasonOf(e.error));
        GRef<GOutputStream> stream(detail::newFdOutputStream(out.fd, observeWrite, &state));
        const bool written =
            gcab_cabinet_write(cabinet.p, stream.p, writeFileStarted, nullptr, &state, nullptr, &e.error);
        state.guard.rethrow();
        if (!written)
            throw fail(reasonOf(e.error));
        if (!g_output_stream_close(stream.p, nullptr, &e.error))
            throw fail(reasonOf(e.error));
        const int fd = out.fd;
        out.fd = -1;
        if (::close(fd) != 0)
            throw fail(reasonOf(errno));
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    state.done = state.total;
    state.report(true);
    state.guard.rethrow();
}

struct CabinetReader::Impl {
    Fd fd;
    GInputStream* stream = nullptr;
    GCabCabinet* cabinet = nullptr;
    QVector<GCabFile*> files;  // borrowed from the cabinet, in entry order
    QHash<GCabFile*, int> indexOf;
    qint64 fileSize = 0;

    ~Impl()
    {
        if (cabinet)
            g_object_unref(cabinet);
        if (stream)
            g_object_unref(stream);
    }
};

namespace {

struct ExtractState {
    const QHash<GCabFile*, int>* indexOf = nullptr;
    const ProgressFn* progress = nullptr;
    CallbackGuard guard;
    int entries = 0;
    QVector<QByteArray> names;
    int entry = 0;
    qint64 position = 0;
    qint64 reported = -kReportStep;
    qint64 total = 0;

    void report(bool force)
    {
        if (!*progress || (!force && position - reported < kReportStep))
            return;
        reported = position;
        guard.run([this] { (*progress)(Progress{entry, qMin(position, total), total, entries}); });
    }
};

void observeRead(void* context, gint64 position)
{
    auto* state = static_cast<ExtractState*>(context);
    state->position = position;
    state->report(false);
}

gboolean extractFileStarted(GCabFile* file, gpointer context)
{
    auto* state = static_cast<ExtractState*>(context);
    const int index = state->indexOf->value(file, -1);
    if (index < 0 || state->names.at(index).isEmpty())
        return FALSE;
    gcab_file_set_extract_name(file, state->names.at(index).constData());
    state->entry = index;
    state->report(true);
    return state->guard.failure ? FALSE : TRUE;
}

// Reads the cabinet header and folder table, which libgcab does not expose,
// to refuse truncated and spanned cabinets and bound the declared sizes.
QVector<qint64> folderCapacities(int fd, qint64 fileSize, const QString& path)
{
    const auto bad = [&path](const QString& reason) {
        return ArchiveError(QStringLiteral("L'archive « %1 » est illisible : %2.").arg(path, reason));
    };
    uchar head[40] = {};
    if (::pread(fd, head, sizeof head, 0) < 36 || std::memcmp(head, "MSCF", 4) != 0)
        throw bad(QStringLiteral("ce n'est pas une archive cabinet"));
    const quint32 declared = le32(head + 8);
    if (declared > fileSize)
        throw bad(QStringLiteral("le fichier est tronqué (%1 octets sur %2)").arg(fileSize).arg(declared));
    const quint16 flags = le16(head + 30);
    if (flags & 0x0003)
        throw bad(QStringLiteral("l'archive s'étend sur plusieurs fichiers"));
    qint64 at = 36;
    int folderReserve = 0;
    if (flags & 0x0004) {
        folderReserve = head[38];
        at += 4 + le16(head + 36);
    }
    QVector<qint64> capacities;
    for (int i = 0, n = le16(head + 26); i < n; ++i) {
        uchar folder[8];
        if (::pread(fd, folder, sizeof folder, at) != static_cast<ssize_t>(sizeof folder))
            throw bad(QStringLiteral("le fichier est tronqué"));
        capacities.append(static_cast<qint64>(le16(folder + 4)) * kBlockSize);
        at += 8 + folderReserve;
    }
    return capacities;
}

}  // namespace

CabinetReader::CabinetReader(const QString& path) : m_path(path), m_impl(std::make_unique<Impl>())
{
    const auto bad = [&path](const QString& reason) {
        return ArchiveError(QStringLiteral("L'archive « %1 » est illisible : %2.").arg(path, reason));
    };
    m_impl->fd.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_impl->fd.fd < 0)
        throw bad(reasonOf(errno));
    struct stat st { };
    if (::fstat(m_impl->fd.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw bad(QStringLiteral("ce n'est pas un fichier"));
    m_impl->fileSize = st.st_size;
    const QVector<qint64> capacities = folderCapacities(m_impl->fd.fd, st.st_size, path);

    m_impl->stream = detail::newFdInputStream(m_impl->fd.fd);
    m_impl->cabinet = gcab_cabinet_new();
    GErrorHolder e;
    if (!gcab_cabinet_load(m_impl->cabinet, m_impl->stream, nullptr, &e.error))
        throw bad(reasonOf(e.error));
    GPtrArray* folders = gcab_cabinet_get_folders(m_impl->cabinet);
    if (static_cast<qsizetype>(folders->len) != capacities.size())
        throw bad(QStringLiteral("table des dossiers incohérente"));
    for (guint f = 0; f < folders->len; ++f) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, f));
        const int comp = gcab_folder_get_comptype(folder) & GCAB_COMPRESSION_MASK;
        if (comp != GCAB_COMPRESSION_NONE && comp != GCAB_COMPRESSION_MSZIP)
            throw bad(QStringLiteral("méthode de compression non prise en charge"));
        GSList* list = gcab_folder_get_files(folder);
        qint64 inFolder = 0;
        for (GSList* l = list; l; l = l->next) {
            auto* file = static_cast<GCabFile*>(l->data);
            const qint64 size = gcab_file_get_size(file);
            inFolder += size;
            m_impl->indexOf.insert(file, static_cast<int>(m_impl->files.size()));
            m_impl->files.append(file);
            m_entries.append(Entry{QString::fromUtf8(gcab_file_get_name(file)), size});
        }
        g_slist_free(list);
        if (inFolder > capacities.at(static_cast<qsizetype>(f))) {
            throw bad(
                QStringLiteral("les tailles annoncées (%1 octets) dépassent le contenu de l'archive").arg(inFolder));
        }
        m_totalSize += inFolder;
    }
}

CabinetReader::~CabinetReader() = default;

QString CabinetReader::unsafeEntryReason() const
{
    QSet<QString> seen;
    for (const Entry& e : m_entries) {
        if (SafeEntryName(e.name).isEmpty())
            return QStringLiteral("le nom « %1 » n'est pas un simple nom de fichier").arg(e.name);
        if (seen.contains(e.name))
            return QStringLiteral("le nom « %1 » figure deux fois").arg(e.name);
        seen.insert(e.name);
    }
    return {};
}

void CabinetReader::extractAll(const QString& targetDir, const ProgressFn& progress)
{
    const QString reason = unsafeEntryReason();
    if (!reason.isEmpty())
        throw ArchiveError(QStringLiteral("L'archive « %1 » n'a pas pu être décompressée : %2.").arg(m_path, reason));
    QStringList names;
    for (const Entry& e : m_entries)
        names << e.name;
    extract(targetDir, names, progress);
}

void CabinetReader::extract(const QString& targetDir, const QStringList& names, const ProgressFn& progress)
{
    const auto fail = [this](const QString& reason) {
        return ArchiveError(QStringLiteral("L'archive « %1 » n'a pas pu être décompressée : %2.").arg(m_path, reason));
    };
    if (names.size() != m_entries.size())
        throw fail(QStringLiteral("liste des noms incohérente"));
    QSet<QString> seen;
    qint64 wanted = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        if (name.isEmpty())
            continue;
        if (SafeEntryName(name).isEmpty())
            throw fail(QStringLiteral("le nom « %1 » n'est pas un simple nom de fichier").arg(name));
        if (seen.contains(name))
            throw fail(QStringLiteral("le nom « %1 » figure deux fois").arg(name));
        seen.insert(name);
        wanted += m_entries.at(i).size;
    }
    const QString dir = QDir(targetDir).absolutePath() + QLatin1Char('/');
    if (!QFileInfo(dir).isDir())
        throw fail(QStringLiteral("le dossier « %1 » n'existe pas").arg(dir));
    for (const QString& name : names) {
        const QFileInfo there(dir + name);
        if (!name.isEmpty() && (there.exists() || there.isSymLink()))
            throw fail(QStringLiteral("« %1 » existe déjà dans « %2 »").arg(name, dir));
    }
    const QStorageInfo storage(dir);
    if (storage.isValid() && storage.bytesAvailable() < wanted) {
        throw fail(QStringLiteral("il faut %1 libres sur le disque, il en reste %2")
                       .arg(SizeText(wanted, true), SizeText(storage.bytesAvailable(), false)));
    }

    ExtractState state;
    state.indexOf = &m_impl->indexOf;
    state.progress = &progress;
    state.total = m_impl->fileSize;
    state.entries = static_cast<int>(m_entries.size());
    for (const QString& name : names)
        state.names.append(name.toUtf8());
    const auto removeWritten = [&] {
        for (const QString& name : names) {
            if (!name.isEmpty())
                QFile::remove(dir + name);
        }
    };
    GRef<GFile> target(g_file_new_for_path(QFile::encodeName(dir).constData()));
    GErrorHolder e;
    detail::setInputObserver(m_impl->stream, observeRead, &state);
    const bool ok =
        gcab_cabinet_extract(m_impl->cabinet, target.p, extractFileStarted, nullptr, &state, nullptr, &e.error);
    detail::setInputObserver(m_impl->stream, nullptr, nullptr);
    if (state.guard.failure) {
        removeWritten();
        state.guard.rethrow();
    }
    if (!ok) {
        removeWritten();
        throw fail(reasonOf(e.error));
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).isEmpty())
            continue;
        const QFileInfo written(dir + names.at(i));
        if (!written.isFile() || written.size() != m_entries.at(i).size) {
            removeWritten();
            throw fail(QStringLiteral("« %1 » est incomplet").arg(names.at(i)));
        }
    }
    state.position = state.total;
    state.report(true);
    state.guard.rethrow();
}

}  // namespace archive
