#pragma once

#include <QLoggingCategory>

// The log categories, under the subsystem "dulvarin.CorvaneSwitcher".
Q_DECLARE_LOGGING_CATEGORY(lcSwitcher)
Q_DECLARE_LOGGING_CATEGORY(lcQuality)
Q_DECLARE_LOGGING_CATEGORY(lcWriter)
Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
Q_DECLARE_LOGGING_CATEGORY(lcGuards)
Q_DECLARE_LOGGING_CATEGORY(lcTap)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
