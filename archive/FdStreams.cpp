#include "archive/FdStreams.h"

#include "archive/Cabinet.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// Plain GObject types; kept outside any namespace so that the GLib type
// macros expand as they do in C.

namespace {

constexpr gsize kOutputBuffer = 1 << 20;

// The message is the French reason, so that it reaches the user as it is.
void setErrno(GError** error, int code, const char*)
{
    g_set_error(error, G_IO_ERROR, g_io_error_from_errno(code), "%s", archive::ReasonOf(code).toUtf8().constData());
}

bool writeAll(int fd, const guint8* data, gsize size, GError** error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setErrno(error, errno, "write");
            return false;
        }
        if (n == 0) {
            setErrno(error, ENOSPC, "write");
            return false;
        }
        data += n;
        size -= static_cast<gsize>(n);
    }
    return true;
}

int whenceOf(GSeekType type)
{
    return type == G_SEEK_SET ? SEEK_SET : type == G_SEEK_CUR ? SEEK_CUR : SEEK_END;
}

}  // namespace

struct ArchiveFdOutput {
    GOutputStream parent;
    int fd;
    guint8* buffer;
    gsize used;
    gint64 position;  // logical position, buffer included
    bool rewound;
    archive::detail::WriteObserver observe;
    void* context;
};
struct ArchiveFdOutputClass {
    GOutputStreamClass parent_class;
};

static void archive_fd_output_seekable_init(GSeekableIface* iface);
G_DEFINE_TYPE_WITH_CODE(ArchiveFdOutput, archive_fd_output, G_TYPE_OUTPUT_STREAM,
                        G_IMPLEMENT_INTERFACE(G_TYPE_SEEKABLE, archive_fd_output_seekable_init))

static bool flushOutput(ArchiveFdOutput* self, GError** error)
{
    if (self->used == 0)
        return true;
    const bool ok = writeAll(self->fd, self->buffer, self->used, error);
    self->used = 0;
    return ok;
}

static gssize archive_fd_output_write(GOutputStream* stream, const void* data, gsize count, GCancellable*,
                                      GError** error)
{
    auto* self = reinterpret_cast<ArchiveFdOutput*>(stream);
    const auto* bytes = static_cast<const guint8*>(data);
    if (self->observe && !self->rewound)
        self->observe(self->context, bytes, count);
    if (count >= kOutputBuffer) {
        if (!flushOutput(self, error) || !writeAll(self->fd, bytes, count, error))
            return -1;
    } else {
        if (self->used + count > kOutputBuffer && !flushOutput(self, error))
            return -1;
        std::memcpy(self->buffer + self->used, bytes, count);
        self->used += count;
    }
    self->position += static_cast<gint64>(count);
    return static_cast<gssize>(count);
}

static gboolean archive_fd_output_flush(GOutputStream* stream, GCancellable*, GError** error)
{
    return flushOutput(reinterpret_cast<ArchiveFdOutput*>(stream), error);
}

static gboolean archive_fd_output_close(GOutputStream* stream, GCancellable*, GError** error)
{
    auto* self = reinterpret_cast<ArchiveFdOutput*>(stream);
    if (!flushOutput(self, error))
        return FALSE;
    if (::fsync(self->fd) != 0) {
        setErrno(error, errno, "fsync");
        return FALSE;
    }
    return TRUE;
}

static void archive_fd_output_finalize(GObject* object)
{
    std::free(reinterpret_cast<ArchiveFdOutput*>(object)->buffer);
    G_OBJECT_CLASS(archive_fd_output_parent_class)->finalize(object);
}

static goffset archive_fd_output_tell(GSeekable* seekable)
{
    return reinterpret_cast<ArchiveFdOutput*>(seekable)->position;
}

static gboolean archive_fd_output_can_seek(GSeekable*)
{
    return TRUE;
}

static gboolean archive_fd_output_seek(GSeekable* seekable, goffset offset, GSeekType type, GCancellable*,
                                       GError** error)
{
    auto* self = reinterpret_cast<ArchiveFdOutput*>(seekable);
    if (!flushOutput(self, error))
        return FALSE;
    const off_t at = ::lseek(self->fd, offset, whenceOf(type));
    if (at < 0) {
        setErrno(error, errno, "lseek");
        return FALSE;
    }
    self->position = at;
    self->rewound = true;
    return TRUE;
}

static gboolean archive_fd_can_truncate(GSeekable*)
{
    return FALSE;
}

static gboolean archive_fd_truncate(GSeekable*, goffset, GCancellable*, GError** error)
{
    g_set_error_literal(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED, "truncate");
    return FALSE;
}

static void archive_fd_output_seekable_init(GSeekableIface* iface)
{
    iface->tell = archive_fd_output_tell;
    iface->can_seek = archive_fd_output_can_seek;
    iface->seek = archive_fd_output_seek;
    iface->can_truncate = archive_fd_can_truncate;
    iface->truncate_fn = archive_fd_truncate;
}

static void archive_fd_output_class_init(ArchiveFdOutputClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = archive_fd_output_finalize;
    GOutputStreamClass* stream = G_OUTPUT_STREAM_CLASS(klass);
    stream->write_fn = archive_fd_output_write;
    stream->flush = archive_fd_output_flush;
    stream->close_fn = archive_fd_output_close;
}

static void archive_fd_output_init(ArchiveFdOutput* self)
{
    self->fd = -1;
    self->buffer = static_cast<guint8*>(std::malloc(kOutputBuffer));
    self->used = 0;
    self->position = 0;
    self->rewound = false;
    self->observe = nullptr;
    self->context = nullptr;
}

struct ArchiveFdInput {
    GInputStream parent;
    int fd;
    gint64 position;
    archive::detail::ReadObserver observe;
    void* context;
};
struct ArchiveFdInputClass {
    GInputStreamClass parent_class;
};

static void archive_fd_input_seekable_init(GSeekableIface* iface);
G_DEFINE_TYPE_WITH_CODE(ArchiveFdInput, archive_fd_input, G_TYPE_INPUT_STREAM,
                        G_IMPLEMENT_INTERFACE(G_TYPE_SEEKABLE, archive_fd_input_seekable_init))

static gssize archive_fd_input_read(GInputStream* stream, void* buffer, gsize count, GCancellable*, GError** error)
{
    auto* self = reinterpret_cast<ArchiveFdInput*>(stream);
    ssize_t n;
    do {
        n = ::read(self->fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        setErrno(error, errno, "read");
        return -1;
    }
    self->position += n;
    if (self->observe)
        self->observe(self->context, self->position);
    return n;
}

static gboolean archive_fd_input_close(GInputStream*, GCancellable*, GError**)
{
    return TRUE;
}

static goffset archive_fd_input_tell(GSeekable* seekable)
{
    return reinterpret_cast<ArchiveFdInput*>(seekable)->position;
}

static gboolean archive_fd_input_can_seek(GSeekable*)
{
    return TRUE;
}

static gboolean archive_fd_input_seek(GSeekable* seekable, goffset offset, GSeekType type, GCancellable*,
                                      GError** error)
{
    auto* self = reinterpret_cast<ArchiveFdInput*>(seekable);
    const off_t at = ::lseek(self->fd, offset, whenceOf(type));
    if (at < 0) {
        setErrno(error, errno, "lseek");
        return FALSE;
    }
    self->position = at;
    return TRUE;
}

static void archive_fd_input_seekable_init(GSeekableIface* iface)
{
    iface->tell = archive_fd_input_tell;
    iface->can_seek = archive_fd_input_can_seek;
    iface->seek = archive_fd_input_seek;
    iface->can_truncate = archive_fd_can_truncate;
    iface->truncate_fn = archive_fd_truncate;
}

static void archive_fd_input_class_init(ArchiveFdInputClass* klass)
{
    GInputStreamClass* stream = G_INPUT_STREAM_CLASS(klass);
    stream->read_fn = archive_fd_input_read;
    stream->close_fn = archive_fd_input_close;
}

static void archive_fd_input_init(ArchiveFdInput* self)
{
    self->fd = -1;
    self->position = 0;
    self->observe = nullptr;
    self->context = nullptr;
}

namespace archive::detail {

GOutputStream* newFdOutputStream(int fd, WriteObserver observe, void* context)
{
    auto* s = static_cast<ArchiveFdOutput*>(g_object_new(archive_fd_output_get_type(), nullptr));
    s->fd = fd;
    s->observe = observe;
    s->context = context;
    return G_OUTPUT_STREAM(s);
}

GInputStream* newFdInputStream(int fd)
{
    auto* s = static_cast<ArchiveFdInput*>(g_object_new(archive_fd_input_get_type(), nullptr));
    s->fd = fd;
    return G_INPUT_STREAM(s);
}

void setInputObserver(GInputStream* stream, ReadObserver observe, void* context)
{
    auto* s = reinterpret_cast<ArchiveFdInput*>(stream);
    s->observe = observe;
    s->context = context;
}

}  // namespace archive::detail
