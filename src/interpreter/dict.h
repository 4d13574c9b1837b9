// The dictionary payload: a map from text keys to values, open addressing
// over a seeded hash. Iteration follows the table's slots, so its order is
// undefined and changes from run to run.
#pragma once

// Dict lives beside Value, which embeds it in its payloads.
#include "interpreter/value.h"
