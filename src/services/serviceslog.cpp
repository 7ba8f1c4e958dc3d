#include "serviceslog.h"

Q_LOGGING_CATEGORY(lcServices, "quayrow.services", QtInfoMsg)
