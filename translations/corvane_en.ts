<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>PlaybackHistory</name>
    <message>
        <location filename="../SwitcherCore/PlaybackHistory.cpp" line="+135"/>
        <source>Fixed rate</source>
        <extracomment>Prediction step 1: a rate pinned by the user or read from a local file.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Confirmed playback rate</source>
        <extracomment>Prediction step 2: the rate an earlier play confirmed.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Same album</source>
        <extracomment>Prediction step 3: the rate learned from another track on the album.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Apple’s catalog</source>
        <extracomment>Prediction step 4: the rate Apple&apos;s catalog lists.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Estimate</source>
        <extracomment>Prediction step 5: a guess.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1 · %2 (pin)</source>
        <extracomment>A prediction step: its number, its name, and that a pin gave it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 · %2 (local file)</source>
        <extracomment>A prediction step: its number, its name, and that a local file&apos;s own rate gave it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 · %2 (imported)</source>
        <extracomment>A prediction step: its number, its name, and that an imported Rate Library row gave it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 · %2 (from a Hi-Res rate)</source>
        <extracomment>A prediction step: its number, its name, and that it was worked out from a Hi-Res rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 · %2 (from the tags)</source>
        <extracomment>A prediction step: its number, its name, and that it was guessed from the track&apos;s quality tags.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 · %2</source>
        <extracomment>A prediction step: its number and its name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Corrected mid-track</source>
        <extracomment>Playback History outcome: Mid-Track Correction relocked the play.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Rewritten · remembered</source>
        <extracomment>Playback History outcome: the Rate Library replaced its rate with the one that played.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Learned · remembered</source>
        <extracomment>Playback History outcome: the Rate Library learned the rate that played.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No prediction</source>
        <extracomment>Playback History outcome: nothing was predicted for the play.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Predicted, not yet played</source>
        <extracomment>Playback History outcome: a rate was predicted but the track has not streamed yet.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Played at another rate</source>
        <extracomment>Playback History outcome: the track streamed at another rate than predicted.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Playing as predicted</source>
        <extracomment>Playback History outcome: the track streams at the predicted rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../SwitcherCore/PlaybackHistoryFile.cpp" line="+320"/>
        <source>The playback history file %1 could not be read; new plays are kept until the app quits but not saved.</source>
        <extracomment>The placeholder is the history file&apos;s path.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+76"/>
        <source>The playback history file %1 was written by a newer version of the app and could not be copied aside (%2); it is left as it is and new plays are not saved.</source>
        <extracomment>The placeholders are the history file&apos;s path and the system&apos;s reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The playback history was written by a newer version of the app; it was copied to %1 and the history starts empty.</source>
        <extracomment>The placeholder is the path of the copy of the history file.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-49"/>
        <source>The playback history file %1 is damaged and could not be moved aside; it is left as it is and new plays are not saved.</source>
        <extracomment>The placeholder is the history file&apos;s path.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The playback history file %1 is larger than %2 MB and could not be moved aside; it is left as it is and new plays are not saved.</source>
        <extracomment>The placeholders are the history file&apos;s path and a size in megabytes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The playback history file was larger than %1 MB, far more than the app ever writes; it was moved to %2 and the history starts empty.</source>
        <extracomment>The placeholders are a size in megabytes and the path the history file was moved to.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The playback history file was damaged; it was moved to %1 and the history starts empty.</source>
        <extracomment>The placeholder is the path the damaged history file was moved to.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+87"/>
        <source>the folder could not be created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The playback history could not be saved to %1: %2</source>
        <extracomment>The placeholders are the history file&apos;s path and the system&apos;s reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlaybackHistoryWindow</name>
    <message>
        <location filename="../Corvane_Switcher/PlaybackHistory/PlaybackHistoryTableModel.cpp" line="+30"/>
        <source>Time</source>
        <extracomment>Playback History column: when the play happened.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Track</source>
        <extracomment>Playback History column: the track&apos;s title and artist.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Setting</source>
        <extracomment>Playback History column: Music.app&apos;s audio-quality setting at the time.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Predicted</source>
        <extracomment>Playback History column: the predicted sample rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From</source>
        <extracomment>Playback History column: the prediction step the rate came from.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Played</source>
        <extracomment>Playback History column: the sample rate that played.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music.app Load</source>
        <extracomment>Playback History column: how long Music.app took to start the track.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Outcome</source>
        <extracomment>Playback History column: how the play ended.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+80"/>
        <source>How long Music.app took to start the track after Corvane asked for it — a pick, or the next track after a Stop to Switch change. Blank: a gapless advance, which Music.app had already loaded.</source>
        <extracomment>Hover help of the Music.app Load column.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>no prediction</source>
        <extracomment>Playback History, From column: the play had no predicted rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/PlaybackHistory/PlaybackHistoryWindow.cpp" line="+62"/>
        <source>Playback History</source>
        <extracomment>Title of the Playback History window.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Show</source>
        <extracomment>Accessible label of the Playback History filter; not shown.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Differed: the play&apos;s settled rate (the Rate Library&apos;s verdict, not a lossy or 48 kHz opening step) was not the predicted one, or Mid-Track Correction relocked it. Estimates: predictions from step 5. Pins: plays of a pinned track.</source>
        <extracomment>Hover help of the Playback History filter.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Search track or artist</source>
        <extracomment>Placeholder of the Playback History search field.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No plays yet</source>
        <extracomment>Playback History when no play has been recorded.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Play a track through Music.app with Corvane Mac Remote paired; each play appears here with its prediction and its outcome.</source>
        <extracomment>Playback History when no play has been recorded: how plays get here.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Nothing matches</source>
        <extracomment>Playback History when the filter and search hide every play.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Clear History…</source>
        <extracomment>Playback History button; asks before it empties the history.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export as CSV…</source>
        <extracomment>Playback History button; writes every play to a CSV file.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+181"/>
        <source>Clear the playback history?</source>
        <extracomment>Title and question of the Playback History clear confirmation.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Every row goes. The Rate Library itself is not touched.</source>
        <extracomment>The Playback History clear confirmation&apos;s message.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear History</source>
        <extracomment>The Playback History clear confirmation&apos;s destructive button.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+45"/>
        <source>The playback history could not be exported</source>
        <extracomment>Title and headline of the message shown when the CSV export could not be written.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/PlaybackHistory/PlaybackHistoryWindowView.cpp" line="+53"/>
        <source>All</source>
        <extracomment>Playback History filter: every play.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Differed</source>
        <extracomment>Playback History filter: plays whose rate was not the predicted one.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Estimates</source>
        <extracomment>Playback History filter: plays predicted by an estimate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pins</source>
        <extracomment>Playback History filter: plays of a pinned track.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No prediction</source>
        <extracomment>Playback History filter: plays without a predicted rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+88"/>
        <source>%1 plays</source>
        <extracomment>Playback History: how many plays.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 of %2 plays</source>
        <extracomment>Playback History: plays shown, of all plays.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 differed from the prediction</source>
        <extracomment>Playback History: plays whose rate was not the predicted one.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 remembered by the Rate Library</source>
        <extracomment>Playback History: plays the Rate Library learned from.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RateLibrary</name>
    <message>
        <location filename="../SwitcherCore/RateLibraryFile.cpp" line="+190"/>
        <source>This Rate Library file was made by a newer version of Corvane Zuvaradi. Update the app to open it.</source>
        <extracomment>Opening a Rate Library file that a newer version of the app wrote.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>This file is not a Rate Library file.</source>
        <extracomment>Opening a file that is not a Rate Library file at all.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>This Rate Library file is damaged and cannot be read.</source>
        <extracomment>Opening a Rate Library file whose contents cannot be read.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/EmptyStateView.cpp" line="+21"/>
        <source>Needs Corvane Mac Remote connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The Rate Library lives in Corvane Mac Remote. Open and play through Music.app to pair.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Loading…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Asking Corvane for its Rate Library.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nothing matches the filters. &quot;All settings&quot; shows every row.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The Rate Library is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play a few tracks through Music.app and they appear here. Scan Local Files stores every local file&apos;s rate at once.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/FilterBar.cpp" line="+26"/>
        <location line="+5"/>
        <source>Show rates for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A track&apos;s rate is remembered separately for each Music.app streaming setting it was heard under. The first item follows whatever Music.app is set to. Local files and uploads play the same under every setting and are always shown.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryRowText.cpp" line="+82"/>
        <source>Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Search track, artist or album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/LearnedRatesView.cpp" line="+49"/>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryRowText.cpp" line="+26"/>
        <source>Pinned</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryRowText.cpp" line="+14"/>
        <source>Learned</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Local files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+109"/>
        <source>Any rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryCells/RateLibraryDelegates.cpp" line="+87"/>
        <source>Now playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryDialogs.cpp" line="+17"/>
        <source>Clear the Rate Library?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every learned rate under every setting. Pins, scanned local files and your Dolby Atmos answers stay. Normally unnecessary — a wrong rate self-corrects over a few plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clear Rate Library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete the whole Rate Library?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every learned rate, every pin, every scanned local file, every Dolby Atmos answer. Corvane starts learning again from the next play. The last copy is kept beside the file until the next Delete Everything — Import… can bring it back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Delete All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove every pin?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every rate you pinned, under every setting, goes back to what Corvane learned for the track — or to Apple&apos;s catalog where nothing was learned yet. Learned rates, scanned local files and your Dolby Atmos answers stay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Remove All Pins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryMenus.cpp" line="+39"/>
        <source>Unpin (remove)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Local file · %1</source>
        <extracomment>Unpin to the local file&apos;s own rate (placeholder).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Learned · %1</source>
        <extracomment>Unpin to the learned rate (placeholder).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Pin at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Unpin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Music.app&apos;s setting (can&apos;t be read)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Music.app&apos;s setting (tier %1, not recognised)</source>
        <extracomment>The placeholder is Music.app&apos;s own tier number.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Music.app&apos;s setting (%1)</source>
        <extracomment>The placeholder is the setting&apos;s name, such as &quot;Hi-Res Lossless&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Hi-Res Lossless</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lossless</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lossless off (AAC)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>All settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/Explainer/ExplainerTexts.cpp" line="+56"/>
        <source>Condition 1 · Music.app setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Not readable</source>
        <extracomment>Music.app&apos;s audio-quality setting could not be read.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Lossless, tier %1</source>
        <extracomment>Music.app&apos;s Lossless setting with an unrecognised tier number.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Every step below answers for the setting in force, but Music.app’s audio quality setting can’t be read — rates are filed by what actually plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Every step below answers for this setting: tracks stream as AAC, and only rates confirmed under it are used. Lossless rates are kept for when you switch back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Every step below answers for this setting: a confirmed rate, an album’s rate and the catalog’s rendition are all taken under Hi-Res Lossless (up to 192 kHz). Rates confirmed under other settings are kept, not used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Every step below answers for this setting: a confirmed rate, an album’s rate and the catalog’s rendition are all taken under Lossless (up to 48 kHz). Rates confirmed under other settings are kept, not used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Every step below answers for the setting in force, but this quality tier isn’t recognised — rates are filed by what actually plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Condition 2 · Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>What the Dolby Atmos answer means</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The output the Dolby Atmos answer below is about — the attached one, or one the Rate Library remembers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Dolby Atmos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Whether this output plays the Atmos mix (always 48 kHz) or the lossless stereo version instead decides how an Atmos track&apos;s rate is predicted before its first play here. Left to plays, the first Atmos track answers it. Asked only while Music.app&apos;s Dolby Atmos setting is Automatic.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+8"/>
        <source>Learn from plays</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-7"/>
        <location line="+73"/>
        <source>Dolby Atmos–compatible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-73"/>
        <source>Not Dolby Atmos–compatible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Dolby Atmos–compatible — the Atmos mix plays, always 48 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not Dolby Atmos–compatible — the lossless stereo version plays instead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Forget what plays learned</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Applies to Dolby Atmos tracks only. Music.app’s Dolby Atmos setting is Always On, so the Atmos mix (always 48 kHz) plays on every output — predicted without asking.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Applies to Dolby Atmos tracks only. Music.app’s Dolby Atmos setting is Off, so the lossless stereo version plays on every output — predicted like any other track.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Applies to Dolby Atmos tracks only. Not yet known whether this output plays the Atmos mix (48 kHz) or the lossless stereo version instead. The first Atmos track you play settles it — or choose.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Applies to Dolby Atmos tracks only. This output plays the Atmos mix, which is always 48 kHz — so that is the prediction for every Atmos track here. Your choice.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Applies to Dolby Atmos tracks only. This output plays the Atmos mix, which is always 48 kHz — so that is the prediction for every Atmos track here. Learned from plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Applies to Dolby Atmos tracks only. This output can’t play the Atmos mix, so Music.app plays the track’s lossless stereo version instead — the steps below predict that version’s rate. Your choice.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Applies to Dolby Atmos tracks only. This output can’t play the Atmos mix, so Music.app plays the track’s lossless stereo version instead — the steps below predict that version’s rate. Learned from plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Dolby Atmos on this output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>With Music.app’s Dolby Atmos set to Automatic, an Atmos track plays its Atmos mix only on a Dolby Atmos–compatible output — Apple silicon speakers, AirPods, an Atmos receiver. On any other output Music.app skips the Atmos mix and plays the track’s ordinary lossless stereo version. Knowing which lets Corvane set the right rate before the track’s first play here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+2"/>
        <source>Atmos track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-2"/>
        <source>the Atmos mix plays</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>48 kHz, always</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not compatible (stereo)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the lossless stereo version plays instead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>that version’s own rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Learn from plays is the default: the first Atmos track you play answers it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A wrong answer costs one wrong first play per Atmos track; plays then correct it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Only asked while Music.app’s Dolby Atmos setting is Automatic.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Prediction order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Read under the two conditions above, the first step that knows the track sets the output rate before it plays; the play then confirms it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>A pinned rate, or a local file’s own rate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The rate an earlier play of this track confirmed under this setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A rate confirmed for another track of the album under this setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The track’s quality tags and the renditions listed in its streaming manifest.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The tags plus this library’s usual rate for the tier, when the tags and the manifest disagree or the manifest is incomplete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>A pin is your word for the track under the setting in force; a scanned local file&apos;s rate is the file&apos;s own. Either is used as is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The Rate Library&apos;s row for this track under Music.app&apos;s current setting — what a play confirmed. Used as is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Another track of the same album confirmed under this setting, used when it is above what the catalog lists for this track. The play confirms or corrects it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Two pieces of Apple&apos;s data: the track&apos;s quality tags (Lossless, Hi-Res Lossless, Dolby Atmos) and the lossless renditions its streaming manifest lists. The highest allowed under Music.app&apos;s setting is the prediction. The play confirms or corrects it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>When the manifest is not available, or a Hi-Res-tagged track&apos;s manifest lists nothing above 48 kHz: the tags plus the rate this library most often confirms for that tier. The play confirms or corrects it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>CERTAIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PREDICTED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No plays yet — play a track through Music.app and it appears here with its prediction.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 from step %2, %3, under %4</source>
        <extracomment>The latest play: the predicted rate, the prediction step&apos;s number and name, and Music.app&apos;s setting (&quot;Hi-Res Lossless&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 from step %2, %3</source>
        <extracomment>The latest play: the predicted rate, the prediction step&apos;s number and name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>played at %1</source>
        <extracomment>The latest play streamed at another rate than predicted.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>playing at %1</source>
        <extracomment>The latest play&apos;s stream rate, when nothing was predicted.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+6"/>
        <source>no prediction: %1</source>
        <extracomment>The placeholder is Corvane&apos;s reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-4"/>
        <source>nothing was predicted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>predicted, not yet played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Music.app took %1 to start it</source>
        <extracomment>How long Music.app took to start the track; the placeholder is seconds (&quot;1.5 s&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The last eight plays: what was predicted, what played, what the Rate Library did. Hover a row to light its step above.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryRowText.cpp" line="-43"/>
        <source>Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Predicted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../Corvane_Switcher/RateLibrary/ImportPreviewSheet.cpp" line="+74"/>
        <source>From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Load</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Outcome</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>How long Music.app took to start the track after Corvane asked for it — a pick, or the next track after a Stop to Switch change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Last %1 plays. Hover a row to light its step above.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Show all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/RateLibraryRowText.cpp" line="+1"/>
        <source>Album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Confirmed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Library track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Catalog track %1</source>
        <extracomment>A track with no title; the placeholder is its catalog id.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Local file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Imported ×%1</source>
        <extracomment>Source badge: imported, confirmed this many times.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Learned ×%1</source>
        <extracomment>Source badge: learned, confirmed this many times.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Plays the same under every Music.app setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Heard with Music.app set to %1</source>
        <extracomment>The placeholder is Music.app&apos;s setting, such as &quot;Hi-Res Lossless&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Connect an output to change pins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/FooterBar.cpp" line="+143"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Rate Library actions</source>
        <extracomment>Accessible name of the Rate Library&apos;s gear menu.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/FooterTexts.cpp" line="+32"/>
        <source>Local file scan failed — %1</source>
        <extracomment>The placeholder is the reason, as macOS or Music.app gave it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No local files in Music.app — every track streams, so there was nothing to scan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Scanned %1 local files: %2 matched Corvane&apos;s library, %3 rates stored, %4 not in the library</source>
        <extracomment>Local file scan result: files scanned, files matched, rates stored, files not in Corvane&apos;s library.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Scanned %1 local files: %2 matched Corvane&apos;s library, %3 rates stored</source>
        <extracomment>Local file scan result: files scanned, files matched, rates stored.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reading local files from Music…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 rows</source>
        <extracomment>Rate Library row count.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 of %2 rows</source>
        <extracomment>Rate Library rows shown, of all rows.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 tracks</source>
        <extracomment>Rate Library track count.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 pinned</source>
        <extracomment>Rate Library: rows pinned.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Scanning…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Scan Local Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reads every local file&apos;s sample rate from Music.app and stores it, so local files switch correctly on their first play.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Show File in Finder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export Backup…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Import…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Remove All Pins…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clear Rate Library…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete Everything…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/ImportPreviewSheet.cpp" line="-1"/>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Contains</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/RateLibrary/ImportPreviewTexts.cpp" line="+16"/>
        <source>Import “%1”?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>A shared Rate Library (another user&apos;s confirmed rates)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A Rate Library backup (everything: rates, pins, local files, Dolby Atmos answers)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>the %1 storefront</source>
        <extracomment>An Apple Music storefront by its country code, such as &quot;the AU storefront&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>written %1</source>
        <extracomment>When the file was written: a date and time.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>file version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unknown (no header — an older file)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 tracks</source>
        <comment>in the file being imported</comment>
        <extracomment>Tracks in the file being imported.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nothing is replaced: a shared row never displaces a rate learned here, and the first play here makes it first-hand. Pins, local files and outputs are not in a shared file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nothing is replaced: the more recent confirmation wins a row, your pins always stand, and nothing is removed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Shell</name>
    <message>
        <location filename="../Corvane_Switcher/Platform/QtFilePanels.cpp" line="+34"/>
        <source>Export Backup</source>
        <extracomment>Save panel title.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Backup — everything: rates, pins, local files, Dolby Atmos answers (*.corvanerates)</source>
        <extracomment>Export choice: the whole Rate Library, to restore later.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shared file — confirmed rates only (*.corvanerates)</source>
        <extracomment>Export choice: only confirmed rates, to give to someone else.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Import</source>
        <extracomment>Open panel title.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Rate Library files (*.corvanerates *.json)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Comma-separated text (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/Shell/TrayMenu.cpp" line="+24"/>
        <location filename="../Corvane_Switcher/Shell/WindowScenes.cpp" line="+69"/>
        <source>Rate Library</source>
        <extracomment>Tray menu item that opens the Rate Library window.
----------
Window title of the Rate Library window.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../Corvane_Switcher/Shell/WindowScenes.cpp" line="+2"/>
        <source>Playback History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../Corvane_Switcher/Shell/WindowScenes.cpp" line="+2"/>
        <source>Switch Method Visualizer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quit Corvane Zuvaradi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/Shell/WindowScenes.cpp" line="-40"/>
        <source>This window could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/Shell/SingleInstance.cpp" line="+123"/>
        <source>Corvane Zuvaradi is already running but did not take this launch&apos;s request (%1).</source>
        <extracomment>Printed when a second launch cannot reach the app already running; the placeholder is the reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwitchTiming</name>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingCards.cpp" line="+81"/>
        <source>The hand-over point: the next track&apos;s rate differs, so it is kept back from Music.app.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The first note, after Music.app&apos;s typical load of %1 (assumed).</source>
        <extracomment>The placeholder is an assumed load time in seconds (&quot;0.9 s&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The first note, after Music.app&apos;s typical load of %1.</source>
        <extracomment>The placeholder is the measured load time in seconds (&quot;0.9 s&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Relock Time %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Minimum Quiet %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The fading music drops under the Silence Threshold, %1 dBFS — but late.</source>
        <extracomment>The placeholder is the Silence Threshold in whole decibels (&quot;-55&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Quiet found later than that gets the brief pause — see A fade found late; quiet found after the Pause Point is passed over and the fallback method takes the change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quiet found later than that is passed over — Switch at the End has already fired at the Relock Time, quiet or not, so Extend a Late Fade with a Brief Pause is not used with it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quiet found later than that is passed over — the fallback method takes the change (or turn on Extend a Late Fade with a Brief Pause).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The Zuvaradi meters Music.app&apos;s stream through the Listening Window. Quiet that holds for the Minimum Quiet with at least the Relock Time still to run switches the output inside the fade; the next track is handed to Music.app and runs on without a gap.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+75"/>
        <location line="+66"/>
        <location line="+108"/>
        <location line="+39"/>
        <location line="+24"/>
        <source>outgoing track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-311"/>
        <location line="+77"/>
        <location line="+119"/>
        <location line="+55"/>
        <location line="+38"/>
        <source>next track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/RailFills.cpp" line="+78"/>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingCards.cpp" line="-288"/>
        <location line="+77"/>
        <location line="+64"/>
        <location line="+55"/>
        <location line="+55"/>
        <location line="+38"/>
        <location line="+41"/>
        <source>current rate</source>
        <extracomment>Rail legend: the outgoing track, and the output at its current rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>fading out</source>
        <extracomment>Rail legend: the outgoing track fading out.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>relock (muted)</source>
        <extracomment>Rail legend: the DAC relocking to the new rate, muted.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>lost under the mute</source>
        <extracomment>Rail legend: music that plays under the DAC&apos;s mute and is not heard.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>pause or delay</source>
        <extracomment>Rail legend: a pause, a delay, or the fallback method&apos;s switch.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Music.app loading</source>
        <extracomment>Rail legend: Music.app loading the next track.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>last moment after a pause</source>
        <extracomment>Rail legend: the outgoing track&apos;s last moment, played after a brief pause.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>last moment</source>
        <extracomment>Rail legend: the outgoing track&apos;s last moment.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingCards.cpp" line="-329"/>
        <location line="+77"/>
        <location line="+119"/>
        <location line="+55"/>
        <location line="+38"/>
        <location line="+41"/>
        <source>relock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/RailFills.cpp" line="-15"/>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingCards.cpp" line="-329"/>
        <location line="+77"/>
        <location line="+119"/>
        <location line="+55"/>
        <location line="+38"/>
        <location line="+41"/>
        <source>new rate</source>
        <extracomment>Rail legend: the next track, and the output at its new rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingCards.cpp" line="-325"/>
        <source>The Listening Window opens: the Zuvaradi starts metering how loud Music.app is playing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The Listening Window opens and the hand-over point passes: the next track&apos;s rate differs, so it is kept back from Music.app.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The fading music drops under the Silence Threshold, %1 dBFS.</source>
        <extracomment>The placeholder is the Silence Threshold in whole decibels (&quot;-55&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>It has stayed quiet for the Minimum Quiet, %1, with at least the Relock Time still to go: the switch is sent and the next track handed over.</source>
        <extracomment>The placeholder is the Minimum Quiet in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The outgoing track ends under the last of the quiet and the next runs on at its rate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Listening Window %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>next track kept back from Music.app until the fade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Relock Time %1 — must end before the track does</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>A fade found early</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Quiet confirmed with less than the Relock Time left (here %1) still switches. Playback pauses at the Pause Point for only what the relock has left — the Relock Time minus the time that was left at the switch, %2 here — then the last %3 plays under the mute&apos;s tail and the next track starts as the mute ends. In Stop to Switch the next track is handed to Music.app at the switch, as when the fade is found early.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+174"/>
        <source>paused %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-173"/>
        <source>stub</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>It has stayed quiet for the Minimum Quiet, %1, but with less than the Relock Time left: the switch is sent anyway.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The Pause Point, %1 before the end: playback pauses.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Playback resumes: the last %1 plays under the mute&apos;s tail.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+170"/>
        <source>The mute ends and the next track starts at its rate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-166"/>
        <source>Relock Time %1 — finished inside the pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>paused %1 = Relock Time − %2 left</source>
        <extracomment>The pause length, then the time that was left at the switch; both in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Extend a Late Fade with a Brief Pause is not used with Switch at the End, which fires at the Relock Time before the end, quiet or not.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Extend a Late Fade with a Brief Pause is off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The Pause Point (%1) is at or beyond the Relock Time (%2): quiet found with less than the Relock Time left is already past the Pause Point, so there is nothing to pause into. Lower the Pause Point below the Relock Time to extend late fades.</source>
        <extracomment>Two durations in milliseconds: the Pause Point, then the Relock Time.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Quiet confirmed with less than the Relock Time left (here %1) is passed over: no switch is sent inside the fade, and the fallback method takes the change at the end of the track.</source>
        <extracomment>The placeholder is a duration in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>next track · as the fallback method has it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the fallback method&apos;s switch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>It has stayed quiet for the Minimum Quiet, %1, but with less than the Relock Time left: passed over, nothing is sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The track ends; the fallback method takes the change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 left — less than the Relock Time %2</source>
        <extracomment>The time left at the switch, then the Relock Time; both in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Pause Point %1 — at or beyond the Relock Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>A fade found late</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Music.app is handed nothing beyond the current track until %1 s before its end; a next track at a different rate is withheld, so Music.app stops by itself when the track ends — to its last sample. The switch is sent in that stop; after the Delay Added, Music.app is asked for the next track and loads it. The silence is the delay plus that load.</source>
        <extracomment>The placeholder is a whole number of seconds (&quot;5&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>outgoing track · to its last sample</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Music.app stops at the end of the track and the switch is sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After the Delay Added, %1, the next track is asked for.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The next track is asked for at once (no Delay Added).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>next track kept back from Music.app — it stops at the end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+126"/>
        <source>Delay Added %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-122"/>
        <location line="+138"/>
        <source>Stop to Switch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-127"/>
        <source>Playback is paused at the Pause Point before the end and the switch is sent into the pause. Playback resumes with the Pause Point&apos;s worth of the Relock Time still to run, so the outgoing track&apos;s last %1 plays under the DAC&apos;s mute — it is lost — and the next track&apos;s first note lands as the mute ends. The pause is a command to Music.app, so it can land late on a busy Mac; the resume is timed from where it actually landed.</source>
        <extracomment>The placeholder is the Pause Point in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+38"/>
        <source>lost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-31"/>
        <source>The Pause Point, %1 before the end: playback pauses and the switch is sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Playback resumes: the last %1 of the track plays under the mute&apos;s tail, lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>paused %1 = Relock Time − Pause Point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+91"/>
        <source>Pause to Switch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-84"/>
        <source>The switch is sent the Relock Time before the end, so the DAC&apos;s mute covers the outgoing track&apos;s final %1 — that much of it is lost — and the next track starts already at its rate with no pause and no gap. For anyone who would rather lose a track&apos;s last moment than hear any silence.</source>
        <extracomment>The placeholder is the Relock Time in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>The Relock Time, %1, before the end: the switch is sent, quiet or not.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The next track starts at its rate as the mute ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Relock Time %1 — the end of the track, under the mute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+62"/>
        <source>Switch at the End</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-56"/>
        <source>Nothing is sent at the change. The next track plays on at the current output rate, resampled, until you pick a track.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>next track · resampled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>current rate, unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The next track runs on at the old rate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+49"/>
        <source>Don&apos;t Switch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Zero here is the pick itself. The switch is sent at once and whatever was playing is paused; after the Delay Added Music.app is asked for the track and loads it. The delay only exists to cover a DAC that relocks slower than Music.app loads — set automatically it is that difference, or nothing. A same-rate pick has no switch and no delay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>the pick</source>
        <extracomment>The caption of the zero line on the picked-track rail.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>whatever was playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>picked track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The pick: the switch is sent and Music.app is paused.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>After the Delay Added, %1, the track is asked for.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The track is asked for at once (no Delay Added).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+53"/>
        <source>A picked track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-42"/>
        <source>Fade-Out Switching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+43"/>
        <source>A picked track — Next, Previous, a new play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingView.cpp" line="+29"/>
        <source>the end of the outgoing track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+76"/>
        <source>Primary Switch Method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Switch Method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Fallback Switch Method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Always On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>delay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>loading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>typical load %1 (assumed)</source>
        <extracomment>Under Music.app&apos;s loading band when nothing was measured; the placeholder is seconds (&quot;0.9 s&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>typical load %1</source>
        <extracomment>Under Music.app&apos;s loading band; the placeholder is the measured median in seconds (&quot;0.9 s&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SwitchTimingWindow.cpp" line="+70"/>
        <source>Every method on one clock, drawn with your settings and Music.app&apos;s measured load. Time runs to the end of the outgoing track (or, for a picked track, to the pick). The next track expects a different rate; a same-rate track is simply handed over and none of this happens. The controls here are the same ones as in Settings; a click on a label that names one lights it.</source>
        <extracomment>The visualizer&apos;s introduction, once Music.app&apos;s load times have been measured.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Every method on one clock, drawn with your settings. Time runs to the end of the outgoing track (or, for a picked track, to the pick). The next track expects a different rate; a same-rate track is simply handed over and none of this happens. The controls here are the same ones as in Settings; a click on a label that names one lights it.</source>
        <extracomment>The visualizer&apos;s introduction, before any load time has been measured.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Switch Method Visualizer</source>
        <extracomment>Title of the Switch Method Visualizer window.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Relock Time</source>
        <extracomment>A setting&apos;s name, as Settings has it: how long the DAC takes to relock after a rate change.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>How long your DAC takes to relock and unmute after a rate change — the audible mute. Every method below is timed by it; macOS cannot measure it, so it is yours to set.</source>
        <extracomment>Under &quot;Relock Time&quot; at the top of the visualizer.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Pick a method above to see how it&apos;s timed; the radio in the card&apos;s title is what chooses it.</source>
        <extracomment>The closing line of the visualizer.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/CardHeader.cpp" line="+189"/>
        <source>needs macOS 14.4 or later</source>
        <extracomment>Beside the fade-out switching toggle on a system where it cannot run.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/CasePicker.cpp" line="+32"/>
        <source>Case</source>
        <extracomment>Accessible name of the chips that choose which situation a card shows.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/GroupStyle.cpp" line="+53"/>
        <source>First choice</source>
        <extracomment>Caption over the tab of the method used first (fade-out switching).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>When there&apos;s no fade</source>
        <extracomment>Caption over the tabs of the methods used when no fade is found.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>If you&apos;d rather</source>
        <extracomment>Caption over the tabs of the other methods one can choose instead.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Always on</source>
        <extracomment>Caption over the tab of what always applies (a picked track).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/RailLegend.cpp" line="+28"/>
        <source>Legend</source>
        <extracomment>Accessible name of the legend of the timelines&apos; colours.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/RailSteps.cpp" line="+84"/>
        <source>Steps</source>
        <extracomment>Accessible name of the numbered steps under a timeline.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/SettingRows.cpp" line="+41"/>
        <source>Listening Window</source>
        <extracomment>A setting&apos;s name, as Settings has it: how long before the end the fade is listened for.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Silence Threshold</source>
        <extracomment>A setting&apos;s name, as Settings has it: how quiet the music must get to count as quiet.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Minimum Quiet</source>
        <extracomment>A setting&apos;s name, as Settings has it: how long the quiet must hold.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>not used with Switch at the End</source>
        <extracomment>Beside &quot;Extend a Late Fade with a Brief Pause&quot; while Switch at the End is the method.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Extend a Late Fade with a Brief Pause</source>
        <extracomment>A setting&apos;s name, as Settings has it (a switch).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Pause Point</source>
        <extracomment>A setting&apos;s name, as Settings has it: where playback pauses before the end.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 before the end</source>
        <extracomment>The Pause Point&apos;s value: milliseconds before the end of the track.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 · automatic</source>
        <extracomment>Delay Added, figured automatically; the placeholder is milliseconds (&quot;1500 ms&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delay Added</source>
        <extracomment>A setting&apos;s name, as Settings has it: the wait before a new track is asked for.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Set Automatically</source>
        <extracomment>A button: Delay Added goes back to being figured automatically.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitchTiming/TimelineRail.cpp" line="+90"/>
        <source>Music.app</source>
        <extracomment>The upper lane of a timeline: what Music.app plays.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Output rate</source>
        <extracomment>The lower lane of a timeline: the output device&apos;s sample rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+172"/>
        <source>%1. %2</source>
        <extracomment>A step of a timeline: its number, then what happens.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Timeline</source>
        <extracomment>Accessible name of a timeline.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwitcherLink</name>
    <message>
        <location filename="../SwitcherCore/SwitcherLink.cpp" line="+435"/>
        <source>Port %1 is in use by another app.</source>
        <extracomment>The link to the companion could not start. The placeholder is a port number.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Could not listen on port %1: %2</source>
        <extracomment>The link to the companion could not start. %1 is a port number, %2 the system&apos;s reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Could not listen on ports %1 to %2: %3</source>
        <extracomment>The link to the companion could not start. %1 and %2 are port numbers, %3 the system&apos;s reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No free port between %1 and %2 — another app is using them.</source>
        <extracomment>The link to the companion could not start. The placeholders are port numbers.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwitcherModel</name>
    <message>
        <location filename="../Corvane_Switcher/Platform/LinuxMusicApp.cpp" line="+83"/>
        <location filename="../Corvane_Switcher/SwitcherModelRateLibrary.cpp" line="+323"/>
        <source>Music.app isn&apos;t running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitcherModel.cpp" line="+124"/>
        <source>The playback history could not be loaded</source>
        <extracomment>Title of the notification shown when the history file was set aside or could not be read at start.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+45"/>
        <source>The playback history could not be saved</source>
        <extracomment>Title of the notification shown when the history file could not be written.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+362"/>
        <source>Switching inside a fade-out needs the System Audio Recording permission — allow Corvane Zuvaradi in System Settings › Privacy &amp; Security.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitcherModelRateLibrary.cpp" line="-206"/>
        <source>Corvane did not answer — is Corvane Mac Remote up to date and still paired?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Connect Corvane Mac Remote to export the Rate Library.</source>
        <extracomment>The Rate Library lives in the companion app; nothing can be exported without it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Preparing the shared file…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preparing the backup…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>The Rate Library could not be exported.</source>
        <extracomment>The companion refused to hand over its Rate Library and gave no reason.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Corvane sent a Rate Library that could not be read; nothing was written.</source>
        <extracomment>The companion answered an export with data that is not a Rate Library; nothing was written.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>the Rate Library could not be compressed</source>
        <extracomment>Why an export could not be written: compressing the data failed.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Couldn&apos;t write %1: %2.</source>
        <extracomment>A file name, then the reason the system gave.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Exported the shared file to %1.</source>
        <extracomment>The placeholder is a file name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Exported the backup to %1.</source>
        <extracomment>The placeholder is a file name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+34"/>
        <source>Connect Corvane Mac Remote to import a Rate Library.</source>
        <extracomment>The Rate Library lives in the companion app; nothing can be imported without it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+122"/>
        <source>%1 could not be written: %2. A file that was already there is left as it was.</source>
        <extracomment>Why a CSV export failed. The placeholders are the chosen file&apos;s path and the system&apos;s reason. The export writes a whole new file or nothing, so a file already there is unchanged.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-306"/>
        <source>%1 is too large to be a Rate Library.</source>
        <extracomment>A file name; the file is far larger than any Rate Library.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Couldn&apos;t read %1: %2.</source>
        <extracomment>A file name, then the reason the system gave.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Couldn&apos;t import %1: %2</source>
        <extracomment>A file name, then why it can&apos;t be imported.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+162"/>
        <source>Reading %1…</source>
        <extracomment>The placeholder is a file name; the companion is checking what importing it would do.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+20"/>
        <source>The file could not be imported.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Imported %1: %2</source>
        <extracomment>A file name, then what the import did (&quot;40 new, 12 updated, 260 already known&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Importing %1…</source>
        <extracomment>The placeholder is a file name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../Corvane_Switcher/SwitcherModelTexts.cpp" line="+16"/>
        <source>%1 new</source>
        <extracomment>Import result: tracks added.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+15"/>
        <source>%1 updated</source>
        <extracomment>Import result: tracks or outputs updated.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-13"/>
        <source>%1 already known</source>
        <extracomment>Import result: tracks already in the library.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 skipped</source>
        <extracomment>Import result: tracks skipped.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 outputs added</source>
        <extracomment>Import result: output devices added.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Music.app load not measured yet · about 0.9 s assumed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Music.app load · fastest %1 · typical %2 · slowest %3</source>
        <extracomment>Music.app&apos;s load times: fastest, typical, slowest, each in seconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwitcherProtocol</name>
    <message>
        <location filename="../SwitcherCore/SwitcherProtocol.cpp" line="+41"/>
        <source>Hi-Res</source>
        <extracomment>Rate Library column: the row was heard with Music.app set to Hi-Res Lossless. Keep Music.app&apos;s own short word.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+25"/>
        <source>Lossless</source>
        <extracomment>Music.app&apos;s Lossless audio quality, in Music.app&apos;s own word.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-19"/>
        <source>Unknown</source>
        <extracomment>Rate Library column: Music.app&apos;s setting could not be read.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Local file</source>
        <extracomment>Rate Library column: a local file&apos;s own rate.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Any</source>
        <extracomment>Rate Library column: plays the same under every Music.app setting.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Hi-Res Lossless</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Lossless off (AAC)</source>
        <extracomment>Music.app&apos;s audio-quality setting with Lossless turned off.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>an unrecognised setting</source>
        <extracomment>Music.app&apos;s audio-quality setting when it could not be read; used inside a sentence (&quot;under an unrecognised setting&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the local file</source>
        <extracomment>Used inside a sentence (&quot;under the local file&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>any setting</source>
        <extracomment>Used inside a sentence (&quot;under any setting&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
