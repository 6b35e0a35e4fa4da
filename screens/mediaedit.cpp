// Media table editor: to come; until then its entry does nothing.
#include "mediaedit.h"

void ShowMediaEditor() {}
