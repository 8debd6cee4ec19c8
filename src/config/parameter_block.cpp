#include "config/parameter_block.h"
