<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>PlaybackHistoryWindow</name>
    <message numerus="yes">
        <location filename="../Corvane_Switcher/PlaybackHistory/PlaybackHistoryWindowView.cpp" line="+153"/>
        <source>%n plays</source>
        <extracomment>Playback History: how many plays.</extracomment>
        <translation>
            <numerusform>%n play</numerusform>
            <numerusform>%n plays</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%1 of %n plays</source>
        <extracomment>Playback History: plays shown, of all plays.</extracomment>
        <translation>
            <numerusform>%1 of %n play</numerusform>
            <numerusform>%1 of %n plays</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n differed from the prediction</source>
        <extracomment>Playback History: plays whose rate was not the predicted one.</extracomment>
        <translation>
            <numerusform>%n differed from the prediction</numerusform>
            <numerusform>%n differed from the prediction</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n remembered by the Rate Library</source>
        <extracomment>Playback History: plays the Rate Library learned from.</extracomment>
        <translation>
            <numerusform>%n remembered by the Rate Library</numerusform>
            <numerusform>%n remembered by the Rate Library</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RateLibrary</name>
    <message numerus="yes">
        <location filename="../Corvane_Switcher/RateLibrary/Explainer/ExplainerTexts.cpp" line="+371"/>
        <source>Last %n plays. Hover a row to light its step above.</source>
        <extracomment>Under the recent plays: how many are listed.</extracomment>
        <translation>
            <numerusform>Last %n play. Hover a row to light its step above.</numerusform>
            <numerusform>Last %n plays. Hover a row to light its step above.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../Corvane_Switcher/RateLibrary/FooterTexts.cpp" line="+39"/>
        <source>%n local files</source>
        <extracomment>Local file scan result, inside &quot;Scanned %1: …&quot;: local files read from Music.app.</extracomment>
        <translation>
            <numerusform>%n local file</numerusform>
            <numerusform>%n local files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n matched Corvane&apos;s library</source>
        <extracomment>Local file scan result: files that Corvane&apos;s library knows.</extracomment>
        <translation>
            <numerusform>%n matched Corvane&apos;s library</numerusform>
            <numerusform>%n matched Corvane&apos;s library</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n rates stored</source>
        <extracomment>Local file scan result: rates stored.</extracomment>
        <translation>
            <numerusform>%n rate stored</numerusform>
            <numerusform>%n rates stored</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>%n not in the library</source>
        <extracomment>Local file scan result: files not in Corvane&apos;s library.</extracomment>
        <translation>
            <numerusform>%n not in the library</numerusform>
            <numerusform>%n not in the library</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+10"/>
        <source>%n rows</source>
        <extracomment>Rate Library row count.</extracomment>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%1 of %n rows</source>
        <extracomment>Rate Library rows shown, of all rows.</extracomment>
        <translation>
            <numerusform>%1 of %n row</numerusform>
            <numerusform>%1 of %n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n tracks</source>
        <extracomment>Rate Library track count.</extracomment>
        <translation>
            <numerusform>%n track</numerusform>
            <numerusform>%n tracks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n pinned</source>
        <extracomment>Rate Library: rows pinned.</extracomment>
        <translation>
            <numerusform>%n pinned</numerusform>
            <numerusform>%n pinned</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../Corvane_Switcher/RateLibrary/ImportPreviewTexts.cpp" line="+53"/>
        <source>%n tracks</source>
        <comment>in the file being imported</comment>
        <extracomment>Tracks in the file being imported.</extracomment>
        <translation>
            <numerusform>%n track</numerusform>
            <numerusform>%n tracks</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SwitcherModel</name>
    <message numerus="yes">
        <location filename="../Corvane_Switcher/SwitcherModelTexts.cpp" line="+16"/>
        <source>%n new</source>
        <extracomment>Import result: tracks added.</extracomment>
        <translation>
            <numerusform>%n new</numerusform>
            <numerusform>%n new</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <location line="+15"/>
        <source>%n updated</source>
        <extracomment>Import result: tracks or outputs updated.</extracomment>
        <translation>
            <numerusform>%n updated</numerusform>
            <numerusform>%n updated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="-13"/>
        <source>%n already known</source>
        <extracomment>Import result: tracks already in the library.</extracomment>
        <translation>
            <numerusform>%n already known</numerusform>
            <numerusform>%n already known</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n skipped</source>
        <extracomment>Import result: tracks skipped.</extracomment>
        <translation>
            <numerusform>%n skipped</numerusform>
            <numerusform>%n skipped</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>%n outputs added</source>
        <extracomment>Import result: output devices added.</extracomment>
        <translation>
            <numerusform>%n output added</numerusform>
            <numerusform>%n outputs added</numerusform>
        </translation>
    </message>
</context>
</TS>
