// SPDX-License-Identifier: MIT
#include "ui/aboutf.h"

#include "ui/Dialogs.h"
#include "ui/Links.h"
#include "ui/widgets/SharpPicture.h"
#include "ui_aboutf.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace brelmont {

TAbout::TAbout(QWidget* parent) : QDialog(parent), ui(new Ui::TAbout) {
    ui->setupUi(this);
    UseSharpPictures(*this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(428, 425);

    ui->UrlLabel1->setText(SupportEmail());
    ui->UrlLabel1->setURL(QStringLiteral("mailto:") + SupportEmail());
    ui->UrlLabel2->setText(LinkCaption(MakerSiteUrl()));
    SetWebLink(*ui->UrlLabel2, MakerSiteUrl());
    ui->UrlLabel3->setText(LinkCaption(PartnerSiteUrl()));
    SetWebLink(*ui->UrlLabel3, PartnerSiteUrl());
    // A screen reader says what a link is for before the bare address it shows.
    ui->UrlLabel1->setAccessibleName(QStringLiteral("Написать письмо: ") + ui->UrlLabel1->text());
    ui->UrlLabel2->setAccessibleName(QStringLiteral("Сайт программы: ") + ui->UrlLabel2->text());
    ui->UrlLabel3->setAccessibleName(QStringLiteral("Сайт Lindqor: ") + ui->UrlLabel3->text());
    for (TUrlLabel* link : {ui->UrlLabel1, ui->UrlLabel2, ui->UrlLabel3}) {
        // The design's palette replaced the one the label made for itself.
        link->setFontColor(link->palette().color(QPalette::Highlight));
        link->adjustSize();
    }
    for (QLabel* label : {ui->LabelFill1, ui->LabelFill3, ui->LabelFill4, ui->LabelFill5, ui->LabelFill6}) {
        label->adjustSize();
    }

    connect(ui->Button1, &QPushButton::clicked, this, &TAbout::Button1Click);
}

TAbout::~TAbout() = default;

void TAbout::Button1Click() {
    Guarded([this] { close(); });
}

void TAbout::closeEvent(QCloseEvent* event) {
    // However it is closed, a modal showing ends with the cancel result.
    done(mrCancel);
    event->accept();
}

void TAbout::showEvent(QShowEvent* event) {
    // The window would give the focus back to whatever last had it, the licence text among them, where Enter
    // only starts a new line.
    ui->Button1->setFocus(Qt::ActiveWindowFocusReason);
    QDialog::showEvent(event);
}

void TAbout::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Escape closes nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace brelmont
