#include "registers/shared/grid_export.h"
