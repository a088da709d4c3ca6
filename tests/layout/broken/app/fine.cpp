#include "registers/prs/prs.h"
#include "windows/rooms/otaghha_window.h"
