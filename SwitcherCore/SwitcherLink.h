#pragma once

#include "SwitcherProtocol.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <variant>

class QSettings;

// The link to the companion, Corvane Mac Remote: a TCP listener on 127.0.0.1 that accepts one
// companion at a time and exchanges newline-delimited JSON envelopes with it. The port is the
// one in "switcher.port" when set, else the first free one of 40300 to 40310; it is published
// in the port file "port" of the data folder while the listener runs.
//
// Every handler runs on the main thread. Every sender returns at once and sends nothing while
// the state is not `peer`.
class SwitcherLink final : public QObject {
    Q_OBJECT
public:
    struct Idle {
        bool operator==(const Idle &) const = default;
    };
    struct Listening {
        quint16 port = 0;
        bool operator==(const Listening &) const = default;
    };
    struct Peer {
        bool operator==(const Peer &) const = default;
    };
    struct Failed {
        QString text; // in words a user understands
        bool operator==(const Failed &) const = default;
    };
    using State = std::variant<Idle, Listening, Peer, Failed>;

    static constexpr quint16 firstPort = 40300;
    static constexpr quint16 lastPort = 40310;
    // A line longer than this closes the connection; a 100,000-row Rate Library fits.
    static constexpr qsizetype maximumLineBytes = 96 * 1024 * 1024;

    // `configuredPort` is the "switcher.port" setting (none: try 40300 to 40310);
    // `portFileDirectory` is where the port file goes (empty: the data folder).
    explicit SwitcherLink(std::optional<quint16> configuredPort = std::nullopt,
                          QString portFileDirectory = {}, QObject *parent = nullptr);
    ~SwitcherLink() override;

    void start();
    void stop();

    // For tests: a smaller line cap for connections accepted from now on.
    void setMaximumLineBytes(qsizetype bytes);

    const State &state() const { return m_state; }
    bool isPeer() const { return std::holds_alternative<Peer>(m_state); }
    QString portFilePath() const;

    std::function<void(const State &)> onState;
    std::function<void(const SwitcherProtocol::LearnedRates &)> onLearnedRates;
    std::function<void(const SwitcherProtocol::RateLibraryImported &)> onRateLibraryImported;
    std::function<void(const SwitcherProtocol::LocalFilesResult &)> onLocalFilesResult;
    std::function<void(const SwitcherProtocol::RateLibraryFile &)> onRateLibraryFile;

    // Senders, one per outgoing type.
    void sendLearnedRatesRequest(const SwitcherProtocol::LearnedRatesRequest &payload);
    void sendPinLearnedRate(const SwitcherProtocol::PinLearnedRate &payload);
    void sendUnpinLearnedRate(const SwitcherProtocol::RowRef &payload);
    void sendForgetLearnedRate(const SwitcherProtocol::RowRef &payload);
    void sendForgetRates();
    void sendResetStore();
    void sendRemoveAllPins();
    void sendSetDeviceAtmos(const SwitcherProtocol::SetDeviceAtmos &payload);
    void sendResetOutput(const SwitcherProtocol::ResetOutput &payload);
    void sendRateLibraryImport(const SwitcherProtocol::RateLibraryChunk &payload);
    // The same, with the chunk made and encoded on the connection's thread: a large file's
    // base64 never holds up the main thread. `makeChunk` must not touch main-thread state.
    void sendRateLibraryImport(std::function<SwitcherProtocol::RateLibraryChunk()> makeChunk);
    void sendDismissRateLibraryNotice();
    void sendLocalFiles(const SwitcherProtocol::LocalFilesBatch &payload);
    void sendRateLibraryExport(const SwitcherProtocol::RateLibraryExportRequest &payload);

private:
    void send(const QString &type, const QJsonObject &payload);
    void setState(State state);

    struct Private;
    std::unique_ptr<Private> d;
    State m_state = Idle{};
    std::optional<quint16> m_configuredPort;
    QString m_portFileDirectory;
};
