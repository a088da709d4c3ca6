#include "capture/frame_decode.h"
#include "platform/ui/dialogs.h"
