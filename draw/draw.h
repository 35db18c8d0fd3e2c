#pragma once
// The handlers of the draw. They take the event's arguments as every handler
// does; the cover boxes' bindings carry their card slot in EventArgs::bound.
#include "platform/window.h"

// A press on a cover box: smash the egg, then reveal a drawn entry.
void run_card_draw(const EventArgs& args);
// The restart button: every card shows its egg again.
void reset_board(const EventArgs& args);
