#pragma once

// Condition 1: Music.app's audio-quality setting and the sentence saying under which setting
// every prediction step answers.

#include "SwitcherProtocol.h"

#include <QWidget>

#include <optional>

class QLabel;

class MusicSettingCondition final : public QWidget {
public:
    explicit MusicSettingCondition(QWidget *parent = nullptr);

    void showSetting(const std::optional<SwitcherProtocol::MusicQuality> &quality);
    QString value() const;
    QString sentence() const;

private:
    QLabel *m_value = nullptr;
    QLabel *m_sentence = nullptr;
};
