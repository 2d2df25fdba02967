#include "SwitcherProtocol.h"

#include <QCoreApplication>

namespace SwitcherProtocol {

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitcherProtocol)
};
} // namespace

QString DecodeError::text() const
{
    if (key.isEmpty())
        return reason;
    return key + QStringLiteral(": ") + reason;
}

bool LearnedRates::Row::isSettingIndependent() const
{
    return tier == Tier::any || tier == Tier::file;
}

QString LearnedRates::Tier::forQuality(const std::optional<MusicQuality> &quality)
{
    if (!quality)
        return unknown;
    if (!quality->lossless)
        return aac;
    if (!quality->hiRes)
        return unknown;
    return *quality->hiRes ? hires : lossless;
}

QString LearnedRates::Tier::columnLabel(const QString &tier)
{
    if (tier == hires) {
        //: Rate Library column: the row was heard with Music.app set to Hi-Res Lossless. Keep Music.app's own
        //: short word.
        return Tr::tr("Hi-Res");
    }
    if (tier == lossless) {
        //: Music.app's Lossless audio quality, in Music.app's own word.
        return Tr::tr("Lossless");
    }
    if (tier == aac)
        return QStringLiteral("AAC"); // Music.app's own name for it in every language
    if (tier == unknown) {
        //: Rate Library column: Music.app's setting could not be read.
        return Tr::tr("Unknown");
    }
    if (tier == file) {
        //: Rate Library column: a local file's own rate.
        return Tr::tr("Local file");
    }
    //: Rate Library column: plays the same under every Music.app setting.
    return Tr::tr("Any");
}

QString LearnedRates::Tier::sentencePhrase(const QString &tier, const Bundle &bundle)
{
    // Texts come from the loaded translation; the bundle only matters for numbers, and
    // these phrases hold none.
    Q_UNUSED(bundle);
    if (tier == hires)
        return Tr::tr("Hi-Res Lossless");
    if (tier == lossless) {
        //: Music.app's Lossless audio quality, in Music.app's own word.
        return Tr::tr("Lossless");
    }
    if (tier == aac) {
        //: Music.app's audio-quality setting with Lossless turned off.
        return Tr::tr("Lossless off (AAC)");
    }
    if (tier == unknown) {
        //: Music.app's audio-quality setting when it could not be read; used inside a sentence ("under an
        //: unrecognised setting").
        return Tr::tr("an unrecognised setting");
    }
    if (tier == file) {
        //: Used inside a sentence ("under the local file").
        return Tr::tr("the local file");
    }
    //: Used inside a sentence ("under any setting").
    return Tr::tr("any setting");
}

} // namespace SwitcherProtocol
