#include "board/board.h"
#include "draw/draw.h"
#include "draw/lists.h"
#include "draw/pick.h"
#include "media/assets.h"
#include "platform/sound.h"

namespace {

const CardSlot* slot_numbered(int number) {
    for (const CardSlot& slot : card_slots)
        if (slot.number == number)
            return &slot;
    return nullptr;
}

} // namespace

void run_card_draw(const EventArgs& args) {
    const CardSlot* slot = slot_numbered(args.bound);
    if (slot == nullptr)
        return;
    const ControlRef cover{&BoardWindow, slot->cover_box};
    const ControlRef prize{&BoardWindow, slot->prize_label};

    if (get_text({&BoardWindow, entry_list}).empty()) {
        show_message("请输入抽奖内容", "信息：");
        return;
    }

    set_picture(cover, smash_animation);
    wait_handling_events(200);
    play_sound(smash_sound, false);
    wait_handling_events(1200);

    // From here on no event is handled: nothing can reseed between our reseed
    // and our pick, and no other handler sees the card half opened.
    set_visible(cover, false);
    reseed_from_clock();
    Text list = get_text({&BoardWindow, preset_list});
    if (list.empty())
        list = get_text({&BoardWindow, entry_list});
    const TextList entries = split_lines(list);

    // The entry list can be emptied during the waits; the card then opens
    // with an empty label rather than reaching outside the list.
    if (entries.empty()) {
        set_text(prize, Text{});
        return;
    }
    const int r = random_between(1, static_cast<int>(entries.size()));
    set_text(prize, entries[static_cast<std::size_t>(r - 1)]);
}
