#include "sims_path.h"
