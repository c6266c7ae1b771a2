#include "sim/SimLog.h"

#include "exchange/VisibleLineEnds.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <stdexcept>

namespace kronax::sim {

SimLog::SimLog(const std::string& file) {
    if (file.empty())
        return;
    out_.open(file, std::ios::app | std::ios::binary);
    if (!out_)
        throw std::runtime_error("cannot open log file " + file);
}

void SimLog::Write(const char* direction, const std::string& text) {
    if (!out_.is_open())
        return;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    out_ << std::put_time(&local, "%Y-%m-%d %H:%M:%S") << '.' << std::setw(3) << std::setfill('0')
         << ms << ' ' << direction << ' ' << WithVisibleLineEnds(text) << std::endl;
}

} // namespace kronax::sim
