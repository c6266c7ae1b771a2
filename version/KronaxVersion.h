#pragma once

namespace kronax {

// The version of this build, made from git when it was configured, for example
// "1.0+git117.a88c9eb".
extern const char* const KronaxVersion;

} // namespace kronax
