#pragma once

#include "PlatformServices.h"

#include <QHash>

// The default output on Linux: the first ALSA sound card's first playback device. ALSA is
// loaded at run time, so a machine without it (or without a sound card) simply has no device.
class AlsaOutputDevices final : public OutputDeviceSource {
public:
    AlsaOutputDevices();
    ~AlsaOutputDevices() override;

    std::optional<OutputDevice> defaultOutputDevice() override;

private:
    struct Library;
    std::unique_ptr<Library> m_alsa;
    // A card's rates are read once: opening the hardware every poll would disturb playback.
    QHash<QString, QList<SampleRateRange>> m_rates;
};
