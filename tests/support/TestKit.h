#pragma once

// What most test programs include: Qt Test and the widgets, the shared helpers, and the
// connection, options and environment every test sets up.

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace rm::test {

// Types into line edits: the list alternates names and texts.
inline void Type(QObject* parent, std::initializer_list<const char*> namesAndTexts) {
    for (auto it = namesAndTexts.begin(); it != namesAndTexts.end() && it + 1 != namesAndTexts.end(); it += 2)
        child<QLineEdit>(parent, QString::fromLatin1(*it))->setText(QString::fromUtf8(*(it + 1)));
}

// Checks each named check box or option button.
inline void Check(QObject* parent, std::initializer_list<const char*> names) {
    for (const char* name : names)
        child<QAbstractButton>(parent, QString::fromLatin1(name))->setChecked(true);
}

// A file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace rm::test
