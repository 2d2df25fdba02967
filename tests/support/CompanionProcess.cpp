#include "CompanionProcess.h"

CompanionProcess::~CompanionProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool CompanionProcess::start(int timeoutMs)
{
    QStringList args;
    if (m_port != 0)
        args << QStringLiteral("--port") << QString::number(m_port);
    args << QStringLiteral("--library") << m_library;
    // A safety net so a stuck test never leaves the companion behind.
    args << QStringLiteral("--exit-after-ms") << QStringLiteral("60000");
    if (m_log)
        args << QStringLiteral("--log");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(m_binary, args);
    return m_process.waitForStarted(timeoutMs);
}

bool CompanionProcess::waitForFinished(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

QString CompanionProcess::errorText() const
{
    return m_process.errorString();
}

QString CompanionProcess::standardError()
{
    m_stderr += m_process.readAllStandardError();
    return QString::fromUtf8(m_stderr);
}
