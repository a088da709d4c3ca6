#include "app/forms.h"
