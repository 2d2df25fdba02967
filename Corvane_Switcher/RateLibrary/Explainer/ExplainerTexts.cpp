#include "ExplainerTexts.h"

#include "Bundle.h"
#include "Common/ShownText.h"
#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibrary/RateLibraryTr.h"
#include "Units.h"

namespace RateLibrary {

using RateLibraryText::Tr;
using Tier = SwitcherProtocol::LearnedRates::Tier;
using Entry = PlaybackHistory::Entry;

namespace {

// Music.app's Dolby Atmos setting, when it is one that decides for every output.
std::optional<QString> decidingAtmosWord(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    if (quality && quality->atmos && (*quality->atmos == u"always" || *quality->atmos == u"off"))
        return quality->atmos;
    return std::nullopt;
}

// What the latest play line says of a prediction: the rate, the step it came from and, for a
// setting-dependent tier, Music.app's setting. A source that names no step (one this version
// does not know) still predicted its rate.
QString predictionPart(const Entry &latest, const Bundle &bundle)
{
    const QString rate = Units::kHz(bundle, *latest.predictedRate);
    const std::optional<QString> &tier = latest.tier;
    const std::optional<QString> setting = tier && *tier != Tier::any && *tier != Tier::file
                                               ? std::optional(Tier::sentencePhrase(*tier, bundle))
                                               : std::nullopt;
    const std::optional<int> step = PlaybackHistory::stepNumber(latest.source);
    if (!step) {
        if (setting) {
            //: The latest play: the predicted rate, from a source that names no prediction step, and
            //: Music.app's setting ("Hi-Res Lossless").
            return Tr::tr("%1 predicted, under %2").arg(rate, *setting);
        }
        //: The latest play: the predicted rate, from a source that names no prediction step.
        return Tr::tr("%1 predicted").arg(rate);
    }
    const QString name = PlaybackHistory::stepName(*step, bundle);
    if (setting) {
        //: The latest play: the predicted rate, the prediction step's number and name, and Music.app's
        //: setting ("Hi-Res Lossless").
        return Tr::tr("%1 from step %2, %3, under %4").arg(rate, QString::number(*step), name, *setting);
    }
    //: The latest play: the predicted rate, the prediction step's number and name.
    return Tr::tr("%1 from step %2, %3").arg(rate, QString::number(*step), name);
}

} // namespace

QString musicSettingHeading()
{
    return Tr::tr("Condition 1 · Music.app setting");
}

QString musicSettingValue(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    if (!quality) {
        //: Music.app's audio-quality setting could not be read.
        return Tr::tr("Not readable");
    }
    const QString word = Tier::forQuality(quality);
    if (word == Tier::unknown) {
        //: Music.app's Lossless setting with an unrecognised tier number.
        return Tr::tr("Lossless, tier %1").arg(quality->tier);
    }
    return Tier::sentencePhrase(word, Bundle::main());
}

QString musicSettingSentence(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    if (!quality)
        return Tr::tr(
            "Every step below answers for the setting in force, but Music.app’s audio quality setting "
            "can’t be read — rates are filed by what actually plays.");
    const QString word = Tier::forQuality(quality);
    if (word == Tier::aac)
        return Tr::tr(
            "Every step below answers for this setting: tracks stream as AAC, and only rates confirmed "
            "under it are used. Lossless rates are kept for when you switch back.");
    if (word == Tier::hires)
        return Tr::tr(
            "Every step below answers for this setting: a confirmed rate, an album’s rate and the "
            "catalog’s rendition are all taken under Hi-Res Lossless (up to 192 kHz). Rates confirmed "
            "under other settings are kept, not used.");
    if (word == Tier::lossless)
        return Tr::tr(
            "Every step below answers for this setting: a confirmed rate, an album’s rate and the "
            "catalog’s rendition are all taken under Lossless (up to 48 kHz). Rates confirmed under "
            "other settings are kept, not used.");
    return Tr::tr(
        "Every step below answers for the setting in force, but this quality tier isn’t recognised — "
        "rates are filed by what actually plays.");
}

QString outputHeading()
{
    return Tr::tr("Condition 2 · Output");
}

QString atmosInfoHelp()
{
    return Tr::tr("What the Dolby Atmos answer means");
}

QString outputMenuHelp()
{
    return Tr::tr(
        "The output the Dolby Atmos answer below is about — the attached one, or one the Rate Library "
        "remembers.");
}

QString noOutputText()
{
    return Tr::tr("No output");
}

QString outputPickerLabel()
{
    return Tr::tr("Device");
}

QString atmosPickerLabel()
{
    return Tr::tr("Dolby Atmos");
}

QString atmosAnswerMenuHelp()
{
    return Tr::tr(
        "Whether this output plays the Atmos mix (always 48 kHz) or the lossless stereo version instead "
        "decides how an Atmos track's rate is predicted before its first play here. Left to plays, the "
        "first Atmos track answers it. Asked only while Music.app's Dolby Atmos setting is Automatic.");
}

QString atmosAnswerLabel(const std::optional<AtmosAnswer> &answer)
{
    if (!answer)
        return Tr::tr("Learn from plays");
    return answer->compatible ? Tr::tr("Dolby Atmos–compatible") : Tr::tr("Not Dolby Atmos–compatible");
}

QString atmosChoiceTitle(int tag)
{
    switch (tag) {
    case 0:
        return Tr::tr("Learn from plays");
    case 1:
        return Tr::tr("Dolby Atmos–compatible — the Atmos mix plays, always 48 kHz");
    default:
        return Tr::tr("Not Dolby Atmos–compatible — the lossless stereo version plays instead");
    }
}

QString forgetLearnedTitle()
{
    return Tr::tr("Forget what plays learned");
}

QString atmosAnswerSentence(const std::optional<SwitcherProtocol::MusicQuality> &quality,
                            const std::optional<AtmosAnswer> &answer)
{
    if (const auto word = decidingAtmosWord(quality)) {
        if (*word == u"always")
            return Tr::tr(
                "Applies to Dolby Atmos tracks only. Music.app’s Dolby Atmos setting is Always On, so "
                "the Atmos mix (always 48 kHz) plays on every output — predicted without asking.");
        return Tr::tr("Applies to Dolby Atmos tracks only. Music.app’s Dolby Atmos setting is Off, so the "
                      "lossless stereo version plays on every output — predicted like any other track.");
    }
    if (!answer)
        return Tr::tr(
            "Applies to Dolby Atmos tracks only. Not yet known whether this output plays the Atmos mix "
            "(48 kHz) or the lossless stereo version instead. The first Atmos track you play settles "
            "it — or choose.");
    const bool yours = answer->origin == AtmosAnswer::Origin::yourChoice;
    if (answer->compatible) {
        if (yours)
            return Tr::tr(
                "Applies to Dolby Atmos tracks only. This output plays the Atmos mix, which is always "
                "48 kHz — so that is the prediction for every Atmos track here. Your choice.");
        return Tr::tr("Applies to Dolby Atmos tracks only. This output plays the Atmos mix, which is always "
                      "48 kHz — so that is the prediction for every Atmos track here. Learned from plays.");
    }
    if (yours)
        return Tr::tr(
            "Applies to Dolby Atmos tracks only. This output can’t play the Atmos mix, so Music.app "
            "plays the track’s lossless stereo version instead — the steps below predict that "
            "version’s rate. Your choice.");
    return Tr::tr(
        "Applies to Dolby Atmos tracks only. This output can’t play the Atmos mix, so Music.app plays "
        "the track’s lossless stereo version instead — the steps below predict that version’s rate. "
        "Learned from plays.");
}

QString atmosInfoTitle()
{
    return Tr::tr("Dolby Atmos on this output");
}

QString atmosInfoText()
{
    return Tr::tr(
        "With Music.app’s Dolby Atmos set to Automatic, an Atmos track plays its Atmos mix only on a "
        "Dolby Atmos–compatible output — Apple silicon speakers, AirPods, an Atmos receiver. On any "
        "other output Music.app skips the Atmos mix and plays the track’s ordinary lossless stereo "
        "version. Knowing which lets Corvane set the right rate before the track’s first play here.");
}

QList<AtmosOutcomeRow> atmosOutcomeRows()
{
    return {
        {Tr::tr("Dolby Atmos–compatible"),
         {Tr::tr("Atmos track"), Tr::tr("the Atmos mix plays"), Tr::tr("48 kHz, always")}},
        {Tr::tr("Not compatible (stereo)"),
         {Tr::tr("Atmos track"), Tr::tr("the lossless stereo version plays instead"),
          Tr::tr("that version’s own rate")}},
    };
}

QStringList atmosInfoNotes()
{
    return {
        Tr::tr("Learn from plays is the default: the first Atmos track you play answers it."),
        Tr::tr("A wrong answer costs one wrong first play per Atmos track; plays then correct it."),
        Tr::tr("Only asked while Music.app’s Dolby Atmos setting is Automatic."),
    };
}

QString predictionOrderHeading()
{
    return Tr::tr("Prediction order");
}

QString predictionOrderSentence()
{
    return Tr::tr(
        "Read under the two conditions above, the first step that knows the track sets the output rate "
        "before it plays; the play then confirms it.");
}

const QStringList &stepSummaries()
{
    static const QStringList summaries = {
        Tr::tr("A pinned rate, or a local file’s own rate."),
        Tr::tr("The rate an earlier play of this track confirmed under this setting."),
        Tr::tr("A rate confirmed for another track of the album under this setting."),
        Tr::tr("The track’s quality tags and the renditions listed in its streaming manifest."),
        Tr::tr("The tags plus this library’s usual rate for the tier, when the tags and the manifest "
               "disagree or "
               "the manifest is incomplete."),
    };
    return summaries;
}

const QStringList &stepHelp()
{
    static const QStringList help = {
        Tr::tr(
            "A pin is your word for the track under the setting in force; a scanned local file's rate is the "
            "file's own. Either is used as is."),
        Tr::tr("The Rate Library's row for this track under Music.app's current setting — what a play "
               "confirmed. Used as is."),
        Tr::tr("Another track of the same album confirmed under this setting, used when it is above what the "
               "catalog lists for this track. The play confirms or corrects it."),
        Tr::tr(
            "Two pieces of Apple's data: the track's quality tags (Lossless, Hi-Res Lossless, Dolby Atmos) "
            "and the lossless renditions its streaming manifest lists. The highest allowed under Music.app's "
            "setting is the prediction. The play confirms or corrects it."),
        Tr::tr("When the manifest is not available, or a Hi-Res-tagged track's manifest lists nothing above "
               "48 kHz: the tags plus the rate this library most often confirms for that tier. The play "
               "confirms or corrects it."),
    };
    return help;
}

QString stepBadge(int step)
{
    return step <= 2 ? Tr::tr("CERTAIN") : Tr::tr("PREDICTED");
}

QString latestPlaySummary(const Entry *latest, const QDateTime &now, const QLocale &locale)
{
    if (!latest)
        return Tr::tr(
            "No plays yet — play a track through Music.app and it appears here with its prediction.");
    const Bundle bundle = Bundle::main();
    const auto rate = [&](double hz) { return Units::kHz(bundle, hz); };
    QStringList parts;
    if (latest->predictedRate) {
        parts.append(predictionPart(*latest, bundle));
        if (latest->playedRate && latest->differed()) {
            //: The latest play streamed at another rate than predicted.
            parts.append(Tr::tr("played at %1").arg(rate(*latest->playedRate)));
        }
    } else if (latest->playedRate) {
        //: The latest play's stream rate, when nothing was predicted.
        parts.append(Tr::tr("playing at %1").arg(rate(*latest->playedRate)));
        if (latest->note) {
            //: The placeholder is Corvane's reason.
            parts.append(Tr::tr("no prediction: %1").arg(ShownText::bounded(*latest->note)));
        } else {
            parts.append(Tr::tr("nothing was predicted"));
        }
    } else if (latest->note) {
        //: The placeholder is Corvane's reason.
        parts.append(Tr::tr("no prediction: %1").arg(ShownText::bounded(*latest->note)));
    } else {
        parts.append(Tr::tr("predicted, not yet played"));
    }
    if (latest->musicStartMs) {
        //: How long Music.app took to start the track; the placeholder is seconds ("1.5 s").
        parts.append(Tr::tr("Music.app took %1 to start it")
                         .arg(Units::seconds(bundle, double(*latest->musicStartMs) / 1000.0)));
    }
    if (latest->outcome || latest->corrected) {
        parts.append(PlaybackHistory::outcomeLabel(*latest, bundle) + QLatin1Char(' ') +
                     relativeDateText(latest->playedAt.value_or(latest->at), now, locale));
    }
    // A line of the title shows, however long the title is; the parts follow it.
    return ShownText::bounded(latest->title) + QStringLiteral(" — ") + parts.join(QStringLiteral(" · "));
}

QString historyToggleTitle()
{
    return Tr::tr("History");
}

QString historyToggleHelp()
{
    return Tr::tr(
        "The last eight plays: what was predicted, what played, what the Rate Library did. Hover a row "
        "to light its step above.");
}

const QList<RecentPlayColumnInfo> &recentPlayColumns()
{
    static const QList<RecentPlayColumnInfo> columns = {
        {RecentPlayColumn::time, QT_TRANSLATE_NOOP("RateLibrary", "Time"), 52},
        {RecentPlayColumn::track, QT_TRANSLATE_NOOP("RateLibrary", "Track"), 250},
        {RecentPlayColumn::predicted, QT_TRANSLATE_NOOP("RateLibrary", "Predicted"), 90},
        {RecentPlayColumn::from, QT_TRANSLATE_NOOP("RateLibrary", "From"), 200},
        {RecentPlayColumn::played, QT_TRANSLATE_NOOP("RateLibrary", "Played"), 70},
        {RecentPlayColumn::load, QT_TRANSLATE_NOOP("RateLibrary", "Load"), 50},
        {RecentPlayColumn::outcome, QT_TRANSLATE_NOOP("RateLibrary", "Outcome"), 0},
    };
    return columns;
}

QString recentPlayHeader(const RecentPlayColumnInfo &info, const QLocale &locale)
{
    return locale.toUpper(Tr::tr(info.title));
}

std::optional<QString> recentPlayHeaderHelp(RecentPlayColumn column)
{
    if (column != RecentPlayColumn::load)
        return std::nullopt;
    return Tr::tr(
        "How long Music.app took to start the track after Corvane asked for it — a pick, or the next "
        "track after a Stop to Switch change.");
}

QString recentPlaysFooter(qsizetype count)
{
    //: Under the recent plays: how many are listed.
    return Tr::tr("Last %n plays. Hover a row to light its step above.", nullptr, int(count));
}

QString showAllTitle()
{
    return Tr::tr("Show all");
}

} // namespace RateLibrary
