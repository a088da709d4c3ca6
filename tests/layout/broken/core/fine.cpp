#include <QString>
#include "platform/db/query.h"
