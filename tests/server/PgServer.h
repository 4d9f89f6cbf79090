#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <string>
#include <unistd.h>

namespace orva::test {

// A PostgreSQL server of its own in a temporary folder: initdb there, reached only through a
// Unix socket in that folder, no system service, no network. Under root it runs as the
// unprivileged user `postgres`, as the server refuses root. The password lives in a libpq
// password file, as the program expects it.
class PgServer {
public:
    PgServer() {
        dir_.setAutoRemove(true);
        const QString d = dir_.path();
        write(d + "/pw", password());
        write(d + "/pgpass", "*:*:*:orva:" + password() + "\n");
        QFile::setPermissions(d + "/pgpass", QFile::ReadOwner | QFile::WriteOwner);
        if (geteuid() == 0) {
            QProcess::execute("chown", {"-R", "postgres", d});
        }
        ok_ = run("initdb", {"-D", d + "/data", "-U", "orva", "--pwfile=" + d + "/pw", "-A",
                             "scram-sha-256", "-E", "UTF8", "--no-sync"}) &&
              start();
    }
    ~PgServer() { run("pg_ctl", {"-D", dir_.path() + "/data", "-m", "immediate", "-w", "stop"}); }
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    bool ok() const { return ok_; }
    bool start() {
        return run("pg_ctl",
                   {"-D", dir_.path() + "/data", "-l", dir_.path() + "/log", "-w", "-t", "20", "-o",
                    "-k " + dir_.path() + " -c listen_addresses='' -c fsync=off", "start"});
    }
    bool stop() {
        return run("pg_ctl", {"-D", dir_.path() + "/data", "-m", "immediate", "-w", "stop"});
    }
    // How the program reaches it; `pgpass` names the password file to use.
    std::string conninfo(const std::string& pgpass = {}) const {
        return ("host=" + dir_.path() + " dbname=postgres user=orva passfile=" +
                (pgpass.empty() ? dir_.path() + "/pgpass" : QString::fromStdString(pgpass)))
            .toStdString();
    }
    std::string folder() const { return dir_.path().toStdString(); }
    // Runs SQL through psql; its output.
    std::string psql(const std::string& sql) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSFILE", dir_.path() + "/pgpass");
        p.setProcessEnvironment(env);
        p.start("psql", {"-X", "-A", "-t", "-h", dir_.path(), "-U", "orva", "-d", "postgres", "-c",
                         QString::fromStdString(sql)});
        p.waitForFinished(20000);
        return p.readAllStandardOutput().trimmed().toStdString();
    }

private:
    static QString password() { return QStringLiteral("geheim-42"); }
    static void write(const QString& path, const QString& text) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(text.toUtf8());
        }
    }
    // A server tool, as `postgres` under root; true when it succeeded within 30 s.
    bool run(const QString& tool, const QStringList& args) const {
        const QString path = "/usr/lib/postgresql/15/bin/" + tool;
        QProcess p;
        if (geteuid() == 0) {
            p.start("runuser", QStringList{"-u", "postgres", "--", path} + args);
        } else {
            p.start(path, args);
        }
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    QTemporaryDir dir_{QDir::tempPath() + "/orva-pg-XXXXXX"};
    bool ok_ = false;
};

} // namespace orva::test
