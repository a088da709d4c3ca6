#include "windows/messages/payam_window.h"
