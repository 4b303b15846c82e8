// The progress-and-cancel interface of every long operation; it is declared at the base of
// the layers (platform/base/Progress.h) so that the storage engine's operations take it too.
#pragma once

#include "platform/base/Progress.h"
