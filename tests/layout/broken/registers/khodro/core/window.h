#include "registers/khodro/khodro_list.h"
