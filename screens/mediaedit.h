// Media table editor.
#pragma once

// Opens the editor of the media records (service menu).
void ShowMediaEditor();
