#include "windows/shell/login_window.h"
