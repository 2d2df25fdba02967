// The model's pure texts: no state, no engine.

#include "SwitcherModelPrivate.h"

#include "Units.h"

#include <QDir>
#include <QStringList>

QString SwitcherModel::importSummaryText(const SwitcherProtocol::RateLibraryImported &result,
                                         const Bundle &bundle)
{
    Q_UNUSED(bundle) // counts are written as plain numbers in every language
    QStringList tracks;
    //: Import result: tracks added.
    tracks << SwitcherModelTr::tr("%n new", nullptr, int(result.newCount));
    //: Import result: tracks or outputs updated.
    tracks << SwitcherModelTr::tr("%n updated", nullptr, int(result.updated));
    //: Import result: tracks already in the library.
    tracks << SwitcherModelTr::tr("%n already known", nullptr, int(result.known));
    if (result.skipped > 0)
        //: Import result: tracks skipped.
        tracks << SwitcherModelTr::tr("%n skipped", nullptr, int(result.skipped));
    QString text = tracks.join(QStringLiteral(", "));

    if (result.outputsNew > 0 || result.outputsUpdated > 0) {
        QStringList outputs;
        if (result.outputsNew > 0)
            //: Import result: output devices added.
            outputs << SwitcherModelTr::tr("%n outputs added", nullptr, int(result.outputsNew));
        if (result.outputsUpdated > 0)
            //: Import result: tracks or outputs updated.
            outputs << SwitcherModelTr::tr("%n updated", nullptr, int(result.outputsUpdated));
        text += QStringLiteral(" · ") + outputs.join(QStringLiteral(", "));
    }
    return text;
}

QString SwitcherModel::companionLearnedFileURL()
{
    static const QString path =
        QDir::homePath() + QStringLiteral("/Library/Containers/dulvarin.Corvane/Data/Library/"
                                          "Application Support/SwitcherLearned.json");
    return path;
}

QString SwitcherModel::loadSummaryText(const std::optional<PlaybackHistory::MusicStartStats> &stats)
{
    if (!stats)
        return SwitcherModelTr::tr("Music.app load not measured yet · about 0.9 s assumed");
    const Bundle bundle = Bundle::main();
    //: Music.app's load times: fastest, typical, slowest, each in seconds.
    return SwitcherModelTr::tr("Music.app load · fastest %1 · typical %2 · slowest %3")
        .arg(Units::seconds(bundle, stats->fastest / 1000.0), Units::seconds(bundle, stats->typical / 1000.0),
             Units::seconds(bundle, stats->slowest / 1000.0));
}
