#include "zip_bridge.h"
