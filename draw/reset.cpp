#include "board/board.h"
#include "draw/draw.h"
#include "media/assets.h"

void reset_board(const EventArgs&) {
    // Pictures first, visibility after: a box that is still animating gets its
    // egg back before it shows again, so no late frame is ever seen.
    for (const CardSlot& slot : card_slots)
        set_picture({&BoardWindow, slot.cover_box}, cover_image);
    for (const CardSlot& slot : card_slots)
        set_visible({&BoardWindow, slot.cover_box}, true);
}
