#include "platform/ui/dialogs.h"
