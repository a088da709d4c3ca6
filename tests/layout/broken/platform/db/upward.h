#include "core/data_module.h"
