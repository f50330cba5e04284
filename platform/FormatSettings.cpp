#include "platform/FormatSettings.h"

namespace orv {

TFormatSettings &FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

TProcessLocale &ProcessLocale()
{
    static TProcessLocale locale;
    return locale;
}

} // namespace orv
