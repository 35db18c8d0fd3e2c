#include "preset/preset.h"
#include "board/board.h"

std::int32_t hotkey_id = 0;

void open_preset_on_hot_key(const EventArgs& args) {
    // A refused registration leaves hotkey_id at 0; no notification carries 0.
    if (args.first != hotkey_id || hotkey_id == 0)
        return;
    open_window(PresetWindow); // a window that cannot be built is simply not there
}

void confirm_preset(const EventArgs&) {
    // Copied as typed: line breaks, blank lines and spaces are the operator's,
    // and an empty box empties the preset list.
    set_text({&BoardWindow, preset_list}, get_text({&PresetWindow, "编辑框1"}));
    destroy_window(PresetWindow);
}
