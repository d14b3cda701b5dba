#include "rar_control.h"
