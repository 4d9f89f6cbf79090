#include "ui/qt/ConfigScrnDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <map>

namespace orva {

ConfigScrnDialog::ConfigScrnDialog(ConfigScrn& logic, OrvaModule& module, QWidget* parent)
    : SmallDialog(module, parent), logic_(logic), ok_(new QPushButton(QStringLiteral("OK"))) {
    setObjectName(QStringLiteral("ConfigScrn"));
    setWindowTitle(QString::fromUtf8(kConfigScrnCaption));

    // Port and baud rate on the left, the byte format in the middle, the rest on the right.
    static const std::map<std::string, int> column = {{"Frame6", 0}, {"Frame1", 0}, {"Frame2", 1},
                                                      {"Frame3", 1}, {"Frame7", 1}, {"Frame4", 2},
                                                      {"Frame5", 2}};
    auto* row = new QHBoxLayout(this);
    QVBoxLayout* columns[3];
    for (QVBoxLayout*& c : columns) {
        c = new QVBoxLayout;
        row->addLayout(c);
    }
    for (const ConfigFrame& frame : configScrnFrames()) {
        auto* box = new QGroupBox(QString::fromStdString(frame.caption));
        box->setObjectName(QString::fromStdString(frame.name));
        // Only the port is a choice; the other frames show the line setting the port always
        // runs with, greyed so that nobody picks a value that would be dropped.
        box->setEnabled(frame.options.front().port != 0);
        auto* options = new QVBoxLayout(box);
        const auto selected = logic_.Selection.find(frame.name);
        for (const ConfigOption& option : frame.options) {
            auto* button = new QRadioButton(QString::fromStdString(option.caption));
            button->setObjectName(QString::fromStdString(option.name));
            button->setChecked(selected != logic_.Selection.end() &&
                               selected->second == option.name);
            const std::string name = option.name;
            connect(button, &QRadioButton::clicked, this,
                    [this, name] { guarded([&] { logic_.selectOption(name); }); });
            options->addWidget(button);
        }
        columns[column.at(frame.name)]->addWidget(box);
    }
    for (QVBoxLayout* c : columns) {
        c->addStretch();
    }

    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    ok_->setObjectName(QStringLiteral("OKButton"));
    cancel->setObjectName(QStringLiteral("CancelButton"));
    ok_->setDefault(true);
    setEscapeButton(cancel);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    row->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, [this] {
        guarded([this] { logic_.OKButton_Click(); });
        closeIf(logic_.Unloaded);
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        guarded([this] { logic_.CancelButton_Click(); });
        if (logic_.FocusOKButton) {
            logic_.FocusOKButton = false;
            ok_->setFocus();
        }
        closeIf(logic_.Unloaded);
    });

    adjustSize();
    setFixedSize(size());
}

void ConfigScrnDialog::closeEvent(QCloseEvent* event) {
    guarded([this] { logic_.Form_QueryUnload(); });
    if (logic_.Unloaded) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

} // namespace orva
