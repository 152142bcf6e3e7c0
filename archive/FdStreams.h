#pragma once

#include <gio/gio.h>

namespace archive::detail {

// Seekable GIO streams over a POSIX descriptor, which they do not own.
//
// The output stream buffers, checks that every write() wrote everything,
// and flushes and fsyncs on close, so a full disk is reported as an error
// instead of leaving a short file behind a success. observe, when given,
// sees the bytes in stream order until the first seek.
using WriteObserver = void (*)(void* context, const guint8* data, gsize size);
GOutputStream* newFdOutputStream(int fd, WriteObserver observe, void* context);

// The input stream reports its position after each read to the observer
// set last (none at first).
using ReadObserver = void (*)(void* context, gint64 position);
GInputStream* newFdInputStream(int fd);
void setInputObserver(GInputStream* stream, ReadObserver observe, void* context);

}  // namespace archive::detail
