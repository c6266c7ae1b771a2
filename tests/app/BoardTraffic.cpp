#include "tests/app/BoardTraffic.h"

namespace kronax::test {

std::string Traffic(const QStringList& log, qsizetype first) {
    std::string traffic;
    char last = 0;
    int count = 0;
    const auto flush = [&] {
        if (count == 0)
            return;
        traffic += (traffic.empty() ? "" : " ") + std::string(1, last) +
                   (last == 'D' ? "" : std::to_string(count));
    };
    for (qsizetype i = first; i < log.size(); ++i) {
        if (log[i].startsWith("??SMSETB"))
            continue;
        const char kind = log[i].startsWith("##SMSETP") ? 'D' : log[i].startsWith("##") ? 'W' : 'R';
        if (kind != last) {
            flush();
            last = kind;
            count = 0;
        }
        ++count;
    }
    flush();
    return traffic;
}

} // namespace kronax::test
