#include "board/board.h"
#include "platform/window.h"
#include "preset/preset.h"

namespace {

const WindowForm* const forms[] = {&BoardWindow, &PresetWindow};

int start_program() {
    if (!platform_init(forms))
        fatal_error("载入窗口模板数据段出错!", "BoardWindow");
    if (!open_window(BoardWindow))
        fatal_error("载入启动窗口失败", "BoardWindow");
    run_event_loop();
    return 0;
}

} // namespace

int main() {
    return start_program();
}
