#include "persistencelog.h"

Q_LOGGING_CATEGORY(lcPersistence, "quayrow.persistence", QtInfoMsg)
