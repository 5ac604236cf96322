#include "core/logging.h"

#ifdef QT_NO_DEBUG
#define LUMORA_LOG_THRESHOLD QtInfoMsg
#else
#define LUMORA_LOG_THRESHOLD QtDebugMsg
#endif

Q_LOGGING_CATEGORY(lcApp, "lumora.app", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcShell, "lumora.shell", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcChat, "lumora.chat", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcDevice, "lumora.device", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcService, "lumora.service", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcPlatform, "lumora.platform", LUMORA_LOG_THRESHOLD)
Q_LOGGING_CATEGORY(lcCore, "lumora.core", LUMORA_LOG_THRESHOLD)
