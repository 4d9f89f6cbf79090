#pragma once

#include "archive/CountArchive.h"

#include <QSettings>

namespace orva {

// The site in the user's configuration folder (~/.config/ORVA-DS/orva-ds.conf), not in the
// one-line settings file the program has always written.
class QtSiteSetting : public SiteSetting {
public:
    std::string site() override {
        const QString name =
            settings_.value(QStringLiteral("Archiv/Standort")).toString().trimmed();
        return name.isEmpty() ? kDefaultSite : name.toStdString();
    }
    void setSite(const std::string& name) override {
        settings_.setValue(QStringLiteral("Archiv/Standort"), QString::fromStdString(name));
        settings_.sync();
    }

private:
    QSettings settings_{QStringLiteral("ORVA-DS"), QStringLiteral("orva-ds")};
};

} // namespace orva
