#include "Logging.h"

Q_LOGGING_CATEGORY(lcSwitcher, "dulvarin.CorvaneSwitcher.switcher")
Q_LOGGING_CATEGORY(lcQuality, "dulvarin.CorvaneSwitcher.quality")
Q_LOGGING_CATEGORY(lcWriter, "dulvarin.CorvaneSwitcher.writer")
Q_LOGGING_CATEGORY(lcLink, "dulvarin.CorvaneSwitcher.link")
Q_LOGGING_CATEGORY(lcHistory, "dulvarin.CorvaneSwitcher.history")
Q_LOGGING_CATEGORY(lcGuards, "dulvarin.CorvaneSwitcher.guards")
Q_LOGGING_CATEGORY(lcTap, "dulvarin.CorvaneSwitcher.tap")
Q_LOGGING_CATEGORY(lcUi, "dulvarin.CorvaneSwitcher.ui")
