#include "AlsaOutputDevices.h"

#include "AppPaths.h"
#include "Logging.h"
#include "RegularFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <alsa/asoundlib.h>
#include <dlfcn.h>

struct AlsaOutputDevices::Library {
    void *handle = nullptr;
    decltype(&snd_card_next) cardNext = nullptr;
    decltype(&snd_card_get_longname) cardLongName = nullptr;
    decltype(&snd_pcm_open) pcmOpen = nullptr;
    decltype(&snd_pcm_close) pcmClose = nullptr;
    decltype(&snd_pcm_hw_params_malloc) paramsMalloc = nullptr;
    decltype(&snd_pcm_hw_params_free) paramsFree = nullptr;
    decltype(&snd_pcm_hw_params_any) paramsAny = nullptr;
    decltype(&snd_pcm_hw_params_test_rate) testRate = nullptr;

    Library()
    {
        handle = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        bool complete = true;
        const auto resolve = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
            complete = complete && function;
        };
        resolve(cardNext, "snd_card_next");
        resolve(cardLongName, "snd_card_get_longname");
        resolve(pcmOpen, "snd_pcm_open");
        resolve(pcmClose, "snd_pcm_close");
        resolve(paramsMalloc, "snd_pcm_hw_params_malloc");
        resolve(paramsFree, "snd_pcm_hw_params_free");
        resolve(paramsAny, "snd_pcm_hw_params_any");
        resolve(testRate, "snd_pcm_hw_params_test_rate");
        if (!complete) {
            dlclose(handle);
            handle = nullptr;
        }
    }
    ~Library()
    {
        if (handle)
            dlclose(handle);
    }
    bool loaded() const { return handle != nullptr; }
};

namespace {

// A line or two of the kernel's; the bound only guards against the unexpected.
QString procText(const QString &path)
{
    const RegularFile::Contents file = RegularFile::read(path, 64 * 1024);
    return QString::fromUtf8(file.bytes).trimmed();
}

// "rate: 44100 (44100/1)" while the device plays; 0 while it is closed.
double runningRate(int card)
{
    const QString params = procText(QStringLiteral("/proc/asound/card%1/pcm0p/sub0/hw_params").arg(card));
    for (const QString &line : params.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("rate:")))
            return line.mid(5).trimmed().section(QLatin1Char(' '), 0, 0).toDouble();
    }
    return 0;
}

} // namespace

AlsaOutputDevices::AlsaOutputDevices()
    : m_alsa(std::make_unique<Library>()),
      m_fixture(QDir(AppPaths::dataDirectory()).filePath(QStringLiteral("OutputDevice.json")),
                QStringLiteral("the first sound card stands in for it"))
{
}
AlsaOutputDevices::~AlsaOutputDevices() = default;

namespace {

// The demo and black-box tests describe the attached output in "OutputDevice.json" of the data
// folder ({"uid", "name", "rate", "rates": [[min, max], ...]}), since a test machine has no card.
std::optional<OutputDevice> fixtureDevice(StandInFile &file)
{
    const std::optional<QJsonObject> json = file.read([](const QJsonObject &object) {
        return object.value(u"uid").isString() ? QString() : QStringLiteral("has no \"uid\"");
    });
    if (!json)
        return std::nullopt;
    OutputDevice device;
    device.uid = json->value(u"uid").toString();
    if (json->value(u"name").isString())
        device.name = json->value(u"name").toString();
    device.nominalSampleRate = json->value(u"rate").toDouble();
    for (const QJsonValue &range : json->value(u"rates").toArray()) {
        const QJsonArray bounds = range.toArray();
        if (bounds.size() == 2 && bounds[0].isDouble() && bounds[1].isDouble())
            device.availableSampleRates.append({bounds[0].toDouble(), bounds[1].toDouble()});
    }
    return device;
}

} // namespace

std::optional<OutputDevice> AlsaOutputDevices::defaultOutputDevice()
{
    if (std::optional<OutputDevice> device = fixtureDevice(m_fixture))
        return device;
    if (!m_alsa->loaded())
        return std::nullopt;
    int card = -1;
    if (m_alsa->cardNext(&card) < 0 || card < 0)
        return std::nullopt;

    OutputDevice device;
    device.objectID = quint32(card);
    QString id = procText(QStringLiteral("/proc/asound/card%1/id").arg(card));
    if (id.isEmpty())
        id = QString::number(card);
    device.uid = QStringLiteral("alsa:%1,0").arg(id);
    char *longName = nullptr;
    if (m_alsa->cardLongName(card, &longName) == 0 && longName) {
        device.name = QString::fromUtf8(longName);
        free(longName);
    }
    device.nominalSampleRate = runningRate(card);

    const auto cached = m_rates.constFind(*device.uid);
    if (cached != m_rates.cend()) {
        device.availableSampleRates = *cached;
        return device;
    }
    snd_pcm_t *pcm = nullptr;
    const QByteArray name = QStringLiteral("hw:%1,0").arg(card).toLatin1();
    if (m_alsa->pcmOpen(&pcm, name.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        // Busy or absent: try again at the next poll.
        qCDebug(lcUi, "ALSA: %s could not be opened to read its rates", name.constData());
        return device;
    }
    snd_pcm_hw_params_t *params = nullptr;
    QList<SampleRateRange> rates;
    if (m_alsa->paramsMalloc(&params) == 0) {
        if (m_alsa->paramsAny(pcm, params) >= 0) {
            // Hardware lists discrete rates; each supported one is a range of its own.
            static const unsigned candidates[] = {8000,   11025,  16000,  22050, 32000,  44100,
                                                  48000,  64000,  88200,  96000, 176400, 192000,
                                                  352800, 384000, 705600, 768000};
            for (const unsigned rate : candidates) {
                if (m_alsa->testRate(pcm, params, rate, 0) == 0)
                    rates.append({double(rate), double(rate)});
            }
        }
        m_alsa->paramsFree(params);
    }
    m_alsa->pcmClose(pcm);
    m_rates.insert(*device.uid, rates);
    device.availableSampleRates = rates;
    return device;
}
