// What a run of tagbench-cli printed and its exit status, with its --json lines read back.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace clitest {

struct CliRun {
    int exit = -1;
    QString out;
    QString err;

    // Every line of standard output as a JSON object; a line that is not one fails the test.
    QList<QJsonObject> objects() const {
        QList<QJsonObject> list;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error{};
            const auto document = QJsonDocument::fromJson(line.toUtf8(), &error);
            if (error.error != QJsonParseError::NoError || !document.isObject()) {
                qWarning("not a JSON object: %s", qPrintable(line));
                return {};
            }
            list << document.object();
        }
        return list;
    }
    QList<QJsonObject> objects(const QString& kind) const {
        QList<QJsonObject> list;
        for (const QJsonObject& object : objects())
            if (object.value("kind").toString() == kind) list << object;
        return list;
    }
    QJsonObject outcome() const {
        const auto list = objects("outcome");
        return list.isEmpty() ? QJsonObject() : list.back();
    }
};

// The outcome object of a --json run agrees with the exit status.
inline bool OutcomeAgrees(const CliRun& run) {
    const QJsonObject outcome = run.outcome();
    return outcome.value("exit").toInt(-1) == run.exit &&
           outcome.value("ok").toBool() == (run.exit == 0);
}

// The settings a reader object carries, in one order, present ones only.
inline QString SettingsOf(const QJsonObject& object) {
    QStringList parts;
    for (const char* key :
         {"interface", "wiegand", "rs485", "cardType", "keyNumber", "keyParity", "keyStatusNumber",
          "keyDelaySeconds", "idSector", "idBlock", "idByte", "idKey", "idKeyError"}) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) continue;
        parts << QString(key) + "=" +
                     (value.isDouble() ? QString::number(value.toInt()) : value.toString());
    }
    return parts.join(' ');
}

// "COM3 19200,e,8,1 04 SER00003" for each reader object.
inline QStringList Readers(const CliRun& run) {
    QStringList readers;
    for (const QJsonObject& reader : run.objects("reader"))
        readers << QStringList{reader.value("port").toString(), reader.value("settings").toString(),
                               reader.value("id").toString(), reader.value("serial").toString()}
                       .join(' ');
    return readers;
}

}  // namespace clitest
