#pragma once

// UniqueFd and the write loops live with the other file calls.
#include "core/platform_file.h"
