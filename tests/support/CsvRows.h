#pragma once

// A CSV file read back as a spreadsheet would read it: by Python's csv module, strictly, from
// its bytes as UTF-8.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

inline QList<QStringList> csvRows(const QByteArray &bytes)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, io, json, sys\n"
                                 "f = io.TextIOWrapper(sys.stdin.buffer, encoding='utf-8', newline='')\n"
                                 "print(json.dumps(list(csv.reader(f, strict=True))))\n")});
    python.write(bytes);
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << python.readAllStandardError().toStdString();
        return {};
    }
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        rows.append(row.toVariant().toStringList());
    return rows;
}
