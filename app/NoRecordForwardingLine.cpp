#include "app/RecordForwardingLine.h"

namespace kronax {

struct RecordForwardingLine::Forwarding {};

RecordForwardingLine::RecordForwardingLine(QStatusBar*, const std::string&) {}

RecordForwardingLine::~RecordForwardingLine() = default;

void RecordForwardingLine::AfterOperation() {}

} // namespace kronax
