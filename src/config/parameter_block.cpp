#include "config/parameter_block.h"
#include "config/form_state.h"
