#pragma once

#include <QString>

#include <sys/types.h>

// File moves that keep data safe across a crash or a full disk. Each throws
// MaintenanceError with a French message naming the file.
namespace maintenance::files {

// The reason of a failed system call, in French for the usual ones.
QString reasonOf(int error);

// Flushes a directory's entries (after renames in it).
void syncDirectory(const QString& dir);
// Flushes every file of the filesystem holding path.
void syncFileSystem(const QString& path);

// Writes a new file with data and flushes it; refuses a short write.
void writeNewFile(const QString& path, const QByteArray& data);
// Copies a file to a new path and flushes the copy.
void copyFile(const QString& from, const QString& to);
// Renames; across filesystems copies beside the target and renames there.
// The target, when it exists, is replaced only by a complete file.
void moveFile(const QString& from, const QString& to);
// Hard-links, or copies when a link is not possible.
void linkOrCopy(const QString& from, const QString& to);
// Swaps two existing paths in one step.
void exchange(const QString& a, const QString& b);
// Whether the file system holding dir swaps two directories in one step
// (FAT refuses it); probed with two empty directories made in dir.
bool exchangeSupported(const QString& dir);

// The inode of a path; 0 when it does not exist.
ino_t inodeOf(const QString& path);

}  // namespace maintenance::files
