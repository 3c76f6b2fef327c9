// SPDX-License-Identifier: MIT
#include "ui/Mainf.h"

#include "helpdelivery/HelpArchive.h"
#include "helpdelivery/WorkFolder.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/Links.h"
#include "ui/MainKeys.h"
#include "ui/RiskChartOpener.h"
#include "ui/aboutf.h"
#include "ui/several/SeveralBetsOpener.h"
#include "ui/widgets/SharpPicture.h"
#include "ui_Mainf.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace brelmont {

namespace {

const QColor kLightGreen(0xF1, 0xF5, 0xEF);
const QColor kHoverGrey(0x80, 0x80, 0x80);

} // namespace

HelpHooks RealHelpHooks() {
    // A program stripped after the build unpacks empty files without a word; the check says so plainly.
    return HelpHooks{[] {
                         UnpackHelp();
                         CheckHelpArchive();
                     },
                     RemoveWorkFolder, [] { ShowHelp(); }};
}

TMain::TMain(HelpHooks help, QWidget* parent) : QWidget(parent), ui(new Ui::TMain), fHelp(std::move(help)) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The frame may be dragged two pixels narrower, never taller or shorter.
    setMinimumSize(582, 417);
    setMaximumSize(584, 417);

    // Captions size themselves to their text, as the design's labels do.
    for (QLabel* label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6, ui->Label7,
                          ui->Label8, ui->Label9, ui->Label10, ui->Label11, ui->Label12, ui->Label13,
                          ui->Label14, ui->Label15, ui->Label16, ui->HElP}) {
        label->adjustSize();
    }
    // The .ui format drops strings made only of blanks, so the hot-spots get their captions here.
    ui->UrlLabel1->setText(QString(36, QLatin1Char(' ')));
    ui->UrlLabel2->setText(QString(36, QLatin1Char(' ')));
    ui->UrlLabel1->raise();
    UseSharpPictures(*this);
    ui->menuz->raise();
    // A click on the panel's strips beside its two entries has no handler: it must not travel on to the
    // background, whose click hides the panel.
    ui->menuz->setAttribute(Qt::WA_NoMousePropagation);

    SetWebLink(*ui->UrlLabel1, MakerSiteUrl());
    SetWebLink(*ui->UrlLabel2, MakerSiteUrl());
    // Created before Bind, so the window's key preview still sees every key first.
    fKeys = new TMainKeys(*this);
    fRiskChart = new RiskChartOpener(*this, {ui->pole1, ui->pole2, ui->pole3},
                                     {ui->pole4, ui->pole5, ui->pole6, ui->pole7});
    fSeveralBets = new SeveralBetsOpener(*this);
    fRiskChart->AddMenuEntry(fSeveralBets->Action());
    Bind();
    FormCreate();
}

TMain::~TMain() = default;

void TMain::Bind() {
    connect(ui->Btn1, &TImageBtn::OnClick, this, &TMain::Btn1Click);
    connect(ui->Btn1, &TImageBtn::OnMouseMove, this, &TMain::Btn1MouseMove);
    connect(ui->Btn1, &TImageBtn::OnMouseLeave, this, &TMain::Btn1MouseLeave);
    connect(ui->ImageBtn2, &TImageBtn::OnClick, this, &TMain::ImageBtn2Click);
    connect(ui->ImageBtn2, &TImageBtn::OnMouseMove, this, &TMain::ImageBtn2MouseMove);
    connect(ui->ImageBtn2, &TImageBtn::OnMouseLeave, this, &TMain::ImageBtn2MouseLeave);
    connect(ui->ImageBtn6, &TImageBtn::OnClick, this, &TMain::ImageBtn6Click);
    connect(ui->ImageBtn6, &TImageBtn::OnMouseMove, this, &TMain::ImageBtn6MouseMove);
    connect(ui->ImageBtn6, &TImageBtn::OnMouseLeave, this, &TMain::ImageBtn6MouseLeave);
    connect(ui->ImageBtn3, &TImageBtn::OnMouseMove, this, &TMain::ImageBtn3MouseMove);
    connect(ui->ImageBtn3, &TImageBtn::OnMouseLeave, this, &TMain::ImageBtn3MouseLeave);
    connect(ui->ImageBtn4, &TImageBtn::OnClick, this, &TMain::ImageBtn4Click);
    connect(ui->ImageBtn4, &TImageBtn::OnMouseMove, this, &TMain::ImageBtn4MouseMove);
    connect(ui->ImageBtn4, &TImageBtn::OnMouseLeave, this, &TMain::ImageBtn4MouseLeave);
    connect(ui->ImageBtn5, &TImageBtn::OnClick, this, &TMain::ImageBtn5Click);
    connect(ui->ImageBtn5, &TImageBtn::OnMouseMove, this, &TMain::ImageBtn5MouseMove);
    connect(ui->ImageBtn5, &TImageBtn::OnMouseLeave, this, &TMain::ImageBtn5MouseLeave);
    connect(ui->UrlLabel1, &TUrlLabel::OnMouseMove, this, &TMain::UrlLabel1MouseMove);
    connect(ui->UrlLabel2, &TUrlLabel::OnMouseMove, this, &TMain::UrlLabel1MouseMove);
    connect(ui->UrlLabel2, &TUrlLabel::OnMouseExit, this, &TMain::UrlLabel2MouseExit);

    // Plain panels and labels have no signals for these; the window watches their events instead, through
    // the same application-wide filter that previews the keys.
    for (QWidget* watched : std::initializer_list<QWidget*>{
             ui->Panel2,  ui->Panel3,  ui->Panel4,  ui->Panel5,  ui->Panel6,  ui->Panel7,  ui->Panel8,
             ui->Panel9,  ui->Panel10, ui->Panel11, ui->Panel12, ui->Panel13, ui->Panel14, ui->Panel18,
             ui->Label14, ui->HElP,    ui->Label15, ui->Label16, this,        ui->Panel1,  ui->Panel17}) {
        watched->setMouseTracking(true);
    }
    // Keyboard preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    const auto is = [watched](const QWidget* w) { return watched == w; };
    switch (event->type()) {
    case QEvent::KeyPress: {
        // A key goes first to the focused control, then up its parents; preview it once, at the first stop.
        QWidget* first = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : this;
        if (watched == first && first->window() == this) {
            FormKeyDown(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
    case QEvent::MouseMove:
        if (is(ui->Label15)) {
            Label15MouseMove();
        } else if (is(ui->Label16)) {
            Label16MouseMove();
        } else if (is(ui->Label14) || is(ui->HElP)) {
            HElPMouseMove();
        } else if (is(ui->Panel2) || is(ui->Panel3) || is(ui->Panel4) || is(ui->Panel5) || is(ui->Panel6) ||
                   is(ui->Panel7) || is(ui->Panel8) || is(ui->Panel9) || is(ui->Panel10) || is(ui->Panel11) ||
                   is(ui->Panel12) || is(ui->Panel13) || is(ui->Panel14) || is(ui->Panel18)) {
            Panel12MouseMove();
        }
        return false;
    case QEvent::Leave:
        if (is(ui->Label15)) {
            Label15MouseLeave();
        } else if (is(ui->Label16)) {
            Label16MouseLeave();
        }
        return false;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (mouse->button() != Qt::LeftButton || widget == nullptr ||
            !widget->rect().contains(mouse->position().toPoint())) {
            return false;
        }
        if (is(ui->Label15)) {
            Label15Click();
        } else if (is(ui->Label16)) {
            Label16Click();
        } else if (is(this) || is(ui->Panel1) || is(ui->Panel17)) {
            FormClick();
        }
        return false;
    }
    default:
        return false;
    }
}

void TMain::closeEvent(QCloseEvent* event) {
    if (!fClosed) {
        fClosed = true;
        fRiskChart->CloseWindow();
        fSeveralBets->CloseWindow();
        FormClose();
    }
    event->accept();
    emit Closed();
}

void TMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        Guarded([] { RefreshDecimalSeparator(); });
    }
    QWidget::changeEvent(event);
}

void TMain::resizeEvent(QResizeEvent* event) {
    // The banner and the toolbar hang from the top; the field panel takes the rest.
    ui->Image1->resize(width(), ui->Image1->height());
    ui->Panel17->resize(width(), ui->Panel17->height());
    ui->Panel1->setGeometry(0, ui->Panel17->geometry().bottom() + 1, width(),
                            height() - ui->Panel17->geometry().bottom() - 1);
    QWidget::resizeEvent(event);
}

std::string TMain::FieldText(int field) const {
    const QLineEdit* fields[] = {ui->pole1, ui->pole2, ui->pole3, ui->pole4, ui->pole5, ui->pole6, ui->pole7};
    return fields[field - 1]->text().toStdString();
}

void TMain::SetFieldText(int field, const std::string& text) {
    QLineEdit* fields[] = {ui->pole1, ui->pole2, ui->pole3, ui->pole4, ui->pole5, ui->pole6, ui->pole7};
    fields[field - 1]->setText(QString::fromStdString(text));
}

void TMain::ShowMessage(const std::string& text) {
    brelmont::ShowMessage(text);
}

void TMain::HidePanel() {
    ui->menuz->hide();
}

void TMain::SetHint(const QString& text) {
    ui->HElP->setText(text);
    ui->HElP->adjustSize();
}

void TMain::SetPanelColour(QWidget& panel, bool hover) {
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, hover ? kHoverGrey : kLightGreen);
    panel.setPalette(palette);
}

void TMain::FormCreate() {
    Guarded([this] {
        if (fHelp.Unpack) {
            fHelp.Unpack();
        }
    });
}

void TMain::FormClose() {
    Guarded([this] {
        if (fHelp.RemoveFolder) {
            fHelp.RemoveFolder();
        }
    });
}

void TMain::FormClick() {
    Guarded([this] { HidePanel(); });
}

void TMain::FormKeyDown(int key) {
    Guarded([this, key] {
        if (key == Qt::Key_Escape) {
            HidePanel();
        }
    });
}

void TMain::Btn1Click() {
    Guarded([this] { ui->menuz->show(); });
}

void TMain::Btn1MouseMove() {
    Guarded([this] { SetHint(QStringLiteral("Запуск")); });
}

void TMain::Btn1MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn2MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("Очистить"));
    });
}

void TMain::ImageBtn2MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn6MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("Справка"));
    });
}

void TMain::ImageBtn6MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn3MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("На сайт"));
    });
}

void TMain::ImageBtn3MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn4MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("О программе"));
    });
}

void TMain::ImageBtn4MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn5MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("Выход"));
    });
}

void TMain::ImageBtn5MouseLeave() {
    Guarded([this] { SetHint({}); });
}

void TMain::ImageBtn2Click() {
    Guarded([this] { ClearCommand(*this); });
}

void TMain::ImageBtn6Click() {
    Guarded([this] {
        if (fHelp.Show) {
            fHelp.Show();
        }
    });
}

void TMain::ImageBtn4Click() {
    Guarded([this] {
        if (fAbout != nullptr) {
            ShowModal(*fAbout);
        }
    });
}

void TMain::ImageBtn5Click() {
    Guarded([this] { close(); });
}

void TMain::Label15Click() {
    Guarded([this] {
        HidePanel();
        // A command that has already given the no-value advice in its own message is not followed by it
        // again.
        if (ComputeProbabilitiesCommand(*this) != CommandEnd::NoValue) {
            AdviseWhenNoValue(*this, true);
        }
    });
}

void TMain::Label16Click() {
    Guarded([this] {
        HidePanel();
        if (ComputeAllCommand(*this) != CommandEnd::NoValue) {
            AdviseWhenNoValue(*this, false);
        }
    });
}

void TMain::Label15MouseMove() {
    Guarded([this] {
        SetPanelColour(*ui->Panel15, true);
        SetHint(QStringLiteral("Вероятность проигрыша"));
    });
}

void TMain::Label15MouseLeave() {
    Guarded([this] {
        SetPanelColour(*ui->Panel15, false);
        SetHint({});
    });
}

void TMain::Label16MouseMove() {
    Guarded([this] {
        SetPanelColour(*ui->Panel16, true);
        SetHint(QStringLiteral("Все вычисления"));
    });
}

void TMain::Label16MouseLeave() {
    Guarded([this] {
        SetPanelColour(*ui->Panel16, false);
        SetHint({});
    });
}

void TMain::UrlLabel1MouseMove() {
    Guarded([this] {
        HidePanel();
        SetHint(QStringLiteral("На сайт"));
    });
}

void TMain::UrlLabel2MouseExit() {
    Guarded([this] {
        HidePanel();
        SetHint({});
    });
}

void TMain::Panel12MouseMove() {
    Guarded([this] { HidePanel(); });
}

void TMain::HElPMouseMove() {
    Guarded([this] { HidePanel(); });
}

} // namespace brelmont
