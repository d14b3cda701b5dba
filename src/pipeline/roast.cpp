#include "roast.h"
