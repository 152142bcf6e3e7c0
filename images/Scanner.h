#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace images {

// Scanners through SANE, loaded at run time (libsane.so.1). Every SANE call
// runs on a worker thread and the caller waits with a limit, so a device
// that stops answering ends the operation with a message instead of hanging
// the program; such a stuck call keeps the scanner busy until it returns.

// The library's file name; tests point it at a missing one.
void SetScannerLibrary(const QString& fileName);

// Product names ("vendor model") of the devices, in SANE's order. Empty
// when the library cannot be loaded, lists no device or does not answer
// within timeoutMs; no message.
// pump runs between waits, so a window stays usable while SANE probes.
QStringList ListScannerSources(int timeoutMs = 8000, const std::function<void()>& pump = {});

// A source can be used: the list holds a device with a name.
bool ScannerAvailable(const std::function<void()>& pump = {});

struct ScanRequest {
    QString source;      // product name, compared without regard to case; else the first device
    int stallMs = 8000;  // longest wait for any SANE call or for the next data
    // Runs between waits (the caller lets its window messages run).
    std::function<void()> pump;
    // Polled between waits: true asks the device to stop.
    std::function<bool()> cancelRequested;
};

struct ScanResult {
    QImage image;  // RGB888 or Grayscale8; null without an image
    bool libraryMissing = false;
    bool cancelled = false;
    QString error;  // French, empty on success and on a cancel
};

// One image from the chosen device, held in memory.
ScanResult AcquireImage(const ScanRequest& request);

}  // namespace images
