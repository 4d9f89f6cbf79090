#include "ui/qt/ErfasszrDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace orva {
namespace {

QLabel* label(const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text));
    l->setObjectName(QString::fromUtf8(name));
    l->setWordWrap(true);
    return l;
}

QComboBox* comboBox(const char* name, const ComboBoxState& state) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromUtf8(name));
    box->setEditable(true);
    // A typed text is checked on OK, never taken into the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& item : state.List) {
        box->addItem(QString::fromStdString(item));
    }
    box->setCurrentIndex(-1);
    box->setEditText(QString::fromStdString(state.Text));
    return box;
}

} // namespace

ErfasszrDialog::ErfasszrDialog(frmErfasszr& logic, OrvaModule& module, QWidget* parent)
    : SmallDialog(module, parent), logic_(logic), von_(comboBox("von", logic.von)),
      bis_(comboBox("bis", logic.bis)) {
    setObjectName(QStringLiteral("frmErfasszr"));
    setWindowTitle(QString::fromUtf8(kErfasszrCaption));

    auto* vonLabel = label("Label1", "von:");
    auto* bisLabel = label("Bezeichnung2", "bis:");
    vonLabel->setBuddy(von_);
    bisLabel->setBuddy(bis_);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"));
    ok->setObjectName(QStringLiteral("OKErfasszr"));
    cancel->setObjectName(QStringLiteral("Abbrechen"));
    ok->setDefault(true);
    setEscapeButton(cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(
        label("txtErfasszr", "Die Zähl-Lichtschranke speichert die Zähldaten rund um die Uhr."), 0,
        0, 1, 4);
    grid->addWidget(label("Bezeichnung1(0)", "Die Einstellung hier bezieht sich nur auf die "
                                             "Auswertung und Darstellung der Daten!"),
                    1, 0, 1, 4);
    grid->addWidget(label("Bezeichnung1(1)", "Es sind Werte von 00:00 Uhr bis 24:00 Uhr wählbar."),
                    2, 0, 1, 4);
    grid->addWidget(vonLabel, 3, 0);
    grid->addWidget(von_, 3, 1);
    grid->addWidget(bisLabel, 3, 2);
    grid->addWidget(bis_, 3, 3);
    grid->addWidget(ok, 4, 1);
    grid->addWidget(cancel, 4, 3);

    connect(ok, &QPushButton::clicked, this, [this] {
        logic_.von.Text = von_->currentText().toStdString();
        logic_.bis.Text = bis_->currentText().toStdString();
        guarded([this] { logic_.OKErfasszr_Click(); });
        closeIf(logic_.Unloaded);
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        guarded([this] { logic_.Abbrechen_Click(); });
        closeIf(logic_.Unloaded);
    });

    setFixedWidth(360);
    adjustSize();
    setFixedSize(size());
}

} // namespace orva
