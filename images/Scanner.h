#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace images {

// Scanners through SANE, loaded at run time (libsane.so.1). Every SANE call
// runs on a worker thread and the caller waits with a limit, so a device
// that stops answering ends the operation with a message instead of hanging
// the program; such a stuck call keeps the scanner busy until it returns.

// The library's file name; tests point it at a missing one.
void SetScannerLibrary(const QString& fileName);

// The source names of the devices, in SANE's order: "vendor model", with
// the device's own name in brackets after it when two devices have the same
// vendor and model ("Noname frontend-tester (test:1)"). Empty when the
// library cannot be loaded, lists no device or does not answer within
// timeoutMs; no message. Blocks its caller meanwhile.
QStringList ListScannerSources(int timeoutMs = 8000);

// A source can be used: the list holds a device with a name.
bool SourcesUsable(const QStringList& names);
bool ScannerAvailable();

// Lists the sources on a thread of its own, so that a window goes on while
// SANE probes its backends (seconds for network scanners) and looks at the
// answer from a timer, without letting input in through a nested loop.
class SourceProbe {
public:
    static std::shared_ptr<const SourceProbe> start(int timeoutMs = 8000);
    bool ready() const;
    // The sources, once ready.
    QStringList sources() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

struct ScanRequest {
    // A source name as listed, or a bare product name (its first device),
    // compared without regard to case; else the first device.
    QString source;
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
