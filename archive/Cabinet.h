#pragma once

#include "core/UserError.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <stdexcept>

namespace archive {

// A failure to write or read a cabinet, with a French message that names the
// file and carries the underlying reason.
class ArchiveError : public core::UserError {
public:
    using UserError::UserError;
};

struct Entry {
    QString name;
    qint64 size = 0;
};

// Where a long write or extraction stands: the entry being worked on and the
// bytes of the whole job done (uncompressed bytes when writing, cabinet bytes
// read when extracting). Reported at each entry's start and about every
// megabyte within an entry.
struct Progress {
    int entry = 0;
    qint64 done = 0;
    qint64 total = 0;
    int entries = 0;  // number of entries of the job
};
// Called from inside the cabinet library: an exception it throws is kept,
// the work stops as soon as it can and the exception is thrown again once
// the library has returned.
using ProgressFn = std::function<void(const Progress&)>;

// One cabinet folder holds at most 65535 data blocks of 32 KiB.
inline constexpr qint64 kMaxCabinetBytes = 65534LL * 32768;

// The reason of a failed system call (an errno value), in French for the
// failures a user can act on (full disk, rights, read-only disk).
QString ReasonOf(int error);

// The entry name when it is a plain file name: no directory part, not "." or
// "..", no control character; empty otherwise. Writer and reader both hold
// to it, so whatever is written can be read back.
QString SafeEntryName(const QString& name);

// A size for a message: kilobytes below one megabyte, megabytes above.
// Rounded up for what is needed, down for what is left.
QString SizeText(qint64 bytes, bool roundUp);

// Writes one MSZIP cabinet at path holding the files in the given order, each
// stored under its bare file name. path is written in place and flushed to
// disk; callers that replace a file write to a temporary name and rename.
// On failure the partial file is removed and ArchiveError thrown.
// A name that SafeEntryName refuses is refused here too.
void WriteCabinet(const QString& path, const QStringList& files, const ProgressFn& progress = {});
// The same, each file stored under the entry name at the same index.
void WriteCabinet(const QString& path, const QStringList& files, const QStringList& entryNames,
                  const ProgressFn& progress = {});

// Reads a cabinet: its entries at once, their contents on demand. Throws
// ArchiveError when the file is not a readable cabinet, is truncated, spans
// several cabinets or declares more data than its blocks can hold.
class CabinetReader {
public:
    explicit CabinetReader(const QString& path);
    ~CabinetReader();
    CabinetReader(const CabinetReader&) = delete;
    CabinetReader& operator=(const CabinetReader&) = delete;

    const QString& path() const { return m_path; }
    const QVector<Entry>& entries() const { return m_entries; }
    qint64 totalSize() const { return m_totalSize; }
    // The first entry whose name is not a safe one or repeats an earlier one
    // (with the reason); empty when every entry is fine.
    QString unsafeEntryReason() const;

    // Extracts every entry into targetDir, which must exist and hold none of
    // the entry names, each under its bare name; nothing is ever written
    // outside it. Refuses unsafe names and too little disk space before
    // writing, and checks every extracted size. On failure the files written
    // are removed and ArchiveError thrown.
    void extractAll(const QString& targetDir, const ProgressFn& progress = {});
    // The same for the entries given a name in names (one per entry, in
    // entry order): each is written under that name, which must be safe and
    // unique; an entry given an empty name is read past and never written.
    // The entries' own names are not checked, only the names written.
    void extract(const QString& targetDir, const QStringList& names, const ProgressFn& progress = {});

private:
    struct Impl;
    QString m_path;
    QVector<Entry> m_entries;
    qint64 m_totalSize = 0;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace archive
