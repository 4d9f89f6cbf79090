#include "ui/qt/InfoDialog.h"

#include "platform/qt/QtScreen.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace orva {
namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace

InfoDialog::InfoDialog(frmInfo& logic, OrvaModule& module, QWidget* parent)
    : SmallDialog(module, parent), logic_(logic), box_(new QTextEdit(this)) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QString::fromUtf8(kInfoCaption));
    setFixedSize(twipsToPixels(5790), twipsToPixels(3585));

    box_->setObjectName(QStringLiteral("InfoBox"));
    box_->setGeometry(twipsRect(0, 0, 5796, 3600));
    box_->setAcceptRichText(false);
    box_->setUndoRedoEnabled(false);
    for (const auto& [name, rect] : {std::pair{"ORVABLAU", twipsRect(200, 150, 495, 495)},
                                     std::pair{"TIMER01", twipsRect(200, 800, 375, 495)},
                                     std::pair{"GRAPH07", twipsRect(200, 1450, 375, 495)}}) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::fromUtf8(name));
        picture->setGeometry(rect);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdAbout"));
    ok->setGeometry(twipsRect(2160, 2600, 1452, 612));
    ok->setDefault(true);
    ok->setFocus();

    showBlock();
    connect(box_, &QTextEdit::textChanged, this, [this] {
        guarded([this] {
            // Shown with LF; the logic compares the block with CR LF.
            const std::string content = box_->toPlainText()
                                            .replace(QLatin1Char('\n'), QStringLiteral("\r\n"))
                                            .toStdString();
            if (logic_.InfoBox_Change(content)) {
                showBlock();
            }
        });
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        guarded([this] { logic_.cmdAbout_Click(); });
        closeIf(logic_.Unloaded);
    });
}

void InfoDialog::showBlock() {
    box_->setPlainText(displayText(logic_.InfoBox));
    QTextCursor all(box_->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
}

} // namespace orva
