// hotkey_probe [MODIFIER:KEY ...]: registers each hot key (default 0:112, F1)
// with the real backend, then prints "registered <identifier>" for each,
// "ready", and "feedback <receiver> <first> <second>" for every notification.
// Runs until killed.
#include "platform/hotkey.h"
#include "platform/notify.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

constexpr std::uintptr_t probe_receiver = 4242;

void send_feedback(std::uintptr_t receiver, std::int32_t first, std::int32_t second) {
    std::printf("feedback %ju %d %d\n", static_cast<std::uintmax_t>(receiver), first, second);
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    std::vector<std::string> keys(argv + 1, argv + argc);
    if (keys.empty())
        keys.push_back("0:112");
    for (const std::string& k : keys) {
        const auto colon = k.find(':');
        if (colon == std::string::npos) {
            std::fprintf(stderr, "hotkey_probe: %s is not MODIFIER:KEY\n", k.c_str());
            return 2;
        }
        const int modifier = std::atoi(k.substr(0, colon).c_str());
        const int key = std::atoi(k.substr(colon + 1).c_str());
        std::printf("registered %d\n", register_hot_key(0, probe_receiver, modifier, key));
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
