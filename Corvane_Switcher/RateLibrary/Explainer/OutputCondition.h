#pragma once

// Condition 2: the output the Dolby Atmos answer is about, the answer menu, and the sentence
// that explains the answer. It only shows what it is given; choices run the items' actions.

#include "ExplainerModel.h"

#include <QWidget>

class ElidingLabel;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class TextSymbolButton;

class OutputCondition final : public QWidget {
    Q_OBJECT
public:
    struct State {
        RateLibrary::OutputControl control;
        bool answerShown = false;
        bool answerEnabled = false;
        QString answerLabel;
        RateLibrary::MenuItems answerItems;
        QString sentence;
    };

    // Up to this many outputs the output menu holds an item per output; past it, one scrolling list
    // of them (ListMenu), at least this wide.
    static constexpr qsizetype menuItemLimit = 40;
    static constexpr int listMenuWidth = 320;

    explicit OutputCondition(QWidget *parent = nullptr);

    void showState(State state);
    const State &state() const { return m_state; }

    QToolButton *infoButton() const { return m_info; }
    TextSymbolButton *outputMenuButton() const { return m_outputMenu; }
    ElidingLabel *outputName() const { return m_outputName; }
    QPushButton *answerButton() const { return m_answer; }
    // The answer menu, filled with the current items each time it opens.
    QMenu *answerMenu() const { return m_answerMenu; }
    QString sentence() const;

signals:
    void infoPressed();

private:
    void popUpOutputMenu();

    State m_state;
    QToolButton *m_info = nullptr;
    TextSymbolButton *m_outputMenu = nullptr;
    ElidingLabel *m_outputName = nullptr;
    QPushButton *m_answer = nullptr;
    QMenu *m_answerMenu = nullptr;
    QLabel *m_sentence = nullptr;
};
