#pragma once

#include <QLoggingCategory>

// One logging category per subsystem, named "lumora.<folder>". Debug lines are on in debug
// builds and off in release builds; QT_LOGGING_RULES switches them either way, for instance
// QT_LOGGING_RULES="lumora.*.debug=true" or "lumora.device.debug=true".
// No log line carries an API key, a signature or a serial number in full: see
// core/logredaction.h.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcChat)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcService)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcCore)
