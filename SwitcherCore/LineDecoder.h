#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts a byte stream into lines at '\n'. A trailing '\r' is dropped and empty lines are skipped.
// A line that grows beyond the cap is reported as soon as it does and its bytes are thrown away
// as they arrive (never held), up to and including its newline; the next line decodes again.
class LineDecoder final {
public:
    // One result of `feed`, in stream order: a complete line, or the place of an over-long one.
    struct Line {
        QByteArray text;
        bool tooLong = false;
    };

    explicit LineDecoder(qsizetype maximumLineBytes);

    QList<Line> feed(QByteArrayView bytes);
    // The same for bytes the caller appended to heldLine() itself, from `from` on (a large line
    // is then received where it is held, not copied there): while they hold no newline and the
    // line stays within the cap they stay where they are; otherwise they go through feed().
    QList<Line> feedHeld(qsizetype from);
    // Room for `bytes` more after what heldLine() holds, as feed() makes it.
    void makeRoom(qsizetype bytes);

    qsizetype maximumLineBytes() const { return m_maximumLineBytes; }
    // Bytes of an unfinished line so far, those a reader took out of it included (0 while an
    // over-long line is being discarded).
    qsizetype pendingBytes() const { return m_pendingBytes; }
    bool isDiscarding() const { return m_discarding; }

    // What is held of the unfinished line (while pendingBytes() > 0), for a reader that reads it
    // as it arrives: it may take out what it has read, which still counts towards the cap, and
    // the line comes out without it; it may also append to it, then call feedHeld().
    QByteArray &heldLine() { return m_pending; }
    // How long the last line of at least `roomFrom` bytes was; 0 before the first.
    qsizetype lastLongLineBytes() const { return m_lastLongLine; }

    // From this length on, an unfinished line is given room at once for the last line that grew
    // this long: the companion sends its whole Rate Library again after every change, and
    // growing a 28 MB buffer step by step copies it again and again into fresh memory.
    static constexpr qsizetype roomFrom = 1024 * 1024;

private:
    void hold(QByteArrayView bytes);
    void finishLine(QByteArrayView tail, QList<Line> &out);

    qsizetype m_maximumLineBytes;
    QByteArray m_pending;
    qsizetype m_pendingBytes = 0;
    qsizetype m_lastLongLine = 0;
    bool m_discarding = false;
};
