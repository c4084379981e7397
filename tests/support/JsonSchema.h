// A check of JSON values against the part of JSON Schema that docs/tagbench-cli.schema.json
// uses: type, enum, required, properties, additionalProperties (false), items, oneOf, anyOf and
// "$ref" into the same document's "$defs". Enough to hold tagbench-cli's --json lines to their
// schema without a library for it.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cmath>

namespace clitest {

class JsonSchema {
public:
    explicit JsonSchema(QJsonObject root) : root_(std::move(root)) {}

    // Empty when `value` keeps the schema; else what breaks it, with its path.
    QString check(const QJsonValue& value) const { return check(value, root_, "$"); }

private:
    static bool HasType(const QJsonValue& value, const QString& type) {
        if (type == "integer")
            return value.isDouble() && value.toDouble() == std::floor(value.toDouble());
        if (type == "number") return value.isDouble();
        if (type == "string") return value.isString();
        if (type == "boolean") return value.isBool();
        if (type == "null") return value.isNull();
        if (type == "array") return value.isArray();
        return type == "object" && value.isObject();
    }

    QString check(const QJsonValue& value, QJsonObject schema, const QString& path) const {
        if (schema.contains("$ref")) {
            const QString ref = schema.value("$ref").toString();
            schema = root_.value("$defs").toObject().value(ref.section('/', 2)).toObject();
        }
        if (schema.contains("type")) {
            const QJsonValue type = schema.value("type");
            const QStringList types =
                type.isArray() ? type.toVariant().toStringList() : QStringList{type.toString()};
            bool any = false;
            for (const QString& one : types) any = any || HasType(value, one);
            if (!any) return path + " is not " + types.join(" or ");
        }
        if (schema.contains("enum") && !schema.value("enum").toArray().contains(value))
            return path + " is none of " + Text(schema.value("enum"));
        for (const char* key : {"oneOf", "anyOf"}) {
            if (!schema.contains(key)) continue;
            int kept = 0;
            QStringList why;
            for (const QJsonValue& each : schema.value(key).toArray()) {
                const QString broken = check(value, each.toObject(), path);
                if (broken.isEmpty())
                    ++kept;
                else
                    why << broken;
            }
            if (key == QString("oneOf") ? kept != 1 : kept == 0)
                return path + QString(" keeps %1 of %2: ").arg(kept).arg(key) + why.join("; ");
        }
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            const QJsonObject properties = schema.value("properties").toObject();
            for (const QJsonValue& name : schema.value("required").toArray())
                if (!object.contains(name.toString()))
                    return path + " lacks \"" + name.toString() + "\"";
            for (auto it = object.begin(); it != object.end(); ++it) {
                const QString at = path + "." + it.key();
                if (properties.contains(it.key())) {
                    const QString broken =
                        check(it.value(), properties.value(it.key()).toObject(), at);
                    if (!broken.isEmpty()) return broken;
                } else if (schema.value("additionalProperties") == QJsonValue(false)) {
                    return at + " is not in the schema";
                }
            }
        }
        if (value.isArray() && schema.contains("items")) {
            const QJsonArray items = value.toArray();
            for (qsizetype i = 0; i < items.size(); ++i) {
                const QString broken = check(items.at(i), schema.value("items").toObject(),
                                             path + QString("[%1]").arg(i));
                if (!broken.isEmpty()) return broken;
            }
        }
        return {};
    }

    static QString Text(const QJsonValue& value) {
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    }

    QJsonObject root_;
};

}  // namespace clitest
