#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using SystemSoundId = uint32_t;

// System sounds: sounds registered from files, fixed system sounds
// (1115, 1116, ...) and the vibration (4095). Nothing is really played:
// every request is recorded in order, so tests can read what was asked for;
// alert sounds ring the terminal bell, which is on when standard output is a
// terminal and off otherwise (tests, pipes).
class SystemSounds {
public:
    static constexpr SystemSoundId vibrate = 4095;

    struct Played {
        SystemSoundId id;
        bool alert;  // played as an alert sound (true) or as a system sound
        bool operator==(const Played&) const = default;
    };

    // Registers a sound file; absent when the file does not exist. Ids of
    // registered sounds start at 4097 and grow.
    static std::optional<SystemSoundId> create(const std::string& path);
    // The file registered under `id`, when it is a registered sound.
    static std::optional<std::string> file(SystemSoundId id);

    static void playAlertSound(SystemSoundId id);
    static void playSystemSound(SystemSoundId id);
    // The vibration: system sound 4095.
    static void vibrateDevice() { playSystemSound(vibrate); }

    static std::vector<Played> played();
    static void clearPlayed();

    // Terminal bell for alert sounds.
    static void setBellEnabled(bool enabled);
    static bool bellEnabled();
    // Where the bell character goes (standard output unless set).
    static void setBellDescriptor(int fd);
};

}  // namespace platform
