// Asking a simulated reader directly, without a line: a reader of a type as delivered, and its
// reply frame to one command text (empty when it stays silent). For the simulator's own tests.
#pragma once

#include <QByteArray>
#include <chrono>
#include <optional>

#include "SimReader.h"

inline tbsim::ReaderConfig Reader(tbsim::ReaderKind kind, int id = 1) {
    tbsim::ReaderConfig config;
    config.kind = kind;
    config.id = id;
    config.version = tbsim::DefaultVersion(kind);
    return config;
}

// `now`: when the reader heard the frame, for readers whose answers depend on time.
inline QByteArray Answer(tbsim::SimReader& reader, const QByteArray& command,
                         std::optional<std::chrono::steady_clock::time_point> now = {}) {
    return QByteArray::fromStdString(reader.answer(command.toStdString(), now).value_or(""));
}
