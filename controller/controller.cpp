// Controller link.
#include "controller.h"
