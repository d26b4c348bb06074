// SPDX-License-Identifier: GPL-3.0-or-later
// The field table now lives in the model, beside the word map it is built
// from; this header keeps the older include working for its callers.
#pragma once

#include "model/field_table.h"
