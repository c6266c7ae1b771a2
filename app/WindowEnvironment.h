#pragma once

#include "form/FormEnvironment.h"

namespace kronax {

// The settings file beside the program for a portable copy (a kronax-config.ini already there),
// else in the user's settings folder, and the steady tick. Needs the application object.
FormEnvironment WindowEnvironment();

} // namespace kronax
