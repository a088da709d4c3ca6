#include "capture/dorbin.h"
