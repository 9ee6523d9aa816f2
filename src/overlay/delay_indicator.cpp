// The delay indicator is not drawn yet; the movement switch already closes it.
#include "overlay/delay_indicator.h"

void closeDelayIndicator() {}
