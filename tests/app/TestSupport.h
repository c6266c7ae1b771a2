#pragma once

#include "exchange/TickSource.h"
#include "form/FormEnvironment.h"
#include "tests/support/ScopedEnvironment.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

// Shows a QString as text in the messages of failed checks.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kronax::test {

// The suite's private folder, made by main and removed at its end. KRONAX_PORTS names its empty
// subfolder "no-ports" unless a test says otherwise, so no window opens a real port.
std::string SuiteFolder();
std::string EmptyPortsFolder();

// A new empty folder inside the suite's folder.
std::string NewFolder();

// The steady tick moved by an offset that a test sets, so label expiry can be driven (across a
// wrap of the counter too) while command time-outs still pass in real time.
class OffsetTicks : public ITickSource {
public:
    std::uint32_t TickCount() const override;
    // Makes the next reading return about now.
    void Set(std::uint32_t now);
    void Advance(std::uint32_t milliseconds) { offset_ += milliseconds; }

private:
    std::atomic<std::uint32_t> offset_{0};
};

// Waits until the file at path holds text (a line the simulator logged, say) count times, at most
// boundMs; false when it never does. The bound only stops a hang.
bool WaitForFileText(const std::string& path, const std::string& text, std::size_t count = 1,
                     int boundMs = 10000);

// A window environment with its settings file in the suite's folder.
FormEnvironment TestEnvironment(const std::string& settingsFileName,
                                std::shared_ptr<const ITickSource> ticks = nullptr);

} // namespace kronax::test
