#pragma once

#include "archive/ArchiveServer.h"

#include <QInputDialog>
#include <QSettings>

namespace orva {

// The server's connection string in the user's configuration; a QSettings of its own for each
// call, as the sending thread reads it too. It holds no password: libpq's password file does.
class QtServerSetting : public ServerSetting {
public:
    explicit QtServerSetting(QWidget* parent) : parent_(parent) {}

    std::string server() override {
        return QSettings(QStringLiteral("ORVA-DS"), QStringLiteral("orva-ds"))
            .value(QStringLiteral("Archiv/Server"))
            .toString()
            .trimmed()
            .toStdString();
    }
    void setServer(const std::string& conninfo) override {
        QSettings settings(QStringLiteral("ORVA-DS"), QStringLiteral("orva-ds"));
        settings.setValue(QStringLiteral("Archiv/Server"), QString::fromStdString(conninfo));
        settings.sync();
    }
    std::optional<std::string> ask(const std::string& current) override {
        bool ok = false;
        const QString text = QInputDialog::getText(
            parent_, QStringLiteral("Archiv-Server"),
            QStringLiteral("Verbindung zum PostgreSQL-Server, der die Zähldaten mehrerer PCs "
                           "sammelt,\nz. B. „host=server.firma.de dbname=orva user=eingang1“ "
                           "oder „service=orva“.\nDas Passwort gehört in die Datei ~/.pgpass, "
                           "nicht hierher. Leer: kein Server."),
            QLineEdit::Normal, QString::fromStdString(current), &ok);
        if (!ok) {
            return std::nullopt;
        }
        return text.trimmed().toStdString();
    }

private:
    QWidget* parent_;
};

} // namespace orva
