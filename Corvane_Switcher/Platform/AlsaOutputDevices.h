#pragma once

#include "PlatformServices.h"
#include "StandInFile.h"

#include <QHash>

// The default output on Linux: the first ALSA sound card's first playback device. ALSA is
// loaded at run time, so a machine without it (or without a sound card) simply has no device.
// The data folder's OutputDevice.json, when there is one that can be used, stands in for the card.
class AlsaOutputDevices final : public OutputDeviceSource {
public:
    AlsaOutputDevices();
    ~AlsaOutputDevices() override;

    std::optional<OutputDevice> defaultOutputDevice() override;

private:
    struct Library;
    std::unique_ptr<Library> m_alsa;
    StandInFile m_fixture; // OutputDevice.json, read at every poll
    // A card's rates are read once: opening the hardware every poll would disturb playback.
    QHash<QString, QList<SampleRateRange>> m_rates;
};
