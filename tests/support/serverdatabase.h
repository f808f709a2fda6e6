// A database of its own on the throw-away PostgreSQL server of the
// archive's tests (scripts/pg-test-server), dropped at the end.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <libpq-fe.h>

namespace quillet::testsupport {

// The connection of a server folder of scripts/pg-test-server.
inline QString serverConnection(const QString& folder, const QString& database = QStringLiteral("postgres")) {
    return QStringLiteral("host=%1 dbname=%2 user=postgres").arg(folder, database);
}

struct ServerDatabase {
    QString folder;
    QString name;
    explicit ServerDatabase(const QString& serverFolder) : folder(serverFolder) {
        static int next = 0;
        name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++next);
        admin("CREATE DATABASE " + name.toUtf8());
    }
    ~ServerDatabase() { admin("DROP DATABASE IF EXISTS " + name.toUtf8() + " WITH (FORCE)"); }
    QString location() const { return serverConnection(folder, name); }
    void admin(const QByteArray& sql) const { run(serverConnection(folder), sql); }
    // sql on this database.
    void exec(const QByteArray& sql) const { run(location(), sql); }
    static void run(const QString& connection, const QByteArray& sql) {
        PGconn* c = PQconnectdb(connection.toUtf8().constData());
        PQclear(PQexec(c, sql.constData()));
        PQfinish(c);
    }
};

}  // namespace quillet::testsupport
