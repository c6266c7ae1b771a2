#pragma once

#include <QStringList>

#include <string>

namespace kronax::test {

// The traffic of log lines from first on, by kind of command: "W6 R6" for six writes and then six
// queries, "D" for the power-on default. The board identity queries that keep the records of
// the operations are left out.
std::string Traffic(const QStringList& log, qsizetype first);

} // namespace kronax::test
