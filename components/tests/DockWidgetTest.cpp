#include "ToolbarTestSupport.h"
